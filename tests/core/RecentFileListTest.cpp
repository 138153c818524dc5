// The recent-file list and the name proposed by a first save.
#include "core/app/RecentFileList.h"
#include "core/base/MemorySettingsStore.h"
#include "core/base/Profile.h"
#include "core/document/SaveName.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

TEST(RecentFileList, MostRecentFirstWithoutDuplicatesAndAtMostFour) {
    RecentFileList list;
    for (const char* p : {"/a.c", "/b.c", "/c.c", "/d.c", "/e.c"})
        list.Add(p);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/e.c", "/d.c", "/c.c", "/b.c"}));
    list.Add("/c.c");
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/c.c", "/e.c", "/d.c", "/b.c"}));
    list.Remove(1);
    list.Remove(9);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/c.c", "/d.c", "/b.c"}));
}

TEST(RecentFileList, WrittenAfterDeletingTheSectionAndReadBack) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    store.WriteString("Recent File List", "File4", "/stale.c");
    RecentFileList list;
    list.Add("/x.c");
    list.Add("/y.c");
    list.WriteList();
    EXPECT_EQ(GetProfileString("Recent File List", "File1"), "/y.c");
    EXPECT_EQ(GetProfileString("Recent File List", "File2"), "/x.c");
    EXPECT_EQ(GetProfileString("Recent File List", "File4", "gone"), "gone");
    store.WriteString("Recent File List", "File3", "/y.c"); // a duplicate is read once
    RecentFileList again;
    again.ReadList();
    EXPECT_EQ(again.Items(), (std::vector<std::string>{"/y.c", "/x.c"}));
}

TEST(RecentFileList, AbbreviatedNamesKeepTheRootAndTheTail) {
    EXPECT_EQ(RecentFileList::AbbreviateName("/home/u/a.c", 30), "/home/u/a.c");
    const std::string shown =
        RecentFileList::AbbreviateName("/home/user/projects/learning/c/hello.c", 30);
    EXPECT_LE(shown.size(), 30u);
    EXPECT_EQ(shown, "/.../learning/c/hello.c");
    EXPECT_EQ(RecentFileList::AbbreviateName("/x/" + std::string(40, 'n') + ".c", 30),
              std::string(40, 'n') + ".c")
        << "the file name alone when nothing else fits";

    // Characters, not bytes: 24 Japanese characters are 72 bytes in UTF-8 and still fit.
    std::string folder;
    for (int i = 0; i < 12; ++i)
        folder += "\xe6\x97\xa5"; // 日
    const std::string japanese = "/" + folder + "/" + folder + "/a.c";
    EXPECT_EQ(PathCharCount(japanese, PathStyle::Posix), 30u);
    EXPECT_EQ(RecentFileList::AbbreviateName(japanese, 30, PathStyle::Posix), japanese);
    EXPECT_EQ(RecentFileList::AbbreviateName("/x" + japanese, 30, PathStyle::Posix),
              "/.../" + folder + "/a.c");
    // Shift_JIS names from older systems: 表 ends in the byte of a backslash.
    EXPECT_EQ(RecentFileList::AbbreviateName("C:\\\x95\x5c\\" + std::string(20, 'd') +
                                                 "\\\x95\x5c\x95\x5c.c",
                                             12, PathStyle::Windows),
              "C:\\...\\\x95\x5c\x95\x5c.c");
}

TEST(SaveName, TitleIsCutAtTheFirstDelimiterCharacterWise) {
    EXPECT_EQ(ProposedSaveName("untitled"), "untitled.c");
    EXPECT_EQ(ProposedSaveName("a b.c"), "a.c");
    EXPECT_EQ(ProposedSaveName("x#1"), "x.c");
    EXPECT_EQ(ProposedSaveName("p%q;r"), "p.c");
    // 表 ends in the byte of a backslash: not a delimiter inside a double-byte character.
    EXPECT_EQ(ProposedSaveName("\x95\x5c"
                               "a\\b"),
              "\x95\x5c"
              "a.c");
}

} // namespace
} // namespace mireka
