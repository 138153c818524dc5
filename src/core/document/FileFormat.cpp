// File formats of documents: settings, names and the bytes a save writes.
#include "core/document/FileFormat.h"

#include "core/base/Profile.h"

#include <cstring>

namespace mireka {

namespace {

constexpr std::string_view kSection = "Settings";

} // namespace

FileFormat SystemNewDocumentFormat() noexcept {
#ifdef _WIN32
    return {Encoding::Cp932, LineEnds::CrLf, false};
#else
    return {Encoding::Utf8, LineEnds::Lf, false};
#endif
}

std::string_view EncodingName(Encoding encoding) noexcept {
    return encoding == Encoding::Utf8 ? "UTF-8" : "Shift_JIS";
}

std::string_view LineEndsName(LineEnds ends) noexcept {
    return ends == LineEnds::Lf ? "LF" : "CRLF";
}

std::string FormatName(const FileFormat& format) {
    std::string name(EncodingName(format.encoding));
    name += ' ';
    name += LineEndsName(format.lineEnds);
    return name;
}

std::string FormatKey(const FileFormat& format) {
    std::string key(EncodingName(format.encoding));
    key += ',';
    key += LineEndsName(format.lineEnds);
    if (format.bom) key += ",BOM";
    return key;
}

std::optional<FileFormat> ParseFormatKey(std::string_view key) {
    for (Encoding e : {Encoding::Cp932, Encoding::Utf8})
        for (LineEnds l : {LineEnds::CrLf, LineEnds::Lf})
            for (bool bom : {false, true}) {
                const FileFormat format{e, l, bom};
                if (key == FormatKey(format)) return format;
            }
    return std::nullopt;
}

FileFormat ReadNewDocumentFormat() {
    FileFormat format = SystemNewDocumentFormat();
    const std::string encoding = GetProfileString(kSection, kNewDocumentEncodingKey);
    for (Encoding e : {Encoding::Cp932, Encoding::Utf8})
        if (encoding == EncodingName(e)) format.encoding = e;
    const std::string ends = GetProfileString(kSection, kNewDocumentLineEndsKey);
    for (LineEnds e : {LineEnds::CrLf, LineEnds::Lf})
        if (ends == LineEndsName(e)) format.lineEnds = e;
    if (format.encoding == Encoding::Cp932) format.lineEnds = LineEnds::CrLf;
    return format;
}

void WriteNewDocumentEncoding(Encoding encoding) {
    WriteProfileString(kSection, kNewDocumentEncodingKey, EncodingName(encoding));
}

FileFormat OpenedFormat(DetectedEncoding detected, std::optional<LineEnds> seen,
                        const FileFormat& newDocument) noexcept {
    if (detected.encoding == Encoding::Cp932) return {Encoding::Cp932, LineEnds::CrLf, false};
    return {detected.encoding, seen.value_or(newDocument.lineEnds), detected.bom};
}

std::string FileBytes(std::string_view editorText, const FileFormat& format) {
    std::string out;
    const bool bom = format.bom && format.encoding == Encoding::Utf8;
    if (format.lineEnds == LineEnds::CrLf) {
        if (!bom) return std::string(editorText);
        out.reserve(kUtf8Bom.size() + editorText.size());
        out += kUtf8Bom;
        out += editorText;
        return out;
    }
    out.resize((bom ? kUtf8Bom.size() : 0) + editorText.size());
    char* w = out.data();
    if (bom) {
        std::memcpy(w, kUtf8Bom.data(), kUtf8Bom.size());
        w += kUtf8Bom.size();
    }
    // Copy run by run up to each CR LF, dropping its CR: one pass, however long the lines.
    const char* p = editorText.data();
    const char* const end = p + editorText.size();
    while (p < end) {
        const void* hit = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
        const char* cr = hit ? static_cast<const char*>(hit) : end;
        std::memcpy(w, p, static_cast<std::size_t>(cr - p));
        w += cr - p;
        p = cr;
        if (p == end) break;
        if (p + 1 < end && p[1] == '\n')
            ++p; // the LF is copied with the next run
        else
            *w++ = *p++;
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
    return out;
}

} // namespace mireka
