// The tab width dialog: the editor's tab width in characters, 1 to 32.
#pragma once

#include "gui/document/NumberDlg.h"

namespace mireka {

class CTabWidthDlg : public CNumberDlg {
    Q_OBJECT

public:
    explicit CTabWidthDlg(QWidget* parent = nullptr);
};

} // namespace mireka
