// Japanese reasons for system error codes.
#include "core/base/ErrorText.h"

#include <cerrno>
#include <cstdio>

namespace mireka {

namespace {

struct Reason {
    std::errc code;
    const char* text;
};

constexpr Reason kReasons[] = {
    {std::errc::no_such_file_or_directory, "ファイルまたはフォルダーが見つかりません。"},
    {std::errc::permission_denied, "アクセスが拒否されました。"},
    {std::errc::operation_not_permitted, "アクセスが拒否されました。"},
    {std::errc::is_a_directory, "ファイルではなくフォルダーです。"},
    {std::errc::not_a_directory, "パスの途中にフォルダーではない名前があります。"},
    {std::errc::no_space_on_device, "ディスクの空き容量が足りません。"},
    {std::errc::read_only_file_system, "読み取り専用のファイル システムです。"},
    {std::errc::file_too_large, "ファイルが大きすぎます。"},
    {std::errc::filename_too_long, "ファイル名が長すぎます。"},
    {std::errc::too_many_symbolic_link_levels, "シンボリック リンクの階層が深すぎます。"},
    {std::errc::too_many_files_open, "開いているファイルが多すぎます。"},
    {std::errc::too_many_files_open_in_system, "開いているファイルが多すぎます。"},
    {std::errc::io_error, "ディスクの読み書き中にエラーが発生しました。"},
    {std::errc::device_or_resource_busy, "ファイルは使用中です。"},
    {std::errc::text_file_busy, "ファイルは使用中です。"},
    {std::errc::not_enough_memory, "メモリが足りません。"},
    {std::errc::file_exists, "同じ名前のファイルが既にあります。"},
    {std::errc::cross_device_link, "別のドライブへは移動できません。"},
    {std::errc::invalid_argument, "ファイル名が正しくありません。"},
    {std::errc::no_such_device, "デバイスが見つかりません。"},
    {std::errc::no_such_device_or_address, "デバイスが見つかりません。"},
    {std::errc::executable_format_error, "実行できる形式のファイルではありません。"},
    {std::errc::resource_unavailable_try_again, "一時的に利用できません。"},
    {std::errc::interrupted, "操作が中断されました。"},
    {std::errc::broken_pipe, "相手のプロセスが終了しています。"},
};

} // namespace

std::string SystemErrorText(std::error_code ec) {
    const std::error_condition condition = ec.default_error_condition();
    if (condition.category() == std::generic_category()) {
        for (const Reason& r : kReasons)
            if (condition == r.code) return r.text;
#ifdef EDQUOT
        if (condition.value() == EDQUOT) return "ディスク クォータを超えました。";
#endif
    }
    char text[64];
    std::snprintf(text, sizeof text, "システム エラー %d が発生しました。", ec.value());
    return text;
}

} // namespace mireka
