// The menu bar, the accelerators and the context menu as data.
#pragma once

#include <QKeySequence>

#include <vector>

namespace mireka {

// One menu entry: a command, a separator (id 0) or a submenu (id kSubmenu, items in `sub`).
struct MenuItemDef {
    static constexpr int kSubmenu = -1;
    int id;
    const char* text; // UTF-8
    std::vector<MenuItemDef> sub = {};
};

struct MenuDef {
    const char* title;
    std::vector<MenuItemDef> items;
};

struct AcceleratorDef {
    QKeySequence keys;
    int id;
};

[[nodiscard]] const std::vector<MenuDef>& MainMenuDefs();
[[nodiscard]] const std::vector<AcceleratorDef>& AcceleratorDefs();
[[nodiscard]] const std::vector<MenuItemDef>& ContextMenuDefs();
// Status-bar prompts ("prompt\ntooltip") of the commands, by id.
[[nodiscard]] const std::vector<std::pair<int, const char*>>& PromptDefs();

} // namespace mireka
