// The five-line history of the argument and command dialog.
#include "core/app/ArgumentHistory.h"
#include "core/base/MemorySettingsStore.h"
#include "core/base/Profile.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

using Entries = ArgumentHistory::Entries;

ArgumentHistory With(Entries e, ArgumentsMode mode = ArgumentsMode::Arguments) {
    ArgumentHistory h(mode);
    h.SetItems(std::move(e));
    return h;
}

TEST(ArgumentHistory, ConfirmMovesTheLineToTheFront) {
    // A line already third moves to the top; the lines before it move down, none is lost.
    ArgumentHistory h = With({"a", "b", "c", "d", "e"});
    h.Confirm("c");
    EXPECT_EQ(h.Items(), (Entries{"c", "a", "b", "d", "e"}));
    // A new line with five in the history drops the fifth.
    h.Confirm("new");
    EXPECT_EQ(h.Items(), (Entries{"new", "c", "a", "b", "d"}));
    // The line already at the top stays alone there.
    h.Confirm("new");
    EXPECT_EQ(h.Items(), (Entries{"new", "c", "a", "b", "d"}));
    // Only entries 0 to 3 are searched: the fifth equal line is dropped as the oldest.
    h.Confirm("d");
    EXPECT_EQ(h.Items(), (Entries{"d", "new", "c", "a", "b"}));
    // Letter case makes another line.
    h.Confirm("D");
    EXPECT_EQ(h.Items(), (Entries{"D", "d", "new", "c", "a"}));
    // An empty text changes nothing.
    h.Confirm("");
    EXPECT_EQ(h.Items(), (Entries{"D", "d", "new", "c", "a"}));
    // Exactly equal, byte for byte: a trailing space is another line.
    h.Confirm("c ");
    EXPECT_EQ(h.Items(), (Entries{"c ", "D", "d", "new", "c"}));

    ArgumentHistory empty(ArgumentsMode::Command);
    empty.Confirm("make");
    EXPECT_EQ(empty.Items(), (Entries{"make", "", "", "", ""}));
    empty.Confirm("ls");
    EXPECT_EQ(empty.Items(), (Entries{"ls", "make", "", "", ""}));
}

TEST(ArgumentHistory, DropDownStopsAtTheFirstEmptyEntry) {
    EXPECT_TRUE(ArgumentHistory(ArgumentsMode::Arguments).DropDownItems().empty());
    EXPECT_EQ(With({"a", "b", "", "d", ""}).DropDownItems(), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(With({"", "b", "c", "", ""}).DropDownItems().empty());
    EXPECT_EQ(With({"a", "b", "c", "d", "e"}).DropDownItems().size(), 5u);
}

TEST(ArgumentHistory, StoredPerModeAndRewrittenWithTheSameNumbers) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    // A gap: entry 1 empty, entry 2 set; and a stale entry beyond five.
    WriteProfileString("Parameter List", "param2", "-v in.txt");
    WriteProfileString("Parameter List", "param4", "x");
    WriteProfileString("Parameter List", "param6", "stale");
    WriteProfileString("Command List", "command1", "make");

    ArgumentHistory args(ArgumentsMode::Arguments);
    args.Read();
    EXPECT_EQ(args.Items(), (Entries{"", "-v in.txt", "", "x", ""}));
    EXPECT_TRUE(args.DropDownItems().empty());
    // Cancel: written back as read, section rewritten.
    args.Write();
    EXPECT_EQ(store.EntryCount("Parameter List"), 2u);
    EXPECT_EQ(GetProfileString("Parameter List", "param2"), "-v in.txt");
    EXPECT_EQ(GetProfileString("Parameter List", "param4"), "x");
    EXPECT_EQ(GetProfileString("Parameter List", "param6", "gone"), "gone");

    // The command history is separate.
    ArgumentHistory cmd(ArgumentsMode::Command);
    cmd.Read();
    EXPECT_EQ(cmd.Items(), (Entries{"make", "", "", "", ""}));
    cmd.Confirm("make clean");
    cmd.Write();
    EXPECT_EQ(GetProfileString("Command List", "command1"), "make clean");
    EXPECT_EQ(GetProfileString("Command List", "command2"), "make");
    EXPECT_EQ(store.EntryCount("Parameter List"), 2u);
    EXPECT_FALSE(store.ReadString("Parameter List", "param1").has_value());

    // OK with a new line after a gap: it takes entry 0, the gap moves down with the rest.
    args.Confirm("a b");
    args.Write();
    ArgumentHistory again(ArgumentsMode::Arguments);
    again.Read();
    EXPECT_EQ(again.Items(), (Entries{"a b", "", "-v in.txt", "", "x"}));
    EXPECT_EQ(again.DropDownItems(), (std::vector<std::string>{"a b"}));

    // An empty history leaves no section.
    ArgumentHistory none(ArgumentsMode::Command);
    none.SetItems({});
    none.Write();
    EXPECT_FALSE(store.HasSection("Command List"));
}

} // namespace
} // namespace mireka
