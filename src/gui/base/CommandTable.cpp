// The command table.
#include "gui/base/CommandTable.h"

#include <QAction>

namespace mireka {

namespace {
const char* const kIdProperty = "mirekaCommandId";
const char* const kAcceleratorProperty = "mirekaAccelerator";
} // namespace

void CommandTable::Register(int id, Handler handler, Update update) {
    entries_.insert(id, Entry{std::move(handler), std::move(update)});
}

void CommandTable::BindAccelerator(int id, QAction* action) {
    action->setProperty(kAcceleratorProperty, true);
    Bind(id, action);
}

void CommandTable::Bind(int id, QAction* action) {
    action->setProperty(kIdProperty, id);
    actions_[id].append(action);
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    const QString prompt = Prompt(id);
    if (!prompt.isEmpty()) {
        const int nl = prompt.indexOf(u'\n');
        action->setStatusTip(nl < 0 ? prompt : prompt.left(nl));
        if (nl >= 0 && action->toolTip() == action->text()) action->setToolTip(prompt.mid(nl + 1));
    }
    Apply(action, State(id));
}

QList<QAction*> CommandTable::Actions(int id) const {
    QList<QAction*> out;
    for (const auto& a : actions_.value(id))
        if (a) out.append(a);
    return out;
}

CmdUI CommandTable::State(int id) const {
    CmdUI ui;
    const auto it = entries_.constFind(id);
    if (it == entries_.constEnd() || !it->handler) {
        ui.enabled = false;
        return ui;
    }
    if (it->update) it->update(ui);
    return ui;
}

bool CommandTable::Execute(int id) {
    // A handler that opens a modal loop must not be re-entered by a second key press.
    if (running_) return false;
    const CmdUI ui = State(id);
    if (!ui.enabled) return false;
    running_ = true;
    const Handler handler = entries_.value(id).handler; // the handler may re-register commands
    handler();
    running_ = false;
    emit Executed(id);
    return true;
}

void CommandTable::Apply(QAction* action, const CmdUI& ui) const {
    // An accelerator stays enabled: its rule is asked when the key comes, so a key pressed
    // right after a change (before idle time) is not lost.
    const bool enabled = ui.enabled || action->property(kAcceleratorProperty).toBool();
    if (action->isEnabled() != enabled) action->setEnabled(enabled);
    if (ui.checked) {
        if (!action->isCheckable()) action->setCheckable(true);
        if (action->isChecked() != *ui.checked) action->setChecked(*ui.checked);
    }
    if (ui.text && action->property("mirekaMenuItem").toBool() && action->text() != *ui.text)
        action->setText(*ui.text);
}

void CommandTable::UpdateAll() {
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
        const CmdUI ui = State(it.key());
        for (const auto& a : it.value())
            if (a) Apply(a, ui);
    }
}

void CommandTable::UpdateActions(const QList<QAction*>& actions) {
    for (QAction* a : actions) {
        bool ok = false;
        const int id = a->property(kIdProperty).toInt(&ok);
        if (ok) Apply(a, State(id));
    }
}

void CommandTable::SetPrompt(int id, const QString& prompt) {
    prompts_.insert(id, prompt);
}

QString CommandTable::Prompt(int id) const {
    return prompts_.value(id);
}

} // namespace mireka
