// Path splitting, wildcard matching, long paths and the program's directories.
#include "core/base/Paths.h"

#include "core/base/Dbcs.h"

#include <filesystem>
#include <mutex>
#include <system_error>

namespace mireka {

namespace fs = std::filesystem;

namespace {

bool SameChar(std::string_view a, std::string_view b, PathStyle style) noexcept {
    if (a.size() != b.size()) return false;
    if (style == PathStyle::Windows && a.size() == 1) {
        auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        return lower(a[0]) == lower(b[0]);
    }
    return a == b;
}

bool MatchPlain(std::string_view name, std::string_view pat, PathStyle style) noexcept {
    constexpr auto npos = std::string_view::npos;
    std::size_t n = 0, p = 0;
    std::size_t starP = npos, starN = 0; // where to resume after the last "*"
    while (n < name.size()) {
        if (p < pat.size() && pat[p] == '*') {
            starP = ++p;
            starN = n;
            continue;
        }
        if (p < pat.size()) {
            const std::size_t pl = PathCharLength(pat, p, style);
            const std::size_t nl = PathCharLength(name, n, style);
            if ((pat[p] == '?' && pl == 1) ||
                SameChar(pat.substr(p, pl), name.substr(n, nl), style)) {
                p += pl;
                n += nl;
                continue;
            }
        }
        if (starP == npos) return false;
        starN += PathCharLength(name, starN, style);
        n = starN;
        p = starP;
    }
    while (p < pat.size() && pat[p] == '*')
        ++p;
    return p == pat.size();
}

// The library may throw where a name cannot be converted; here that only means "no".
fs::path ToFsPath(std::string_view p) {
    return fs::path(std::string(p));
}

bool EntryExists(std::string_view p, bool followLinks) {
    if (p.empty()) return false;
    try {
        std::error_code ec;
        const fs::file_status st =
            followLinks ? fs::status(ToFsPath(p), ec) : fs::symlink_status(ToFsPath(p), ec);
        return !ec && fs::exists(st);
    } catch (...) {
        return false;
    }
}

bool AnyEntryMatches(std::string_view dir, std::string_view pattern) {
    try {
        std::error_code ec;
        fs::directory_iterator it(dir.empty() ? fs::path(".") : ToFsPath(dir), ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code ec2;
            if (MatchWildcard(it->path().filename().string(), pattern) && it->exists(ec2))
                return true;
        }
    } catch (...) {
    }
    return false;
}

std::string JoinDir(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    std::string s(dir);
    if (!IsPathSeparator(s.back())) s += kPathSeparator;
    s += name;
    return s;
}

struct DirectoryState {
    std::mutex mutex;
    ProgramDirectories dirs;
};

DirectoryState& Directories() {
    static DirectoryState state;
    return state;
}

} // namespace

std::size_t PathCharLength(std::string_view s, std::size_t pos, PathStyle style) noexcept {
    if (style == PathStyle::Windows) return dbcs::CharLength(s, pos);
    const auto b = static_cast<unsigned char>(s[pos]);
    const std::size_t n = b >= 0xF0 && b <= 0xF4   ? 4
                          : b >= 0xE0 && b <= 0xEF ? 3
                          : b >= 0xC2 && b <= 0xDF ? 2
                                                   : 1;
    bool utf8 = n > 1 && pos + n <= s.size();
    for (std::size_t i = 1; utf8 && i < n; ++i)
        utf8 = (static_cast<unsigned char>(s[pos + i]) & 0xC0) == 0x80;
    if (utf8) return n;
    return dbcs::CharLength(s, pos);
}

std::size_t PathCharCount(std::string_view s, PathStyle style) noexcept {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); i += PathCharLength(s, i, style))
        ++count;
    return count;
}

std::string CleanPath(std::string_view path, PathStyle style) {
    const char sep = PreferredSeparator(style);
    std::string prefix(path.substr(0, DriveLength(path, style)));
    std::size_t pos = prefix.size();
    const bool network =
        prefix.empty() && style == PathStyle::Windows && IsNetworkPath(path, style);
    const bool rooted = pos < path.size() && IsPathSeparator(path[pos], style);
    if (network)
        prefix.assign(2, sep);
    else if (rooted)
        prefix += sep;
    // A network path's server and share are never climbed out of.
    const std::size_t fixed = network ? 2 : 0;
    std::vector<std::string_view> parts;
    while (pos < path.size()) {
        while (pos < path.size() && IsPathSeparator(path[pos], style))
            ++pos;
        std::size_t end = pos;
        while (end < path.size() && !IsPathSeparator(path[end], style))
            end += PathCharLength(path, end, style);
        const std::string_view part = path.substr(pos, end - pos);
        pos = end;
        if (part.empty() || part == ".") continue;
        if (part == ".." && parts.size() > fixed && parts.back() != "..") {
            parts.pop_back();
        } else if (part == ".." && (rooted || network) && parts.size() <= fixed) {
            continue;
        } else {
            parts.push_back(part);
        }
    }
    std::string out = prefix;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += sep;
        out += parts[i];
    }
    if (out.empty()) out = ".";
    return out;
}

bool IsPathSeparator(char c, PathStyle style) noexcept {
    return PathSeparators(style).find(c) != std::string_view::npos;
}

std::size_t FindLastSeparator(std::string_view path, PathStyle style) noexcept {
    return dbcs::FindLastOf(path, PathSeparators(style));
}

std::size_t DriveLength(std::string_view path, PathStyle style) noexcept {
    if (style != PathStyle::Windows || path.size() < 2 || path[1] != ':') return 0;
    const char c = path[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? 2 : 0;
}

std::size_t FileNameStart(std::string_view path, PathStyle style) noexcept {
    const std::size_t sep = FindLastSeparator(path, style);
    return sep == std::string_view::npos ? DriveLength(path, style) : sep + 1;
}

std::size_t ExtensionStart(std::string_view path, PathStyle style) noexcept {
    const std::size_t name = FileNameStart(path, style);
    const std::size_t dot = dbcs::FindLastChar(path.substr(name), '.');
    return dot == std::string_view::npos ? dot : name + dot;
}

std::string GetFileDir(std::string_view path, PathStyle style) {
    return std::string(path.substr(0, FileNameStart(path, style)));
}

std::string GetFileNameExt(std::string_view path, PathStyle style) {
    return std::string(path.substr(FileNameStart(path, style)));
}

std::string GetFileExt(std::string_view path, PathStyle style) {
    const std::size_t dot = ExtensionStart(path, style);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string ReplaceFileExt(std::string_view path, std::string_view ext, PathStyle style) {
    std::string s(path.substr(0, ExtensionStart(path, style)));
    if (!ext.empty() && ext.front() != '.') s += '.';
    s += ext;
    return s;
}

bool IsNetworkPath(std::string_view path, PathStyle style) noexcept {
    return path.size() >= 2 && IsPathSeparator(path[0], style) && IsPathSeparator(path[1], style);
}

bool MatchWildcard(std::string_view name, std::string_view pattern, PathStyle style) noexcept {
    if (MatchPlain(name, pattern, style)) return true;
    return style == PathStyle::Windows && pattern.size() >= 2 &&
           pattern.substr(pattern.size() - 2) == ".*" &&
           MatchPlain(name, pattern.substr(0, pattern.size() - 2), style);
}

bool FileExists(std::string_view path) {
    const std::size_t nameStart = FileNameStart(path);
    const std::string_view pattern = path.substr(nameStart);
    if (pattern.find_first_of("*?") == std::string_view::npos) return EntryExists(path, true);
    return AnyEntryMatches(path.substr(0, nameStart), pattern);
}

bool GetLongPath(std::string_view path, std::string* out, std::size_t size, PathStyle style,
                 const LongNameLookup& lookup) {
    std::optional<std::string> name = lookup(path);
    if (!name) return false;
    const char sepChar = PreferredSeparator(style);
    std::string work(path);
    std::string result;
    bool separated = false;
    while (!work.empty()) {
        const std::size_t sep = FindLastSeparator(work, style);
        if (sep == std::string::npos) break;
        // The name of each shortened path is needed only when another separator is left.
        if (!name) name = lookup(work);
        if (!name) return false;
        result = separated ? *name + sepChar + result : *std::move(name);
        separated = true;
        work.resize(sep);
        name.reset();
    }
    std::string longPath = separated ? work + sepChar + result : std::string(path);
    if (longPath.size() >= size) return false;
    *out = std::move(longPath);
    return true;
}

bool GetLongPath(std::string_view path, std::string* out, std::size_t size) {
    // Short names exist only on some Windows volumes, and the standard library cannot ask for
    // the long form; the component itself is the long form.
    const LongNameLookup lookup = [](std::string_view p) -> std::optional<std::string> {
        if (!EntryExists(p, false)) return std::nullopt;
        return std::string(p.substr(FileNameStart(p)));
    };
    return GetLongPath(path, out, size, kNativePathStyle, lookup);
}

void SetProgramDirectories(ProgramDirectories dirs) {
    auto withSeparator = [](std::string& d) {
        if (!d.empty() && !IsPathSeparator(d.back())) d += kPathSeparator;
    };
    withSeparator(dirs.executable);
    withSeparator(dirs.writable);
    withSeparator(dirs.user);
    for (std::string& d : dirs.data)
        withSeparator(d);
    DirectoryState& state = Directories();
    const std::lock_guard lock(state.mutex);
    state.dirs = std::move(dirs);
}

ProgramDirectories GetProgramDirectories() {
    DirectoryState& state = Directories();
    const std::lock_guard lock(state.mutex);
    return state.dirs;
}

std::string GetModuleDir() {
    DirectoryState& state = Directories();
    const std::lock_guard lock(state.mutex);
    return state.dirs.writable;
}

std::string MakeModulePath(std::string_view name) {
    return JoinDir(GetModuleDir(), name);
}

std::string FindDataFile(std::string_view name) {
    const ProgramDirectories dirs = GetProgramDirectories();
    for (const std::string& d : dirs.data) {
        std::string candidate = JoinDir(d, name);
        if (EntryExists(candidate, true)) return candidate;
    }
    return JoinDir(dirs.executable, name);
}

std::string FindUserDataFile(std::string_view name) {
    const std::string user = GetProgramDirectories().user;
    if (!user.empty()) {
        std::string own = JoinDir(user, name);
        if (EntryExists(own, true)) return own;
    }
    return FindDataFile(name);
}

} // namespace mireka
