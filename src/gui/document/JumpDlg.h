// The jump dialog: the line number to move the caret to, 1 to 9999.
#pragma once

#include "gui/document/NumberDlg.h"

namespace mireka {

class CJumpDlg : public CNumberDlg {
    Q_OBJECT

public:
    explicit CJumpDlg(QWidget* parent = nullptr);
};

} // namespace mireka
