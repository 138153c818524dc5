// Menu texts and enabling rules of the build and run commands.
#include "core/toolchain/BuildMenus.h"

#include "core/toolchain/BuildText.h"

namespace mireka {

namespace {

constexpr std::string_view kCompileText = "コンパイル(&C)";
constexpr std::string_view kRunText = "実行(&X)";
constexpr std::string_view kF7 = "\tF7";
constexpr std::string_view kF5 = "\tF5";

CommandUi Ui(std::string_view text, bool enabled, bool checked = false) {
    return CommandUi{std::string(text), enabled, checked};
}

// Windows shows names in lower case, as its short names are upper case; on POSIX the case is
// part of the name, so it is kept.
std::string ShownName(std::string_view name, PathStyle style) {
    return EscapeMenuText(style == PathStyle::Windows ? ToLowerAscii(name, style)
                                                      : std::string(name));
}

std::string PathForKind(const ToolchainDescriptor& d, const std::string& path,
                        const ShortPathFn& shortPath) {
    if (d.shortInputPath && shortPath) {
        if (std::optional<std::string> s = shortPath(path)) return *std::move(s);
    }
    return path;
}

bool CanBuild(const BuildSettings& s, const BuildCommandState& st) {
    return st.ready && s.IsConfigured(st.toolchain);
}

} // namespace

std::string EscapeMenuText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

CommandUi CompileUi(const BuildSettings& s, const BuildCommandState& st,
                    const ShortPathFn& shortPath, PathStyle style) {
    const std::string plain = std::string(kCompileText) + std::string(kF7);
    if (st.documentPath.empty()) return Ui(plain, CanBuild(s, st));
    const ToolchainDescriptor& d = ToolchainOf(st.toolchain);
    const std::string path = PathForKind(d, st.documentPath, shortPath);
    const std::string ext = GetFileExt(path, style);
    const bool accepted = EqualsNoCase(ext, ".c") || (d.acceptsCpp && EqualsNoCase(ext, ".cpp"));
    if (!accepted) return Ui(plain, false);
    return Ui(std::string(kCompileText) + ' ' + ShownName(GetFileNameExt(path, style), style) +
                  std::string(kF7),
              CanBuild(s, st));
}

CommandUi DebugCompileUi(const BuildSettings& s, const BuildCommandState& st) {
    return Ui("ソースレベルデバッグ用コンパイル(&S)",
              !ToolchainOf(st.toolchain).debugFlag.empty() && CanBuild(s, st));
}

CommandUi ResponseCompileUi(const BuildSettings& s, const BuildCommandState& st, PathStyle style) {
    return Ui(std::string(kCompileText) + ' ' +
                  EscapeMenuText(GetFileNameExt(s.m_strResponseFile, style)),
              CanBuild(s, st));
}

CommandUi ChooseResponseFileUi() {
    return Ui("レスポンスファイルの指定(&E)...", true);
}

CommandUi RunUi(const BuildSettings&, const BuildCommandState& st, const ShortPathFn& shortPath,
                PathStyle style) {
    if (st.documentPath.empty()) return Ui(std::string(kRunText) + std::string(kF5), false);
    const ToolchainDescriptor& d = ToolchainOf(st.toolchain);
    const std::string program =
        ProgramName(d.kind, PathForKind(d, st.documentPath, shortPath), style);
    return Ui(std::string(kRunText) + ' ' + ShownName(program, style) + std::string(kF5), true);
}

CommandUi ResponseRunUi(const BuildSettings& s, const BuildCommandState& st,
                        const ShortPathFn& shortPath, PathStyle style) {
    if (s.m_strResponseFile.empty()) return Ui(kRunText, false);
    const ToolchainDescriptor& d = ToolchainOf(st.toolchain);
    const std::string program =
        ProgramName(d.kind, PathForKind(d, s.m_strResponseFile, shortPath), style);
    return Ui(std::string(kRunText) + ' ' + ShownName(program, style), true);
}

CommandUi RunWithArgumentsUi(const BuildCommandState& st) {
    return Ui("引数を指定して実行(&P)...", !st.documentPath.empty());
}

CommandUi ResponseRunWithArgumentsUi(const BuildSettings& s) {
    return Ui("引数を指定して実行(&P)...", !s.m_strResponseFile.empty());
}

CommandUi DebuggerUi(const BuildSettings& s, const BuildCommandState& st) {
    const ToolchainDescriptor& d = ToolchainOf(st.toolchain);
    bool enabled =
        !st.documentPath.empty() && d.debuggerPlace != DebuggerPlace::None && CanBuild(s, st);
    if (d.debuggerPlace == DebuggerPlace::BesideDriver) enabled = enabled && st.debuggerFound;
    return Ui("デバッガの起動(&G)", enabled);
}

CommandUi RunCommandUi(const BuildSettings& s, const BuildCommandState& st) {
    return Ui("コマンドを実行(&R)...", CanBuild(s, st) && !st.documentPath.empty());
}

CommandUi ShellWindowUi() {
    return Ui("DOS窓を開く(&D)", true);
}

CommandUi SwitchToolchainUi() {
    return Ui("コンパイラの切り替え(&T)", true);
}

CommandUi PauseUi(const BuildSettings& s) {
    return Ui("実行後にPAUSE(&U)", true, s.m_bPause);
}

CommandUi PifUi(const BuildSettings& s, const BuildCommandState& st) {
    const bool lsi = KindOf(st.toolchain) == ToolchainKind::LsiC86;
    return Ui("PIF を作成して実行(&I)", lsi && st.windowsNt, lsi && s.m_bPif);
}

CommandUi BorlandHelpUi(const BuildSettings& s, PathStyle style) {
    return Ui("Borland C++ ヘルプ(&B)",
              style == PathStyle::Windows && ContainsNoCase(s.m_strBccPath, "BCC32.EXE", style));
}

CommandUi VctkSettingsUi(const BuildSettings& s) {
    return Ui("VC++ Toolkit 2003 の設定(&V)...", !s.m_strVctkClPath.empty());
}

ManualKind ChooseManual(const BuildSettings& s, int toolchain, bool referenceInstalled,
                        PathStyle style) {
    if (KindOf(toolchain) == ToolchainKind::Gcc && referenceInstalled)
        return ManualKind::CReference;
    if (ContainsNoCase(s.m_strLccPath, "LCC.EXE", style)) return ManualKind::LsiManual;
    return ManualKind::None;
}

CommandUi ManualUi(const BuildSettings& s, int toolchain, bool referenceInstalled,
                   PathStyle style) {
    return Ui("ユーザーズ マニュアル(&M)",
              ChooseManual(s, toolchain, referenceInstalled, style) != ManualKind::None);
}

std::string BorlandHelpPath(std::string_view bccPath, PathStyle style) {
    const char sep = PreferredSeparator(style);
    const std::string from = std::string("BIN") + sep + "BCC32.EXE";
    const std::string to = std::string("HELP") + sep + "BCB5TOOL.HLP";
    return ReplaceNoCase(bccPath, from, to, style);
}

std::string LsiManualPath(std::string_view lccPath, PathStyle style) {
    const char sep = PreferredSeparator(style);
    const std::string from = std::string("BIN") + sep + "LCC.EXE";
    const std::string to = std::string("MAN") + sep + "LSIC86.MAN";
    // Without a BIN folder there is no manual beside it; the driver itself is no text to show.
    if (FindNoCase(lccPath, from, 0, style) == std::string_view::npos) return {};
    return ReplaceNoCase(lccPath, from, to, style);
}

} // namespace mireka
