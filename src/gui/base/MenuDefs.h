// The menu bar, the accelerators, the context menu, the toolbar and the prompts as data.
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

// One toolbar position: a command and its icon (a resource path), or a separator (id 0).
struct ToolbarItemDef {
    int id;
    const char* icon;
};

[[nodiscard]] const std::vector<MenuDef>& MainMenuDefs();
[[nodiscard]] const std::vector<AcceleratorDef>& AcceleratorDefs();
[[nodiscard]] const std::vector<MenuItemDef>& ContextMenuDefs();
// The toolbar, left to right.
[[nodiscard]] const std::vector<ToolbarItemDef>& ToolbarDefs();
// Status-bar prompts ("prompt\ntooltip") of the commands, by id.
[[nodiscard]] const std::vector<std::pair<int, const char*>>& PromptDefs();

} // namespace mireka
