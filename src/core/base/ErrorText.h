// The reasons of failed file and process operations, in the program's language: the system's
// own texts are English here and would be the only English in the interface.
#pragma once

#include <string>
#include <system_error>

namespace mireka {

// Why an operation failed, as one sentence ending in "。"; codes without a sentence of their own
// are named by number.
[[nodiscard]] std::string SystemErrorText(std::error_code ec);
[[nodiscard]] inline std::string SystemErrorText(int errnum) {
    return SystemErrorText(std::error_code(errnum, std::generic_category()));
}

// Reasons that no system code names.
inline constexpr const char* kNotRegularFileText =
    "通常のファイルではありません (デバイスやパイプは開けません)。";
inline constexpr const char* kNoFileNameText = "ファイル名がありません。";
inline constexpr const char* kNoWritableFolderText =
    "書き込めるプログラム フォルダーがありません。";

} // namespace mireka
