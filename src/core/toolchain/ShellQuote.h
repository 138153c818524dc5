// Quoting file names for the command interpreter, so that no name can break a command line or
// smuggle a command into it, while plain names keep their exact form.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mireka {

enum class ShellSyntax {
    Posix, // /bin/sh -c
    Cmd,   // CMD.EXE /C command lines
    Batch, // lines of a CMD.EXE batch file, where "%" must be doubled
};

// True when the word means itself to the interpreter without any quoting.
[[nodiscard]] bool IsPlainWord(std::string_view word, ShellSyntax syntax) noexcept;

// True when the word means itself between double quotes as they stand in a format such as
// "\"%s\"": POSIX expands "$", "`", "\\" and "\"" there; CMD expands "%" and "!" and ends the
// quote at "\"".
[[nodiscard]] bool IsSafeInDoubleQuotes(std::string_view word, ShellSyntax syntax) noexcept;

// The word as one argument: unchanged when plain, else quoted. POSIX uses single quotes, which
// can hold anything. CMD cannot hold a double quote or a control character at all (Windows
// file names never contain them); such a word gives nothing.
[[nodiscard]] std::optional<std::string> QuoteWord(std::string_view word, ShellSyntax syntax);

} // namespace mireka
