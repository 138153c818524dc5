// The messages of the build and run commands and the case rules their names are compared and
// shown with.
#pragma once

#include "core/base/Paths.h"

#include <string>
#include <string_view>

namespace mireka {

inline constexpr std::string_view kSaveFirstMessage =
    "まずファイルに名前をつけて保存してください。";
inline constexpr std::string_view kNoResponseFileMessage = "レスポンスファイルを指定してください。";
inline constexpr std::string_view kCannotRunMessage = "実行出来ません！";
inline constexpr std::string_view kPifFailedMessage = "PIF の作成に失敗しました。";
inline constexpr std::string_view kCannotOpenShellMessage = "DOS窓を開けません。";
inline constexpr std::string_view kResponseFileFilter =
    "レスポンスファイル (*.rsp)|*.rsp|すべてのファイル (*.*)|*.*||";

// "実行出来ません！（%s）" with the command that could not be started.
[[nodiscard]] std::string FormatCannotRun(std::string_view command);
// "%s が有りません！" with a file name.
[[nodiscard]] std::string FormatMissingFile(std::string_view name);
// "実行ファイル %s がありません。先にコンパイルしてください。" with the program's file name.
[[nodiscard]] std::string FormatMissingProgram(std::string_view name);

// ASCII letters compared without case; every other byte exactly.
[[nodiscard]] bool EqualsNoCase(std::string_view a, std::string_view b) noexcept;
// Offset of the first match at or after `from` at a character boundary (ASCII letters compared
// without case), or npos.
[[nodiscard]] std::size_t FindNoCase(std::string_view text, std::string_view needle,
                                     std::size_t from, PathStyle style = kNativePathStyle) noexcept;
// True when `needle` occurs in `text`, ASCII letters compared without case, at character
// boundaries of code page 932 on Windows.
[[nodiscard]] bool ContainsNoCase(std::string_view text, std::string_view needle,
                                  PathStyle style = kNativePathStyle) noexcept;
// ASCII letters lowered; the bytes of double-byte characters (Windows) are left alone.
[[nodiscard]] std::string ToLowerAscii(std::string_view text, PathStyle style = kNativePathStyle);
// `needle` replaced by `replacement` wherever it occurs without regard to case, the rest of
// `text` keeping its own case.
[[nodiscard]] std::string ReplaceNoCase(std::string_view text, std::string_view needle,
                                        std::string_view replacement,
                                        PathStyle style = kNativePathStyle);

} // namespace mireka
