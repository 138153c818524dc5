// The steps of building the C library reference: page files, choice, staleness, cleaning,
// NAME sections and the reference with its index.
#include "core/app/ManReference.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

ManPageFile Page(std::string stem, std::string section, bool translated, std::uint64_t size = 10,
                 std::int64_t mtime = 100) {
    ManPageFile p;
    p.path = (translated ? "/m/ja/man" : "/m/man") + section.substr(0, 1) + "/" + stem + "." +
             section + ".gz";
    p.stem = std::move(stem);
    p.section = std::move(section);
    p.translated = translated;
    p.size = size;
    p.mtime = mtime;
    return p;
}

TEST(ManReference, PageFilesOfTheCLibrarySectionsAreRecognised) {
    const struct {
        const char* file;
        const char* stem; // null: not a page of the reference
        const char* section;
    } cases[] = {
        {"printf.3.gz", "printf", "3"},
        {"write.2", "write", "2"},
        {"size_t.3type.gz", "size_t", "3type"},
        {"EXIT_SUCCESS.3const", "EXIT_SUCCESS", "3const"},
        {"pthread.h.3head.gz", "pthread.h", "3head"},
        {"Carp.3perl.gz", nullptr, ""},
        {"curs_add.3x.gz", nullptr, ""},
        {"ls.1.gz", nullptr, ""},
        {".3.gz", nullptr, ""},
        {"printf", nullptr, ""},
        {"printf.gz", nullptr, ""},
    };
    for (const auto& c : cases) {
        const std::optional<ManPageName> n = ParseManPageFileName(c.file);
        ASSERT_EQ(n.has_value(), c.stem != nullptr) << c.file;
        if (!n) continue;
        EXPECT_EQ(n->stem, c.stem);
        EXPECT_EQ(n->section, c.section);
    }
}

TEST(ManReference, TranslationsWinAndPagesAreOrderedByNameThenSection) {
    const std::vector<ManPageFile> pages = ChooseReferencePages(
        {Page("printf", "3", true), Page("write", "2", true)},
        {Page("printf", "3", false), Page("Abort", "3", false), Page("printf", "2", false),
         Page("zzz", "3type", false), Page("abs", "3", false)});
    std::vector<std::string> got;
    for (const ManPageFile& p : pages)
        got.push_back(p.stem + "." + p.section + (p.translated ? " ja" : ""));
    EXPECT_EQ(got, (std::vector<std::string>{"Abort.3", "abs.3", "printf.2", "printf.3 ja",
                                             "write.2 ja", "zzz.3type"}));
}

TEST(ManReference, FingerprintChangesWithAnyPageChange) {
    const std::vector<ManPageFile> base = {Page("a", "3", true), Page("b", "2", false)};
    const std::string key = ReferenceFingerprint(base);
    EXPECT_EQ(key, ReferenceFingerprint(base));
    EXPECT_EQ(key.size(), 16u);
    std::vector<std::vector<ManPageFile>> changed(5, base);
    changed[0][0].size = 11;
    changed[1][1].mtime = 101;
    changed[2][0].path += "x";
    changed[3].pop_back();
    changed[4].push_back(Page("c", "3", false));
    for (const auto& pages : changed)
        EXPECT_NE(ReferenceFingerprint(pages), key);
}

TEST(ManReference, RenderedOutputIsCleanedToPlainAlignedText) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"N\bNA\bAM\bME\bE\n", "NAME\n"},                   // bold by overstrike
        {"_\bf_\bm_\bt\n", "fmt\n"},                        // underline by overstrike
        {"\xe5\x90\x8d\b\xe5\x90\x8d\n", "\xe5\x90\x8d\n"}, // a Japanese character in bold
        {"\x1b[1mbold\x1b[0m \x1b]8;;man:x\x1b\\link\x1b]8;;\x1b\\\n", "bold link\n"},
        {"a\r\n\n\n  b  \n\n\n", "a\n\n\n  b\n"}, // blank lines at the ends dropped
        {"\n\n", ""},
        {"x\xc2\xa0>=\xc2\xa0"
         "500 \xe2\x88\x92"
         "1 \xe2\x80\x90 \xe2\x80\x9cq\xe2\x80\x9d\n",
         "x >= 500 -1 - \"q\"\n"},
        {"\xe2\x94\x8c\xe2\x94\x80\xe2\x94\xac\xe2\x94\x80\xe2\x94\x90\n"
         "\xe2\x94\x82"
         "a\xe2\x94\x82"
         "b\xe2\x94\x82\n",
         "+-+-+\n|a|b|\n"},
        {"\xe6\x9b\xb8\xe5\xbc\x8f \xc3\xa9\n", "\xe6\x9b\xb8\xe5\xbc\x8f \xc3\xa9\n"}, // kept
        {"\bx\n\by\n", "x\ny\n"}, // nothing to overstrike, and a line break is never taken back
        {"a\xcd\bb\n", "ab\n"},   // a broken sequence is a byte of its own, then overstruck
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanRenderedPage(c.in), c.out) << c.in;
}

TEST(ManReference, NamesComeFromTheFirstSection) {
    const struct {
        std::string page;
        std::vector<std::string> names;
    } cases[] = {
        {"PRINTF(3)   Linux Programmer's Manual   PRINTF(3)\n\n"
         "\xe5\x90\x8d\xe5\x89\x8d\n" // 名前
         "       printf,  fprintf,  dprintf,\n"
         "       vsnprintf - \xe6\x9b\xb8\xe5\xbc\x8f, \xe5\x87\xba\xe5\x8a\x9b\n\n"
         "SYNOPSIS\n       int x, y;\n",
         {"printf", "fprintf", "dprintf", "vsnprintf"}},
        {"X(3)  Linux  X(3)\n\nNAME\n       pthread_attr_setstack-\n       size, puts - a\n",
         {"pthread_attr_setstacksize", "puts"}},
        {"X(3)\n\nNAME\n       abs, labs -\n       compute\n", {"abs", "labs"}},
        {"X(3)\n\nNAME\n       only\n\nMORE\n", {"only"}},
        {"X(3)\n\nNAME\n       two words, ok, ok, \xe5\x90\x8d - d\n", {"ok"}},
        {"X(3)\n\nNAME\n\nSYNOPSIS\n       a, b - c\n", {}},
        {"X(3)\n", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNameSection(c.page), c.names) << c.page;
}

TEST(ManReference, OnlyPagesOfTheLinuxManualPagesAreTheCLibrary) {
    EXPECT_TRUE(IsCLibraryPage("PRINTF(3)  Linux Programmer's Manual  PRINTF(3)\n\nNAME\n"));
    EXPECT_TRUE(IsCLibraryPage("size_t(3type)\n\nNAME\n\nLinux man-pages 6.03  size_t(3type)\n"));
    EXPECT_FALSE(
        IsCLibraryPage("DPMSInfo(3)  X FUNCTIONS  DPMSInfo(3)\n\nX Version 11  libXext\n"));
    EXPECT_FALSE(IsCLibraryPage("uuid(3)\n\nutil-linux 2.38.1\n"));
    EXPECT_FALSE(IsCLibraryPage(""));
}

TEST(ManReference, PagesStartWhereTheirNamesLeadAndTheIndexIsSorted) {
    ReferenceBuilder builder("title\nsecond\n");
    // The preface is padded so that the first page opens at the top of the list.
    EXPECT_EQ(CountManualPieces(builder.Text()), static_cast<std::size_t>(kManualFirstShownLine));
    builder.AddPage("W(2)\n\nNAME\n       write\n", {"write"}, "write", "2");
    builder.AddPage(std::string(300, 'x') + "\nend", {"printf", "Fprintf"}, "printf", "3");
    builder.AddPage("page\n", {}, "size_t", "3type");
    builder.AddPage("again\n", {"printf"}, "printf", "2");
    EXPECT_EQ(builder.PageCount(), 4u);

    const long write = kManualFirstShownLine;
    const long printf3 = write + 4 + 1; // four lines and the empty one after the page
    const long sizeT = printf3 + 3 + 1; // a 300-byte line is two pieces
    const long printf2 = sizeT + 1 + 1;
    EXPECT_EQ(builder.IndexText(),
              std::to_string(printf3) + ",Fprintf(3)\n" + std::to_string(printf2) + ",printf(2)\n" +
                  std::to_string(printf3) + ",printf(3)\n" + std::to_string(sizeT) +
                  ",size_t(3type)\n" + std::to_string(write) + ",write(2)\n");
    // The index leads to the lines the viewer numbers.
    const ManualLines lines(builder.TakeText());
    EXPECT_EQ(lines.Line(static_cast<std::size_t>(write)), "W(2)");
    EXPECT_EQ(lines.Line(static_cast<std::size_t>(printf3)), std::string(254, 'x'));
    EXPECT_EQ(lines.Line(static_cast<std::size_t>(sizeT)), "page");
    EXPECT_EQ(lines.Line(static_cast<std::size_t>(printf2)), "again");
}

} // namespace
} // namespace mireka
