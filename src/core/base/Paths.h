// The path functions shared by the whole program and the program's own directories.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// How a path is spelt. Windows: "\\" and "/" separate and a leading "X:" names a drive; the
// text is code page 932, so scans step over double-byte characters. Posix: "/" separates.
// Both styles are always available so that either can be tested on any machine.
enum class PathStyle { Posix, Windows };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
inline constexpr char kPathSeparator = '/';
#endif

// No limit for GetLongPath.
inline constexpr std::size_t kNoPathLimit = static_cast<std::size_t>(-1);

[[nodiscard]] constexpr std::string_view PathSeparators(PathStyle style) noexcept {
    return style == PathStyle::Windows ? std::string_view("\\/") : std::string_view("/");
}
[[nodiscard]] constexpr char PreferredSeparator(PathStyle style) noexcept {
    return style == PathStyle::Windows ? '\\' : '/';
}
[[nodiscard]] bool IsPathSeparator(char c, PathStyle style = kNativePathStyle) noexcept;

// Offset of the last separator, or npos. A trail byte equal to a separator never counts.
[[nodiscard]] std::size_t FindLastSeparator(std::string_view path,
                                            PathStyle style = kNativePathStyle) noexcept;
// Length of a leading drive ("X:", Windows only), else 0.
[[nodiscard]] std::size_t DriveLength(std::string_view path,
                                      PathStyle style = kNativePathStyle) noexcept;
// Offset where the last component (name and extension) begins.
[[nodiscard]] std::size_t FileNameStart(std::string_view path,
                                        PathStyle style = kNativePathStyle) noexcept;
// Offset of the dot that begins the extension of the last component, or npos.
[[nodiscard]] std::size_t ExtensionStart(std::string_view path,
                                         PathStyle style = kNativePathStyle) noexcept;

// Drive and directory, ending in a separator; empty when the path has neither.
[[nodiscard]] std::string GetFileDir(std::string_view path, PathStyle style = kNativePathStyle);
// The last component: base name and extension.
[[nodiscard]] std::string GetFileNameExt(std::string_view path, PathStyle style = kNativePathStyle);
// The extension with its dot, or empty.
[[nodiscard]] std::string GetFileExt(std::string_view path, PathStyle style = kNativePathStyle);
// Drive, directory and base name with `ext`; a dot is put in front of an extension without one.
[[nodiscard]] std::string ReplaceFileExt(std::string_view path, std::string_view ext,
                                         PathStyle style = kNativePathStyle);
// Length of the character at `pos`: on Windows a code page 932 character; on Posix a UTF-8
// sequence, else a Shift_JIS pair (names from older Japanese systems), else one byte.
[[nodiscard]] std::size_t PathCharLength(std::string_view s, std::size_t pos,
                                         PathStyle style = kNativePathStyle) noexcept;
// The number of characters in `s`, counted as PathCharLength steps.
[[nodiscard]] std::size_t PathCharCount(std::string_view s,
                                        PathStyle style = kNativePathStyle) noexcept;

// The path without "." components, doubled separators, a trailing separator and ".." after a
// named folder, written with the preferred separator; nothing is looked up. A relative path
// stays relative (leading ".." kept, "." when nothing is left); ".." above the root is dropped.
[[nodiscard]] std::string CleanPath(std::string_view path, PathStyle style = kNativePathStyle);

// True when the path begins with two separators (a network path on Windows).
[[nodiscard]] bool IsNetworkPath(std::string_view path,
                                 PathStyle style = kNativePathStyle) noexcept;

// "*" matches any run of characters, "?" one character. Windows style compares ASCII letters
// without case and lets a pattern ending in ".*" also match names without that extension,
// as its file system does ("*.*" matches everything).
[[nodiscard]] bool MatchWildcard(std::string_view name, std::string_view pattern,
                                 PathStyle style = kNativePathStyle) noexcept;

// True when the path names an existing file or directory; wildcards in the last component are
// honoured (true when anything matches).
[[nodiscard]] bool FileExists(std::string_view path);

// Gives the long name of the path's last component, or nothing when the path does not exist.
using LongNameLookup = std::function<std::optional<std::string>(std::string_view path)>;

// The long form of `path`: every component but the first replaced by its long name, the parts
// joined with the preferred separator; a path without a separator stays as it is. Fails, leaving
// `out` alone, when the path (or a directory on it) does not exist or when the result would be
// `size` bytes or longer.
bool GetLongPath(std::string_view path, std::string* out, std::size_t size, PathStyle style,
                 const LongNameLookup& lookup);
// The same on the real file system, where a component's long form is the component itself.
bool GetLongPath(std::string_view path, std::string* out, std::size_t size = kNoPathLimit);

// Where the program lives. Set once at start by the platform layer, before any other thread.
struct ProgramDirectories {
    std::string executable;        // the executable's own directory
    std::string writable;          // templates, run files and capture files go here
    std::vector<std::string> data; // shipped data files, searched in this order
    std::string user;              // the per-user data directory, where a user adds own files
};

// Each non-empty directory is stored with a trailing separator.
void SetProgramDirectories(ProgramDirectories dirs);
[[nodiscard]] ProgramDirectories GetProgramDirectories();

// The writable program directory ending in a separator, or empty when none was set.
[[nodiscard]] std::string GetModuleDir();
// GetModuleDir() followed by `name`, with a separator in between when needed; the name alone
// when there is no directory.
[[nodiscard]] std::string MakeModulePath(std::string_view name);
// The first existing shipped file `name` among the data directories; when there is none, its
// path in the executable's directory, so that a message can name it.
[[nodiscard]] std::string FindDataFile(std::string_view name);
// The user's own copy of shipped file `name` in the per-user data directory when there is one
// (a user of an installed program cannot replace the shipped file), else FindDataFile(name).
[[nodiscard]] std::string FindUserDataFile(std::string_view name);

} // namespace mireka
