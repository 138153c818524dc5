// The one way the program runs its own modal dialogs, so that tests can answer them without an
// event loop.
#pragma once

#include <QDialog>

#include <functional>

namespace mireka {

// Runs `dialog` modally and returns its result. Tests put in a function of their own, which
// answers the dialog (typing, clicking its buttons) and returns the result it reached.
using DialogRunner = std::function<int(QDialog& dialog)>;
int RunModal(QDialog& dialog);
// An empty runner restores the plain modal loop.
void SetDialogRunner(DialogRunner runner);

} // namespace mireka
