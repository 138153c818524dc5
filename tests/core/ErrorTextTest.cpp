// Reasons of failed operations in Japanese.
#include "core/base/ErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace mireka {
namespace {

TEST(ErrorText, KnownCodesInJapaneseOthersByNumber) {
    EXPECT_EQ(SystemErrorText(ENOENT), "ファイルまたはフォルダーが見つかりません。");
    EXPECT_EQ(SystemErrorText(ENOSPC), "ディスクの空き容量が足りません。");
    EXPECT_EQ(SystemErrorText(EROFS), "読み取り専用のファイル システムです。");
    EXPECT_EQ(SystemErrorText(EACCES), SystemErrorText(EPERM));
    EXPECT_EQ(SystemErrorText(std::error_code(123456, std::generic_category())),
              "システム エラー 123456 が発生しました。");
}

} // namespace
} // namespace mireka
