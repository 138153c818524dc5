// The profile functions over the in-memory store.
#include "core/base/Profile.h"
#include "core/base/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

namespace mireka {
namespace {

TEST(Profile, WithoutAStoreReadsGiveDefaultsAndWritesFail) {
    ScopedProfileStore none(nullptr);
    EXPECT_EQ(GetProfileInt("Settings", "FilterIndex", 1), 1);
    EXPECT_EQ(GetProfileString("Settings", "Directory", "def"), "def");
    EXPECT_FALSE(WriteProfileInt("Settings", "FilterIndex", 3));
    EXPECT_FALSE(WriteProfileString("Settings", "Directory", "x"));
    EXPECT_FALSE(WriteProfileString("Settings", std::string("Directory"), std::string("x")));
    EXPECT_FALSE(WriteProfileString("Settings", nullptr, nullptr));
}

TEST(Profile, ValuesRoundTripAndMissingOnesGiveDefaults) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    EXPECT_EQ(GetProfileInt("Settings", "FilterIndex", 1), 1);
    EXPECT_EQ(GetProfileString("Settings", "Directory"), "");

    EXPECT_TRUE(WriteProfileInt("Settings", "FilterIndex", 3));
    EXPECT_TRUE(WriteProfileInt("Settings", "Min", INT_MIN));
    EXPECT_TRUE(WriteProfileInt("Settings", "Max", INT_MAX));
    EXPECT_TRUE(WriteProfileString("Settings", "Directory", "/home/u/\xe6\x97\xa5/"));
    EXPECT_TRUE(WriteProfileString("Settings", "Empty", ""));
    EXPECT_EQ(GetProfileInt("Settings", "FilterIndex", 1), 3);
    EXPECT_EQ(GetProfileInt("Settings", "Min", 0), INT_MIN);
    EXPECT_EQ(GetProfileInt("Settings", "Max", 0), INT_MAX);
    EXPECT_EQ(GetProfileString("Settings", "Directory"), "/home/u/\xe6\x97\xa5/");
    // An empty string is a stored value, not a missing one.
    EXPECT_EQ(GetProfileString("Settings", "Empty", "def"), "");
    // Entries are per section.
    EXPECT_EQ(GetProfileInt("Other", "FilterIndex", 7), 7);

    // Names with spaces and the bar-state section names are ordinary names.
    char section[64];
    std::snprintf(section, sizeof section, "%s-SCBar-%d", "BarState", 124);
    EXPECT_TRUE(WriteProfileInt(section, "sizeHorzCX", 200));
    EXPECT_TRUE(WriteProfileString("Settings", "BCC Compiler", "C:\\BCC55\\BIN\\BCC32.EXE"));
    EXPECT_EQ(GetProfileInt("BarState-SCBar-124", "sizeHorzCX", 0), 200);
    EXPECT_EQ(GetProfileString("Settings", "BCC Compiler"), "C:\\BCC55\\BIN\\BCC32.EXE");
}

TEST(Profile, IntegersAndTheirDecimalTextAreOneValue) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    WriteProfileString("Settings", "TabWidth", " 8 ");
    WriteProfileInt("Settings", "IsLCC", -2);
    EXPECT_EQ(GetProfileInt("Settings", "TabWidth", 4), 8);
    EXPECT_EQ(GetProfileString("Settings", "IsLCC"), "-2");
    // Text that is not a whole 32-bit decimal number gives the default.
    const char* const notNumbers[] = {"",    " ",          "8x",          "0x10",    "1 2",
                                      "+-1", "2147483648", "-2147483649", "FixedSys"};
    for (const char* text : notNumbers) {
        WriteProfileString("Settings", "Font-Family", text);
        EXPECT_EQ(GetProfileInt("Settings", "Font-Family", 12), 12) << '"' << text << '"';
    }
    EXPECT_EQ(ParseProfileInt("+7"), 7);
    EXPECT_EQ(ParseProfileInt("\t-2147483648\n"), INT_MIN);
}

TEST(Profile, DeletesWholeSectionsAndSingleEntries) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    for (int i = 1; i <= 4; ++i) {
        char entry[16];
        std::snprintf(entry, sizeof entry, "File%d", i);
        WriteProfileString("Recent File List", entry, "/src/" + std::to_string(i) + ".c");
    }
    WriteProfileInt("Settings", "PreviewPages", 2);

    // The recent-file list is written as: delete the section, rewrite what is not empty.
    EXPECT_TRUE(WriteProfileString("Recent File List", nullptr, nullptr));
    EXPECT_FALSE(store.HasSection("Recent File List"));
    WriteProfileString("Recent File List", "File1", "/src/new.c");
    EXPECT_EQ(GetProfileString("Recent File List", "File1"), "/src/new.c");
    EXPECT_EQ(GetProfileString("Recent File List", "File2", "absent"), "absent");
    EXPECT_EQ(GetProfileString("Recent File List", "File4", "absent"), "absent");
    EXPECT_EQ(GetProfileInt("Settings", "PreviewPages", 0), 2);

    // With an entry but no value only that entry goes.
    WriteProfileString("Recent File List", "File2", "/src/2.c");
    EXPECT_TRUE(WriteProfileString("Recent File List", "File1", nullptr));
    EXPECT_EQ(GetProfileString("Recent File List", "File1", "absent"), "absent");
    EXPECT_EQ(GetProfileString("Recent File List", "File2"), "/src/2.c");
    EXPECT_EQ(store.EntryCount("Recent File List"), 1u);

    // Deleting what is not there is not an error.
    EXPECT_TRUE(WriteProfileString("Never Written", nullptr, nullptr));
    EXPECT_TRUE(WriteProfileString("Never Written", "x", nullptr));
    EXPECT_FALSE(store.HasSection("Never Written"));
}

TEST(Profile, RefusedWritesChangeNothing) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    EXPECT_FALSE(WriteProfileInt("", "Entry", 1));
    EXPECT_FALSE(WriteProfileString("Settings", "", "x"));
    EXPECT_FALSE(store.HasSection(""));
    EXPECT_FALSE(store.HasSection("Settings"));

    WriteProfileInt("Settings", "IsLCC", 2);
    store.SetReadOnly(true);
    EXPECT_FALSE(WriteProfileInt("Settings", "IsLCC", 0));
    EXPECT_FALSE(WriteProfileString("Settings", nullptr, nullptr));
    EXPECT_EQ(GetProfileInt("Settings", "IsLCC", 1), 2);
}

} // namespace
} // namespace mireka
