// The jump dialog.
#include "gui/document/JumpDlg.h"

#include "core/document/EditCommands.h"

namespace mireka {

CJumpDlg::CJumpDlg(QWidget* parent)
    : CNumberDlg(QStringLiteral("ジャンプ"), QStringLiteral("行番号の入力(&E)："), kMinJumpLine,
                 kMaxJumpLine, QStringLiteral("ジャンプ(&G)"), QStringLiteral("閉じる"), parent) {}

} // namespace mireka
