// Template files, names and the starter templates.
#include "core/app/Templates.h"

#include "core/base/Dbcs.h"
#include "core/base/Paths.h"

#include <filesystem>
#include <system_error>

namespace mireka {

namespace fs = std::filesystem;

namespace {

constexpr char AsciiLower(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool EndsWith(std::string_view s, std::string_view tail) noexcept {
    if (s.size() < tail.size()) return false;
    const std::string_view end = s.substr(s.size() - tail.size());
    if (kNativePathStyle == PathStyle::Posix) return end == tail;
    return SameIgnoringCase(end, tail);
}

} // namespace

std::string TemplateFolder() {
    return MakeModulePath(kTemplateFolderName);
}

std::string TemplatePath(std::string_view name) {
    std::string path = TemplateFolder();
    path += kPathSeparator;
    path += name;
    path += kTemplateExtension;
    return path;
}

bool MakeTemplateFolder() {
    std::error_code ec;
    fs::create_directories(fs::path(TemplateFolder()), ec);
    return !ec;
}

std::vector<std::string> ScanTemplateNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        const std::string file = it->path().filename().string();
        if (!EndsWith(file, kTemplateExtension)) continue;
        const std::size_t dot = dbcs::FindLastChar(file, '.');
        std::string name = file.substr(0, dot);
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

std::string SuggestTemplateName(std::string_view title) {
    const std::size_t dot = dbcs::FindChar(title, '.');
    return std::string(title.substr(0, dot == std::string_view::npos ? title.size() : dot));
}

std::string TemplateNameProblem(std::string_view name) {
    if (name.empty()) return "ひな型の名前を入力してください。";
    if (name == "." || name == "..") return "「.」や「..」はひな型の名前に使えません。";
    if (name.find('\0') != std::string_view::npos)
        return "ひな型の名前に使えない文字が含まれています。";
    if (dbcs::FindFirstOf(name, PathSeparators(kNativePathStyle)) != std::string_view::npos)
        return kNativePathStyle == PathStyle::Windows ? "ひな型の名前に「/」や「\\」は使えません。"
                                                      : "ひな型の名前に「/」は使えません。";
    return {};
}

TemplateRename CheckTemplateRename(std::string_view from, std::string_view to,
                                   bool newNameExists) noexcept {
    if (!newNameExists) return TemplateRename::Rename;
    return SameIgnoringCase(from, to) ? TemplateRename::Nothing : TemplateRename::Duplicate;
}

void CutAtNul(std::string& text) noexcept {
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
}

bool InstallStarterTemplates() {
    const ProgramDirectories dirs = GetProgramDirectories();
    if (dirs.writable.empty() || dirs.writable == dirs.executable) return false;
    std::error_code ec;
    const fs::path target = fs::path(TemplateFolder());
    if (fs::exists(target, ec) || ec) return false;
    // The shipped folder: the first data directory that has one.
    for (const std::string& data : dirs.data) {
        const fs::path source = fs::path(data) / std::string(kTemplateFolderName);
        if (source == target || !fs::is_directory(source, ec)) continue;
        if (!fs::create_directories(target, ec)) return false;
        fs::directory_iterator it(source, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code copyError;
            if (EndsWith(it->path().filename().string(), kTemplateExtension) &&
                it->is_regular_file(copyError))
                fs::copy_file(it->path(), target / it->path().filename(), copyError);
        }
        return true;
    }
    return false;
}

} // namespace mireka
