// The modal runner.
#include "gui/base/DialogRunner.h"

namespace mireka {

namespace {

DialogRunner& Runner() {
    static DialogRunner runner;
    return runner;
}

} // namespace

int RunModal(QDialog& dialog) {
    if (Runner()) return Runner()(dialog);
    return dialog.exec();
}

void SetDialogRunner(DialogRunner runner) {
    Runner() = std::move(runner);
}

} // namespace mireka
