// The compiler settings dialogs' tables, the rewrite of the option text and the configuration
// files.
#include "core/toolchain/CompilerSettings.h"

#include "core/base/Dbcs.h"
#include "core/base/Text.h"
#include "core/toolchain/BuildText.h"

#include <algorithm>

namespace mireka {

namespace {

using S = BuildSettings;

constexpr std::string_view kExeFilter = "Exe ファイル (*.exe)|*.exe|すべてのファイル (*.*)|*.*||";
// A driver here has no extension.
constexpr std::string_view kGccFilter =
    kNativePathStyle == PathStyle::Windows ? kExeFilter : "すべてのファイル (*.*)|*.*||";
constexpr std::string_view kOptionLabel = "コンパイル オプションの設定(&E)：";

constexpr OptionBox kLsiBoxes[] = {
    {"コメントのネストを許可(&N)", "-cn"},  {"char型を符号付きに(&S)", "-cs"},
    {"エラーを日本語表示(&J)", "-j1"},      {"最適化を行う(&O)", "-O"},
    {"プロファイラコードを生成(&P)", "-p"}, {"ANSI のみ(&I)", "-DANSI"},
};
constexpr std::string_view kLsiManaged[] = {"-cn", "-cs", "-cu", "-j", "-j0",
                                            "-j1", "-O",  "-OO", "-p", "-DANSI"};
constexpr std::string_view kLsiOrder[] = {"-cn", "-cs", "-j1", "-O", "-p", "-DANSI"};

constexpr OptionBox kLsiLibraryBoxes[] = {
    {"数学関数を使う(&M)", "-lmathlib"},
    {"ワイルドカード処理を簡略化(&X)", "-lexpand.obj"},
    {"ワイルドカード処理をやめる(&D)", "-lnoexpand.obj"},
    {"クォートなどの処理をやめる(&T)", "-ltinymain.obj"},
};
constexpr std::string_view kLsiLibraryManaged[] = {"-lmathlib", "-lexpand.obj", "-lnoexpand.obj",
                                                   "-ltinymain.obj"};
constexpr std::string_view kLsiLibraryOrder[] = {"-lexpand.obj", "-lnoexpand.obj", "-ltinymain.obj",
                                                 "-lmathlib"};

constexpr OptionBox kBccBoxes[] = {
    {"ANSI 準拠の予約語のみを使用する(&A)", "-A"},
    {"コメントのネストを可能にする(&C)", "-C"},
    {"プリコンパイルヘッダーを生成し、使用する(&H)", "-H"},
    {"文字型のデフォルトを unsigned にする(&K)", "-K"},
    {"ターゲットは Windows アプリケーション(&W)", "-W"},
    {"Unicode アプリケーションを生成する(&U)", "-WU"},
};
constexpr std::string_view kBccTokens[] = {"-A", "-C", "-H", "-K", "-W", "-WU"};

constexpr OptionBox kVctkBoxes[] = {
    {"Microsoft の言語拡張機能を無効にする", "/Za"},
    {"デフォルトの char 型を unsigned char にする", "/J"},
    {"最小サイズのコードを作成する", "/O1"},
    {"最高速のコードを作成する", "/O2"},
};
constexpr std::string_view kVctkTokens[] = {"/Za", "/J", "/O1", "/O2"};

constexpr OptionBox kGccBoxes[] = {
    {"警告をすべて表示する (-Wall)", "-Wall"},
    {"さらに詳しい警告 (-Wextra)", "-Wextra"},
    {"デバッグ情報を付ける (-g)", "-g"},
    {"最適化する (-O2)", "-O2"},
    {"C99 規格で書く (-std=c99)", "-std=c99"},
    {"規格に厳密に従う (-pedantic)", "-pedantic"},
    {"実行時の誤りを検出する (-fsanitize=address,undefined)", "-fsanitize=address,undefined"},
};
constexpr std::string_view kGccTokens[] = {
    "-Wall", "-Wextra", "-g", "-O2", "-std=c99", "-pedantic", "-fsanitize=address,undefined"};
constexpr OptionBox kGccLibraryBoxes[] = {{"数学関数を使う (-lm)", "-lm"}};
constexpr std::string_view kGccLibraryTokens[] = {"-lm"};

constexpr LocationField kLsiLocation = {"コンパイラの位置(&C)：", &S::m_strLccPath, kExeFilter,
                                        "_LCC に適用する(&A)", "LCC.EXE"};
constexpr LocationField kBccLocation = {"コンパイラの位置(&L)：", &S::m_strBccPath, kExeFilter,
                                        "bcc32.cfg と ilink32.cfg を作成する(&B)", "BCC32.EXE"};
constexpr LocationField kGccLocation = {
    "コンパイラの位置(&C)：", &S::m_strGccPath, kGccFilter, {}, {}};

constexpr OptionGroup kLsiLibrary = {"ライブラリの設定(&L)：",
                                     &S::m_strLccLibrary,
                                     kLsiLibraryBoxes,
                                     kLsiLibraryManaged,
                                     kLsiLibraryOrder,
                                     true,
                                     true};
constexpr OptionGroup kGccLibrary = {"ライブラリの設定(&L)：",
                                     &S::m_strGccLibrary,
                                     kGccLibraryBoxes,
                                     kGccLibraryTokens,
                                     kGccLibraryTokens,
                                     false,
                                     false};

const SettingsDialogDescriptor kDialogs[] = {
    {ToolchainKind::Borland,
     "Borland C++ 5.5 の設定",
     &kBccLocation,
     {kOptionLabel, &S::m_strBccOption, kBccBoxes, kBccTokens, kBccTokens, false, false},
     nullptr,
     false},
    {ToolchainKind::LsiC86,
     "LSI C-86 試食版 の設定",
     &kLsiLocation,
     {kOptionLabel, &S::m_strLccOption, kLsiBoxes, kLsiManaged, kLsiOrder, false, true},
     &kLsiLibrary,
     true},
    {ToolchainKind::VcToolkit,
     "VC++ Toolkit 2003 の設定",
     nullptr,
     {kOptionLabel, &S::m_strVctkOption, kVctkBoxes, kVctkTokens, kVctkTokens, false, false},
     nullptr,
     false},
    {ToolchainKind::Gcc,
     "GCC の設定",
     &kGccLocation,
     {kOptionLabel, &S::m_strGccOption, kGccBoxes, kGccTokens, kGccTokens, false, false},
     &kGccLibrary,
     false},
};

bool Contains(std::span<const std::string_view> list, std::string_view s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

std::string RemoveAll(std::string_view text, std::string_view needle) {
    std::string out(text);
    for (std::size_t at = out.find(needle); at != std::string::npos; at = out.find(needle, at))
        out.erase(at, needle.size());
    return out;
}

bool IsLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

// `word` (lower case) in the case `model` is written in: all lower, capitalised, else upper.
std::string SpeltLike(std::string_view model, std::string_view word, PathStyle style) {
    std::string letters; // the single-byte ones: a trail byte is no letter
    for (std::size_t i = 0; i < model.size();) {
        const std::size_t n = PathCharLength(model, i, style);
        if (n == 1 && (IsLower(model[i]) || IsUpper(model[i]))) letters += model[i];
        i += n;
    }
    const bool restLower = std::all_of(letters.begin() + (letters.empty() ? 0 : 1), letters.end(),
                                       [](char c) { return IsLower(c); });
    std::string out(word);
    if (!letters.empty() && restLower && IsLower(letters[0])) return out;
    const bool capitalised = !letters.empty() && restLower;
    for (std::size_t i = 0; i < (capitalised ? 1 : out.size()); ++i)
        if (IsLower(out[i])) out[i] = static_cast<char>(out[i] - 'a' + 'A');
    return out;
}

// A trail byte equal to a separator is part of its character.
bool EndsInSeparator(std::string_view path, PathStyle style) {
    return !path.empty() && FindLastSeparator(path, style) == path.size() - 1;
}

// Where a file beside the driver is.
std::string BesideDriver(const Installation& inst, std::string_view name, PathStyle style) {
    std::string path = inst.base + inst.binDir;
    if (!path.empty() && !EndsInSeparator(path, style)) path += PreferredSeparator(style);
    path += name;
    return path;
}

} // namespace

const SettingsDialogDescriptor& SettingsDialog(ToolchainKind kind) noexcept {
    for (const SettingsDialogDescriptor& d : kDialogs)
        if (d.kind == kind) return d;
    return kDialogs[2];
}

std::vector<std::string_view> SplitAtSpaces(std::string_view text) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t space = text.find(' ', start);
        pieces.push_back(text.substr(start, space - start));
        if (space == std::string_view::npos) break;
        start = space + 1;
    }
    return pieces;
}

GroupState OpenGroup(const OptionGroup& group, std::string_view text, bool dropsDoubleO) {
    GroupState state;
    state.text = dropsDoubleO ? RemoveAll(text, "-OO") : std::string(text);
    if (group.lowerCase) state.text = ToLowerAscii(state.text);
    const std::vector<std::string_view> pieces = SplitAtSpaces(state.text);
    for (const OptionBox& box : group.boxes) {
        state.ticked.push_back(group.substringTicks
                                   ? state.text.find(box.token) != std::string::npos
                                   : Contains(pieces, box.token));
    }
    return state;
}

std::string RewriteGroup(const OptionGroup& group, std::string_view text,
                         const std::function<bool(std::string_view token)>& ticked) {
    std::string out;
    const std::string lowered = group.lowerCase ? ToLowerAscii(text) : std::string();
    for (const std::string_view piece : SplitAtSpaces(group.lowerCase ? lowered : text)) {
        // An empty piece would leave a double or leading space behind.
        if (piece.empty() || Contains(group.managed, piece)) continue;
        out.append(piece);
        out.push_back(' ');
    }
    for (const std::string_view token : group.order) {
        if (!ticked(token)) continue;
        out.append(token);
        out.push_back(' ');
    }
    while (!out.empty() && IsWhiteSpace(out.back())) // trailing only: a leading space stays
        out.pop_back();
    return out;
}

bool EnablesFileButton(const LocationField& field, std::string_view location) {
    return !field.driver.empty() && ContainsNoCase(location, field.driver);
}

Installation InstallationOf(std::string_view location, std::string_view driver, PathStyle style) {
    Installation inst;
    bool found = false;
    constexpr std::string_view kBin = "BIN";
    const std::size_t tail = kBin.size() + 1 + driver.size();
    for (std::size_t i = 0; i < location.size();) {
        if (i + tail <= location.size() && EqualsNoCase(location.substr(i, kBin.size()), kBin) &&
            IsPathSeparator(location[i + kBin.size()], style) &&
            EqualsNoCase(location.substr(i + kBin.size() + 1, driver.size()), driver)) {
            if (!found) inst.binDir = location.substr(i, kBin.size());
            found = true;
            i += tail;
            continue;
        }
        const std::size_t n = style == PathStyle::Windows ? dbcs::CharLength(location, i) : 1;
        inst.base.append(location.substr(i, n));
        i += n;
    }
    if (!found) {
        // The driver's own folder, as the environment report reads it.
        const std::string dir = GetFileDir(location, style);
        std::string_view folder = dir;
        while (folder.size() > DriveLength(folder, style) && EndsInSeparator(folder, style))
            folder.remove_suffix(1);
        const std::size_t sep = FindLastSeparator(folder, style);
        const std::size_t nameStart =
            sep == std::string_view::npos ? DriveLength(folder, style) : sep + 1;
        if (nameStart >= folder.size()) { // a root or a drive: no parent to go up to
            inst.base = dir;
        } else {
            inst.base = folder.substr(0, nameStart);
            inst.binDir = folder.substr(nameStart);
        }
    }
    inst.include = SpeltLike(inst.binDir, "include", style);
    inst.lib = SpeltLike(inst.binDir, "lib", style);
    return inst;
}

std::vector<std::string> TokenizeLcc(std::string_view content) {
    std::vector<std::string> tokens;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        const std::string_view line = TrimWhiteSpace(content.substr(0, end));
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        std::string token;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == ' ' || c == '\t' || c == '#') {
                if (!token.empty()) tokens.push_back(std::move(token));
                token.clear();
                if (c == '#') {
                    tokens.emplace_back(line.substr(i));
                    break;
                }
            } else {
                token.push_back(c);
            }
        }
        if (!token.empty()) tokens.push_back(std::move(token));
    }
    return tokens;
}

bool LccFoldersAreTokens(std::string_view location, PathStyle style) {
    const Installation inst = InstallationOf(location, "LCC.EXE", style);
    constexpr std::string_view kBreaks = " \t\r\n\v\f#";
    return inst.base.find_first_of(kBreaks) == std::string::npos &&
           inst.binDir.find_first_of(kBreaks) == std::string::npos;
}

std::string LccFilePath(std::string_view location, PathStyle style) {
    return BesideDriver(InstallationOf(location, "LCC.EXE", style), kLccFileName, style);
}

std::string RewriteLcc(std::span<const std::string> tokens, std::string_view location,
                       PathStyle style) {
    const Installation inst = InstallationOf(location, "LCC.EXE", style);
    std::string out;
    for (const std::string& token : tokens) {
        const char kind = token.size() >= 2 && token[0] == '-' ? token[1] : '\0';
        if (kind == 'I') {
            out += "-I" + inst.base + inst.include;
        } else if (kind == 'L') {
            out += "-L" + inst.base + inst.lib;
        } else if (kind == 'X') {
            out += "-X" + inst.base + inst.binDir;
        } else {
            out += token;
        }
        out += "\r\n";
    }
    return out;
}

BorlandConfig MakeBorlandConfig(std::string_view location, PathStyle style) {
    const Installation inst = InstallationOf(location, "BCC32.EXE", style);
    const char sep = PreferredSeparator(style);
    const std::string& b = inst.base;
    BorlandConfig cfg;
    cfg.compilerFile = BesideDriver(inst, "bcc32.cfg", style);
    cfg.linkerFile = BesideDriver(inst, "ilink32.cfg", style);
    const std::string libraries = "-L\"" + b + "lib;" + b + "lib" + sep + "PSDK\"\r\n";
    cfg.compilerText = "-I\"" + b + "include\"\r\n" + libraries;
    cfg.linkerText = libraries;
    return cfg;
}

} // namespace mireka
