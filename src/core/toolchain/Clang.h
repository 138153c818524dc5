// A gcc driver that is really clang (cc on many systems): clang reads UTF-8 sources only and
// refuses gcc's character-set options, so a compile through it goes without them.
#pragma once

#include "core/base/Encoding.h"
#include "core/toolchain/BuildSettings.h"

#include <string>
#include <string_view>

namespace mireka {

// Shown after the first compile through clang of a session.
inline constexpr std::string_view kClangNotice =
    "（お知らせ）このコンパイラは clang です。clang は UTF-8 のソースしか読めないため、"
    "ソース中の日本語を正しく扱うには GCC を使ってください。\r\n";

// True when what a driver printed for --version names clang.
[[nodiscard]] bool IsClangVersionText(std::string_view versionText) noexcept;

// The options without their -finput-charset=… and -fexec-charset=… words; everything else,
// quoted words and the blanks between the words kept, stays as it was.
[[nodiscard]] std::string WithoutCharsetOptions(std::string_view options);

// The settings a GCC compile runs with when the driver is clang.
[[nodiscard]] BuildSettings ForClangDriver(BuildSettings s);

// The settings a GCC compile of a source in `encoding` runs with: a UTF-8 source goes without
// -finput-charset=… (GCC reads UTF-8 by default), whatever the option holds for code page 932.
[[nodiscard]] BuildSettings ForSourceEncoding(BuildSettings s, Encoding encoding);

} // namespace mireka
