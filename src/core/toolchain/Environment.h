// The process environment and file queries as the build logic sees them, with the PATH-like
// list helpers that work on plain value strings.
#pragma once

#include "core/base/Paths.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace mireka {

// The environment of the program, inherited by every child it starts. The platform layer
// implements it over the real environment; tests use MemoryEnvironment.
class Environment {
public:
    virtual ~Environment() = default;
    // Nothing when the variable is not set.
    [[nodiscard]] virtual std::optional<std::string> Get(std::string_view name) const = 0;
    virtual bool Set(std::string_view name, std::string_view value) = 0;
};

class MemoryEnvironment final : public Environment {
public:
    MemoryEnvironment() = default;
    MemoryEnvironment(std::initializer_list<std::pair<const std::string, std::string>> vars)
        : vars_(vars) {}
    [[nodiscard]] std::optional<std::string> Get(std::string_view name) const override;
    bool Set(std::string_view name, std::string_view value) override;

private:
    std::map<std::string, std::string, std::less<>> vars_;
};

// Answers whether a path names something; the platform passes real checks, tests pass fakes.
using PathPredicate = std::function<bool(const std::string& path)>;

struct FileProbe {
    PathPredicate exists;     // a file or directory of that name exists
    PathPredicate executable; // a file that can be started exists
};

// FileExists and a regular file with an execute permission bit, through std::filesystem.
[[nodiscard]] FileProbe RealFileProbe();

// ";" between the elements of PATH, INCLUDE and LIB on Windows, ":" on POSIX.
[[nodiscard]] constexpr char PathListSeparator(PathStyle style) noexcept {
    return style == PathStyle::Windows ? ';' : ':';
}

// The new value of a list variable once `dir` is put in front of `current`, or nothing when
// `dir` already is one of its elements. An element counts only where it begins the value or
// follows a separator, so "/opt/bin" is not taken for present in "/x/opt/bin:". An empty
// current value gives the directory followed by one separator.
[[nodiscard]] std::optional<std::string> PrependedListValue(std::string_view current,
                                                            std::string_view dir,
                                                            PathStyle style = kNativePathStyle);

// Puts `dir` in front of the variable `name` unless it is already there; an unset variable
// reads as empty. False when the environment refused the change.
bool PrependToEnvironmentVariable(Environment& env, std::string_view name, std::string_view dir,
                                  PathStyle style = kNativePathStyle);

// The full path of the first `name` found in the directories of `pathValue` (a PATH value), or
// empty. Empty and relative elements are skipped: they would depend on the current directory,
// which every build changes. On Windows a name without extension is looked up with ".exe".
[[nodiscard]] std::string FindOnPath(std::string_view name, std::string_view pathValue,
                                     const PathPredicate& executable,
                                     PathStyle style = kNativePathStyle);

} // namespace mireka
