// Terminal switches.
#include "core/app/StartSwitches.h"

namespace mireka {

StartAction ReadStartSwitches(const std::vector<std::string>& words) {
    for (const std::string& w : words) {
        if (w == "--help" || w == "-h") return StartAction::Help;
        if (w == "--version" || w == "-v") return StartAction::Version;
    }
    return StartAction::Run;
}

std::string HelpText(std::string_view program) {
    std::string text = "使い方: ";
    text += program;
    text += " [ファイル]\n"
            "C 言語を学ぶための統合開発環境 Mireka を起動します。"
            "ファイルを指定すると、そのファイルを開きます。\n"
            "\n"
            "  -h, --help     この説明を表示して終了します\n"
            "  -v, --version  バージョンを表示して終了します\n";
    return text;
}

std::string VersionText(std::string_view version) {
    std::string text = "Mireka ";
    text += version;
    text += '\n';
    return text;
}

} // namespace mireka
