// Writing and checking recovery file headers.
#include "core/document/Recovery.h"

#include <charconv>
#include <cstdio>
#include <optional>

namespace mireka {

namespace {

// The header's keys in the order they are written; a key's number is its bit among those seen.
// Keys a program does not know are passed over, so a later key is no new version.
enum Key : unsigned {
    kPath,
    kSaved,
    kDiskSize,
    kDiskMtime,
    kVersion,
    kLength,
    kChecksum,
    kFormat,
    kKeys
};
constexpr std::string_view kKeyNames[kKeys] = {"path",    "saved",  "disk-size", "disk-mtime",
                                               "version", "length", "checksum",  "format"};
constexpr unsigned kRequiredKeys = 1u << kPath | 1u << kSaved | 1u << kLength | 1u << kChecksum;

bool Plain(unsigned char c) noexcept {
    return c > 0x20 && c < 0x7F && c != '%';
}

// Keeps a value to one line of printable ASCII: a path may hold any byte but NUL.
void AppendEscaped(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (Plain(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size()) return std::nullopt;
        const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (ec != std::errc() || end != text.data() + i + 3) return std::nullopt;
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

template <typename T>
std::optional<T> Number(std::string_view text, int base = 10) {
    T value{};
    // from_chars takes a minus sign for signed types only and never a plus sign.
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

RecoveryHeader Failed(RecoveryError error) {
    RecoveryHeader header;
    header.error = error;
    return header;
}

std::string Fill(std::string_view format, std::string_view first, std::string_view second = {}) {
    std::string out;
    int used = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 2, "%s") == 0) {
            out += used++ == 0 ? first : second;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

} // namespace

std::uint64_t RecoveryChecksum(std::string_view bytes, std::uint64_t sum) noexcept {
    return Fnv1a64(bytes, sum);
}

std::string EncodeRecoveryHeader(const RecoveryInfo& info) {
    std::string out;
    out.reserve(256 + info.document.path.size() * 3);
    out += kRecoveryMagic;
    out += ' ';
    out += std::to_string(kRecoveryVersion);
    out += '\n';
    const auto line = [&out](Key key, const std::string& value) {
        out += kKeyNames[key];
        out += '=';
        out += value;
        out += '\n';
    };
    std::string path;
    AppendEscaped(path, info.document.path);
    line(kPath, path);
    line(kSaved, std::to_string(info.savedAt));
    line(kDiskSize, std::to_string(info.document.diskSize));
    line(kDiskMtime, std::to_string(info.document.diskMtime));
    std::string version;
    AppendEscaped(version, info.programVersion);
    line(kVersion, version);
    line(kLength, std::to_string(info.length));
    char sum[17];
    std::snprintf(sum, sizeof sum, "%016llx", static_cast<unsigned long long>(info.checksum));
    line(kChecksum, sum);
    if (info.document.format) line(kFormat, FormatKey(*info.document.format));
    out += '\n';
    return out;
}

RecoveryHeader ParseRecoveryHeader(std::string_view head, std::uint64_t fileSize) {
    if (head.size() > fileSize) head = head.substr(0, static_cast<std::size_t>(fileSize));
    if (head.size() > kMaxRecoveryHeader) head = head.substr(0, kMaxRecoveryHeader);
    const std::string prefix = std::string(kRecoveryMagic) + ' ';
    if (head.substr(0, prefix.size()) != prefix) {
        // A file cut inside the magic is ours, broken.
        const bool cut = head.size() < prefix.size() && fileSize == head.size() &&
                         prefix.compare(0, head.size(), head) == 0;
        return Failed(cut ? RecoveryError::Corrupt : RecoveryError::Foreign);
    }
    std::size_t pos = head.find('\n');
    if (pos == std::string_view::npos) return Failed(RecoveryError::Corrupt);
    const auto version = Number<int>(head.substr(prefix.size(), pos - prefix.size()));
    if (!version || *version < 1) return Failed(RecoveryError::Corrupt);
    if (*version > kRecoveryVersion) return Failed(RecoveryError::Newer);

    RecoveryHeader header;
    RecoveryInfo& info = header.info;
    unsigned seen = 0;
    for (++pos;;) {
        const std::size_t end = head.find('\n', pos);
        if (end == std::string_view::npos) return Failed(RecoveryError::Corrupt);
        const std::string_view line = head.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) break;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return Failed(RecoveryError::Corrupt);
        const std::string_view value = line.substr(eq + 1);
        for (const char c : line)
            if (!Plain(static_cast<unsigned char>(c)) && c != '%')
                return Failed(RecoveryError::Corrupt);
        unsigned key = 0;
        while (key < kKeys && kKeyNames[key] != line.substr(0, eq))
            ++key;
        if (key == kKeys) continue; // a later version 1 program may add keys
        if (seen & (1u << key)) return Failed(RecoveryError::Corrupt);
        seen |= 1u << key;
        bool ok = true;
        const auto take = [&ok](auto parsed, auto& field) {
            if (parsed)
                field = std::move(*parsed);
            else
                ok = false;
        };
        switch (key) {
        case kPath:
            take(Unescaped(value), info.document.path);
            break;
        case kSaved:
            take(Number<std::int64_t>(value), info.savedAt);
            break;
        case kDiskSize:
            take(Number<std::int64_t>(value), info.document.diskSize);
            break;
        case kDiskMtime:
            take(Number<std::int64_t>(value), info.document.diskMtime);
            break;
        case kVersion:
            take(Unescaped(value), info.programVersion);
            break;
        case kLength:
            take(Number<std::uint64_t>(value), info.length);
            break;
        case kChecksum:
            take(value.size() == 16 ? Number<std::uint64_t>(value, 16) : std::nullopt,
                 info.checksum);
            break;
        case kFormat: {
            const std::optional<FileFormat> format = ParseFormatKey(value);
            ok = format.has_value();
            info.document.format = format;
        }
        }
        if (!ok) return Failed(RecoveryError::Corrupt);
    }
    if ((seen & kRequiredKeys) != kRequiredKeys) return Failed(RecoveryError::Corrupt);
    header.textOffset = pos;
    if (fileSize - pos != info.length) return Failed(RecoveryError::Corrupt);
    return header;
}

RecoveryHeader ParseRecovery(std::string_view file) {
    RecoveryHeader header = ParseRecoveryHeader(file, file.size());
    if (header.error == RecoveryError::None &&
        RecoveryChecksum(file.substr(static_cast<std::size_t>(header.textOffset))) !=
            header.info.checksum)
        return Failed(RecoveryError::Corrupt);
    return header;
}

std::string RecoveryErrorText(RecoveryError error, std::string_view name, std::string_view reason) {
    switch (error) {
    case RecoveryError::None:
        return {};
    case RecoveryError::Foreign:
        return Fill("復元ファイル %s は Mireka のものではないため、使えません。", name);
    case RecoveryError::Newer:
        return Fill("復元ファイル %s は新しい版の Mireka が書いたため、この版では使えません。",
                    name);
    case RecoveryError::Unreadable:
        return Fill("復元ファイル %s を読めません。%s", name, reason);
    case RecoveryError::Corrupt:
        break;
    }
    return Fill("復元ファイル %s は壊れているため、使えません。", name);
}

std::string RecoveryFolderErrorText(std::string_view folder, std::string_view reason) {
    return Fill("復元用のフォルダー %s に書き込めません。%s"
                "異常終了したときに、編集中の文章を復元できません。",
                folder, reason);
}

} // namespace mireka
