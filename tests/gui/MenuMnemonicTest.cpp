// The access keys of the menus: within one menu, a letter chooses one item.
#include "gui/base/MenuDefs.h"

#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace mireka {
namespace {

// The letter after a single "&", upper-cased; none for a text without one ("&&" is an ampersand).
QChar Mnemonic(const char* text) {
    const QString s = QString::fromUtf8(text);
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '&') continue;
        if (s[i + 1] != '&') return s[i + 1].toUpper();
        ++i;
    }
    return {};
}

struct Menu {
    std::string name;
    std::vector<const char*> texts;
};

// Each menu and submenu on its own; a submenu's title is an item of the menu that holds it.
void Collect(const std::string& name, const std::vector<MenuItemDef>& items,
             std::vector<Menu>& menus) {
    Menu menu{name, {}};
    for (const MenuItemDef& item : items) {
        if (item.id == 0) continue;
        menu.texts.push_back(item.text);
        if (item.id == MenuItemDef::kSubmenu) Collect(item.text, item.sub, menus);
    }
    menus.push_back(std::move(menu));
}

TEST(MenuMnemonic, NoTwoItemsOfOneMenuShareALetter) {
    std::vector<Menu> menus;
    Menu bar{"menu bar", {}};
    for (const MenuDef& def : MainMenuDefs()) {
        bar.texts.push_back(def.title);
        Collect(def.title, def.items, menus);
    }
    menus.push_back(bar);
    Collect("context menu", ContextMenuDefs(), menus);

    std::set<std::pair<std::string, QChar>> clashes;
    for (const Menu& menu : menus) {
        std::map<QChar, int> uses;
        for (const char* text : menu.texts) {
            const QChar letter = Mnemonic(text);
            if (!letter.isNull() && ++uses[letter] == 2) clashes.insert({menu.name, letter});
        }
    }
    // The program's fixed texts share these letters (ツール バー and 構文強調表示; コピー and
    // コンパイル, 貼り付け and 引数を指定して実行) and keep them; nothing else may.
    const std::set<std::pair<std::string, QChar>> kept = {
        {"表示(&V)", QChar('T')}, {"context menu", QChar('C')}, {"context menu", QChar('P')}};
    EXPECT_EQ(clashes, kept);
}

} // namespace
} // namespace mireka
