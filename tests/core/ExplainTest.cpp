// The explanation table: its file form, the pattern language and output explained in pieces.
#include "core/toolchain/Explain.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace mireka {
namespace {

TEST(Explain, ParseKeepsEntriesAndReportsBadLines) {
    const ExplainTable table = ParseExplainTable("\xEF\xBB\xBF; comment\r\n"
                                                 "\n"
                                                 "unused variable '%1'*\t%1 unused\r\n"
                                                 "no tab here\n"
                                                 "\tempty pattern\n"
                                                 "empty text\t\n"
                                                 "only %1\t%3 is not captured\n"
                                                 "a %2 b\t%2 ok, 100%d stays\n"
                                                 "last\twithout line end");
    ASSERT_EQ(table.entries.size(), 3u);
    EXPECT_EQ(table.entries[0].pattern, "unused variable '%1'*");
    EXPECT_EQ(table.entries[0].text, "%1 unused"); // CR dropped
    EXPECT_EQ(table.entries[1].text, "%2 ok, 100%d stays");
    EXPECT_EQ(table.entries[2].text, "without line end");
    EXPECT_EQ(table.badLines, (std::vector<int>{4, 5, 6, 7}));

    const std::string tooLong = "x\t" + std::string(kMaxExplainLineBytes, 'y') + "\n";
    EXPECT_EQ(ParseExplainTable(tooLong).badLines, std::vector<int>{1});
    EXPECT_TRUE(ParseExplainTable("").entries.empty());
}

struct MatchCase {
    const char* pattern;
    const char* text;
    const char* line;
    const char* expected; // empty: no match
};

TEST(Explain, LineMatchesPatternFromStartOrAfterColonSpaceToEnd) {
    const MatchCase cases[] = {
        // Quotes of every kind, captures substituted.
        {"unused variable '%1'*", "[%1]", "t.c:3:9: warning: unused variable 'n' [-Wunused]",
         "[n]"},
        {"unused variable '%1'*", "[%1]",
         "t.c:3:9: warning: unused variable \xE2\x80\x98n\xE2\x80\x99", "[n]"},
        {"undefined reference to '%1'", "[%1]", "t.c:(.text+0x1a): undefined reference to `sqrt'",
         "[sqrt]"},
        {"a '%1' b", "[%1]", "a `x\xE2\x80\x99 b", "[x]"},
        {"a '%1' b", "[%1]", "a \"x\" b", ""},
        // Captures are lazy and never empty; "*" may be empty.
        {"%1 and %2", "%2/%1", "a and b and c", "b and c/a"},
        {"x%1y", "[%1]", "xy", ""},
        {"x*y", "ok", "xy", "ok"},
        {"x*y", "ok", "x-y-z", ""},
        // Anchored at the start or after ": ", and at the end.
        {"expected ';' before %1", "[%1]", "t.c:4:10: error: expected ';' before 'return'",
         "['return']"},
        {"error", "e", "t.c:1:1: error", "e"},
        {"error", "e", "t.c:1:1: error: more", ""},
        {"rror", "e", "t.c:1:1: error", ""},
        {"t.c", "t", "t.c", "t"},
        {"b", "b", "a:b", ""}, // a colon without a space is no start
        {"ld returned %1 exit status", "[%1]", "collect2: error: ld returned 1 exit status\r\n",
         "[1]"},
        {"abc", "x", "abc\n", "x"},
        {"abc", "x", "abcd", ""},
        // A "%" not followed by a digit is literal.
        {"format '%d' %1", "[%1]", "format '%d' bad", "[bad]"},
        {"format '%d' %1", "[%1]", "format '%x' bad", ""},
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.line);
        ExplainTable table;
        table.entries.push_back({c.pattern, c.text});
        EXPECT_EQ(ExplainLine(table, c.line), c.expected);
    }
}

TEST(Explain, FirstMatchingEntryWins) {
    const ExplainTable table =
        ParseExplainTable("implicit declaration of function 'printf'*\tstdio\n"
                          "implicit declaration of function '%1'*\t%1 general\n"
                          "%1\tanything\n");
    EXPECT_EQ(ExplainLine(table, "t.c:3:5: warning: implicit declaration of function 'printf'"),
              "stdio");
    EXPECT_EQ(ExplainLine(table, "t.c:3:5: warning: implicit declaration of function 'foo'"),
              "foo general");
    EXPECT_EQ(ExplainLine(table, "   12 |   x = y"), "anything");
    EXPECT_EQ(ExplainLine(table, std::string(kMaxExplainLineBytes, 'a')), "anything");
    EXPECT_EQ(ExplainLine(table, std::string(kMaxExplainLineBytes, 'a') + "\r\n"), "anything");
    EXPECT_EQ(ExplainLine(table, std::string(kMaxExplainLineBytes + 1, 'a')), "");
}

TEST(Explain, ManyRunsAgainstALineThatDefeatsThemAreAnsweredAtOnce) {
    // Each run may end at any "a": trying every combination again would not finish.
    const std::string as(300, 'a');
    const struct {
        std::string pattern, line, expected;
    } cases[] = {
        {"*a*a*a*a*a*a*a*a*a*a*b", as + "c", ""},
        {"%1a%2a%3a%4a%5a%6a%7a%8a%9b", as + "c", ""},
        {"%1a%2a%3a%4a%5a%6a%7a%8a%9a*b", as + "b", "a|a"},
        {"%1: *a*a*a*a*a*a*a*a*b", as + ": " + as + "c", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        ExplainTable table;
        table.entries.push_back({c.pattern, c.expected.empty() ? "x" : "%1|%9"});
        EXPECT_EQ(ExplainLine(table, c.line), c.expected);
    }
}

const char* const kTable = "unused variable '%1'*\tunused %1\n"
                           "ld returned %1 exit status\tlink failed\n";

TEST(Explain, TextGetsAnExplanationLineAfterEachMatchedLine) {
    const ExplainTable table = ParseExplainTable(kTable);
    EXPECT_EQ(ExplainText(table, "t.c:3:9: warning: unused variable 'n'\n"
                                 "    3 |     int n;\r\n"
                                 "collect2: error: ld returned 1 exit status\r\n"
                                 "unused variable 'tail'"),
              "t.c:3:9: warning: unused variable 'n'\n"
              "  → unused n\r\n"
              "    3 |     int n;\r\n"
              "collect2: error: ld returned 1 exit status\r\n"
              "  → link failed\r\n"
              "unused variable 'tail'"); // no line end yet, so not explained
    const std::string longLine =
        "unused variable '" + std::string(kMaxExplainLineBytes, 'x') + "'\n";
    EXPECT_EQ(ExplainText(table, longLine), longLine);
}

TEST(Explain, FeedGivesTheSameResultForEverySplit) {
    const ExplainTable table = ParseExplainTable(kTable);
    const std::string text = "t.c: In function \xE2\x80\x98main\xE2\x80\x99:\n"
                             "t.c:3:9: warning: unused variable \xE2\x80\x98n\xE2\x80\x99\r\n"
                             "    3 |     int n;\n"
                             "\n"
                             "collect2: error: ld returned 1 exit status\n"
                             "unused variable 'z'\r\n";
    const std::string whole = ExplainText(table, text);
    ASSERT_EQ(whole, "t.c: In function \xE2\x80\x98main\xE2\x80\x99:\n"
                     "t.c:3:9: warning: unused variable \xE2\x80\x98n\xE2\x80\x99\r\n"
                     "  → unused n\r\n"
                     "    3 |     int n;\n"
                     "\n"
                     "collect2: error: ld returned 1 exit status\n"
                     "  → link failed\r\n"
                     "unused variable 'z'\r\n"
                     "  → unused z\r\n");
    for (std::size_t i = 0; i <= text.size(); ++i) {
        for (std::size_t j = i; j <= text.size(); ++j) {
            Explainer explainer(table);
            std::string out = explainer.Feed(text.substr(0, i));
            // Bytes pass through at once: even an unfinished line is already in the output.
            const std::string_view fed = std::string_view(text).substr(0, i);
            const std::string_view tail = fed.substr(fed.rfind('\n') + 1);
            ASSERT_TRUE(out.ends_with(tail)) << i;
            out += explainer.Feed(text.substr(i, j - i));
            out += explainer.Feed(text.substr(j));
            ASSERT_EQ(out, whole) << i << ' ' << j;
        }
    }
}

} // namespace
} // namespace mireka
