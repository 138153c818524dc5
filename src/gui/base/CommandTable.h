// One table from command id to handler and update rule. Menus, toolbar buttons and accelerators
// all go through it, so a command whose rule disables it is never carried out.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QAction;

namespace mireka {

// What an update rule decides for one command.
struct CmdUI {
    bool enabled = true;
    std::optional<bool> checked;
    std::optional<QString> text;
};

class CommandTable : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void()>;
    using Update = std::function<void(CmdUI&)>;

    explicit CommandTable(QObject* parent = nullptr) : QObject(parent) {}

    // A command without a handler stays disabled. Without an update rule it is always enabled.
    void Register(int id, Handler handler, Update update = {});
    [[nodiscard]] bool IsRegistered(int id) const { return entries_.contains(id); }

    // Ties an action (menu item, toolbar button, accelerator) to a command.
    void Bind(int id, QAction* action);
    // A key without a menu item: always enabled, and the rule decides when the key comes.
    void BindAccelerator(int id, QAction* action);
    [[nodiscard]] QList<QAction*> Actions(int id) const;

    // The rule's decision right now.
    [[nodiscard]] CmdUI State(int id) const;
    // Carries the command out when its rule enables it; returns whether it ran.
    bool Execute(int id);

    // Applies the rules to every bound action (idle time) or to some (a menu about to open).
    void UpdateAll();
    void UpdateActions(const QList<QAction*>& actions);

    // Status-bar prompt and tooltip of a command ("prompt\ntooltip").
    void SetPrompt(int id, const QString& prompt);
    [[nodiscard]] QString Prompt(int id) const;

signals:
    void Executed(int id);

private:
    struct Entry {
        Handler handler;
        Update update;
    };
    void Apply(QAction* action, const CmdUI& ui) const;

    QHash<int, Entry> entries_;
    QHash<int, QList<QPointer<QAction>>> actions_;
    QHash<int, QString> prompts_;
    bool running_ = false;
};

} // namespace mireka
