// The tab width dialog.
#include "gui/document/TabWidthDlg.h"

#include "core/document/EditCommands.h"

namespace mireka {

CTabWidthDlg::CTabWidthDlg(QWidget* parent)
    : CNumberDlg(QStringLiteral("タブ幅の設定"), QStringLiteral("タブ幅："), kMinTabWidth,
                 kMaxTabWidth, QStringLiteral("OK"), QStringLiteral("キャンセル"), parent) {}

} // namespace mireka
