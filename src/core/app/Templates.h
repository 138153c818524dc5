// Code templates: snippets kept as "%s.tpl" files in the folder "template" of the program's
// writable directory, listed by name in the templates submenu.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mireka {

inline constexpr std::string_view kTemplateFolderName = "template";
inline constexpr std::string_view kTemplateExtension = ".tpl";
// Template items of the submenu take command ids from here on.
inline constexpr int kFirstTemplateId = 200;

[[nodiscard]] std::string TemplateFolder();
[[nodiscard]] std::string TemplatePath(std::string_view name);

// The names of the template files in `folder`: each "*.tpl" file's name cut at its last ".",
// unsorted; none when the folder is missing or unreadable.
[[nodiscard]] std::vector<std::string> ScanTemplateNames(const std::string& folder);

// Makes the template folder when it is missing; false when it could not be made.
bool MakeTemplateFolder();

// The name the add command proposes: the document's title up to its first ".".
[[nodiscard]] std::string SuggestTemplateName(std::string_view title);

// Why `name` cannot be a template's name (it would leave the template folder or name nothing),
// as the message to show; empty when it can.
[[nodiscard]] std::string TemplateNameProblem(std::string_view name);

enum class TemplateRename {
    Rename,    // no file has the new name: rename
    Duplicate, // another template has it: "名前が重複しています。"
    Nothing,   // the same name but for letter case, or the same name: nothing happens
};
// What renaming `from` to `to` does, given whether a file of the new name exists.
[[nodiscard]] TemplateRename CheckTemplateRename(std::string_view from, std::string_view to,
                                                 bool newNameExists) noexcept;

// The template's text as the editor takes it: the file's bytes up to the first NUL.
void CutAtNul(std::string& text) noexcept;

// For an installed program, whose writable directory is the user's data folder: when that has
// no template folder yet, the shipped templates are copied there, once. False when nothing was
// copied because there was no need or no source; failures to copy are not reported.
bool InstallStarterTemplates();

} // namespace mireka
