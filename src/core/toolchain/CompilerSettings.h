// The compiler settings dialogs as data: their fields and boxes, how the boxes are read from the
// option text and written back into it, and the configuration files two of them write.
#pragma once

#include "core/base/Paths.h"
#include "core/toolchain/BuildSettings.h"
#include "core/toolchain/Toolchain.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// A text field of these dialogs holds at most this many characters.
inline constexpr std::size_t kSettingsFieldMax = 255;
inline constexpr std::string_view kFieldTooLongFormat = "%1 文字以内で入力してください。";

// One check box: its label and the option it stands for.
struct OptionBox {
    std::string_view label;
    std::string_view token;
};

// A text field with the boxes that edit it.
struct OptionGroup {
    std::string_view label;
    std::string BuildSettings::*member;
    std::span<const OptionBox> boxes;          // as the dialog shows them
    std::span<const std::string_view> managed; // the pieces a rewrite drops
    std::span<const std::string_view> order;   // the ticked tokens are appended in this order
    bool lowerCase = false;                    // pieces are lowered before they are compared
    bool substringTicks = false;               // a box is ticked when its token occurs anywhere
};

// The driver's location field, its browse button and the configuration-file button.
struct LocationField {
    std::string_view label;
    std::string BuildSettings::*member;
    std::string_view filter;     // for the browse dialog
    std::string_view fileButton; // empty when the dialog writes no file
    std::string_view driver;     // the button is enabled while the location names it
};

struct SettingsDialogDescriptor {
    ToolchainKind kind;
    std::string_view title;
    const LocationField* location; // null: the location is derived, not edited
    OptionGroup options;
    const OptionGroup* library; // null: no library field
    bool dropsDoubleO;          // "-OO" is removed from the option text when the dialog opens
};

[[nodiscard]] const SettingsDialogDescriptor& SettingsDialog(ToolchainKind kind) noexcept;

// The text split at each single space (so runs of spaces give empty pieces).
[[nodiscard]] std::vector<std::string_view> SplitAtSpaces(std::string_view text);

// The text a group's field shows when the dialog opens, and its ticked boxes (in box order).
struct GroupState {
    std::string text;
    std::vector<bool> ticked;
};
[[nodiscard]] GroupState OpenGroup(const OptionGroup& group, std::string_view text,
                                   bool dropsDoubleO = false);

// The text after a click: the pieces that are neither managed nor empty, in their order, then
// the ticked tokens in the group's order, a space between each.
[[nodiscard]] std::string RewriteGroup(const OptionGroup& group, std::string_view text,
                                       const std::function<bool(std::string_view token)>& ticked);

// True when the location names the driver whose configuration file the dialog writes.
[[nodiscard]] bool EnablesFileButton(const LocationField& field, std::string_view location);

// The installation a driver location belongs to: `binDir` is the name of the folder the driver
// is in, spelt as in the location, and `base` what comes before it, so that files beside the
// driver are found on a case-sensitive file system. With "BIN/<driver>" in the location (without
// regard to case) `base` is the location without it; otherwise the driver's own folder is split
// into its parent and its name. `include` and `lib` are those folders' names spelt in the case
// of `binDir` ("bin" gives "include", "Bin" "Include"; upper case otherwise).
struct Installation {
    std::string base;
    std::string binDir;
    std::string include;
    std::string lib;
};
[[nodiscard]] Installation InstallationOf(std::string_view location, std::string_view driver,
                                          PathStyle style = kNativePathStyle);

// `_LCC`, in the driver's folder: tokens of the whole file (a comment from "#" to the line's end
// is one token), and the file rewritten with the include, library and executable folders of the
// installation, a token per line.
inline constexpr std::string_view kLccFileName = "_LCC";
inline constexpr std::string_view kLccReadError =
    "_LCC が見つからないか、あるいは、読み出しモードで開けません。";
inline constexpr std::string_view kLccWriteError = "_LCC を書き込みモードで開けません。";
inline constexpr std::string_view kLccBinaryError =
    "_LCC はテキスト ファイルではないため、変更しませんでした。";
inline constexpr std::string_view kLccBlankFolderError =
    "コンパイラの位置に空白か # を含むフォルダー名があるため、_LCC を変更できません。";
inline constexpr std::string_view kLccDone = "_LCC を変更しました。";
[[nodiscard]] std::vector<std::string> TokenizeLcc(std::string_view content);
// False when a folder the rewrite writes would not read back as one token (a blank or "#" in
// it): without short names to fall back on, such a location cannot be written into `_LCC`.
[[nodiscard]] bool LccFoldersAreTokens(std::string_view location,
                                       PathStyle style = kNativePathStyle);
[[nodiscard]] std::string LccFilePath(std::string_view location,
                                      PathStyle style = kNativePathStyle);
[[nodiscard]] std::string RewriteLcc(std::span<const std::string> tokens, std::string_view location,
                                     PathStyle style = kNativePathStyle);

// `bcc32.cfg` and `ilink32.cfg`, beside BCC32.EXE.
struct BorlandConfig {
    std::string compilerFile, linkerFile;
    std::string compilerText, linkerText;
};
[[nodiscard]] BorlandConfig MakeBorlandConfig(std::string_view location,
                                              PathStyle style = kNativePathStyle);
inline constexpr std::string_view kBccCfgExists = "既に bcc32.cfg が存在します。上書きしますか？";
inline constexpr std::string_view kIlinkCfgExists =
    "既に ilink32.cfg が存在します。上書きしますか？";
inline constexpr std::string_view kBccCfgWriteError = "bcc32.cfg を書き込みモードで開けません。";
inline constexpr std::string_view kIlinkCfgWriteError =
    "ilink32.cfg を書き込みモードで開けません。";
inline constexpr std::string_view kBorlandConfigDone = "bcc32.cfg と ilink32.cfg を作成しました。";

inline constexpr std::string_view kConfirmCaption = "確認";
inline constexpr std::string_view kErrorCaption = "エラー";
inline constexpr std::string_view kDoneCaption = "完了";

} // namespace mireka
