// The in-memory environment, the real file probe and the list-variable helpers.
#include "core/toolchain/Environment.h"

#include <filesystem>
#include <system_error>

namespace mireka {

namespace fs = std::filesystem;

std::optional<std::string> MemoryEnvironment::Get(std::string_view name) const {
    const auto it = vars_.find(name);
    if (it == vars_.end()) return std::nullopt;
    return it->second;
}

bool MemoryEnvironment::Set(std::string_view name, std::string_view value) {
    if (name.empty()) return false;
    vars_.insert_or_assign(std::string(name), std::string(value));
    return true;
}

FileProbe RealFileProbe() {
    FileProbe probe;
    probe.exists = [](const std::string& path) { return FileExists(path); };
    probe.executable = [](const std::string& path) {
        try {
            std::error_code ec;
            const fs::file_status st = fs::status(fs::path(path), ec);
            if (ec || !fs::is_regular_file(st)) return false;
            constexpr auto anyExec =
                fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
            return kNativePathStyle == PathStyle::Windows ||
                   (st.permissions() & anyExec) != fs::perms::none;
        } catch (...) {
            return false;
        }
    };
    return probe;
}

std::optional<std::string> PrependedListValue(std::string_view current, std::string_view dir,
                                              PathStyle style) {
    if (dir.empty()) return std::nullopt;
    const char sep = PathListSeparator(style);
    std::string element(dir);
    element += sep;
    for (std::size_t pos = current.find(element); pos != std::string_view::npos;
         pos = current.find(element, pos + 1)) {
        if (pos == 0 || current[pos - 1] == sep) return std::nullopt;
    }
    element += current;
    return element;
}

bool PrependToEnvironmentVariable(Environment& env, std::string_view name, std::string_view dir,
                                  PathStyle style) {
    const std::string current = env.Get(name).value_or(std::string());
    const std::optional<std::string> value = PrependedListValue(current, dir, style);
    return !value || env.Set(name, *value);
}

namespace {

bool IsAbsoluteDir(std::string_view dir, PathStyle style) {
    if (style == PathStyle::Posix) return !dir.empty() && dir.front() == '/';
    if (IsNetworkPath(dir, style)) return true;
    const std::size_t drive = DriveLength(dir, style);
    return drive > 0 && dir.size() > drive && IsPathSeparator(dir[drive], style);
}

} // namespace

std::string FindOnPath(std::string_view name, std::string_view pathValue,
                       const PathPredicate& executable, PathStyle style) {
    if (name.empty() || !executable) return {};
    std::string fileName(name);
    if (style == PathStyle::Windows && GetFileExt(fileName, style).empty()) fileName += ".exe";
    const char sep = PathListSeparator(style);
    std::size_t start = 0;
    while (start <= pathValue.size()) {
        std::size_t end = pathValue.find(sep, start);
        if (end == std::string_view::npos) end = pathValue.size();
        const std::string_view dir = pathValue.substr(start, end - start);
        if (IsAbsoluteDir(dir, style)) {
            std::string candidate(dir);
            if (!IsPathSeparator(candidate.back(), style)) candidate += PreferredSeparator(style);
            candidate += fileName;
            if (executable(candidate)) return candidate;
        }
        start = end + 1;
    }
    return {};
}

} // namespace mireka
