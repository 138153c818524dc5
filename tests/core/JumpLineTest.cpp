// Line numbers out of real compiler messages, for every toolchain.
#include "core/document/JumpLine.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace mireka {
namespace {

constexpr int kBorland = 0;
constexpr int kLsi = 1;
constexpr int kVctk = 2;
constexpr int kGcc = 3;

TEST(JumpLine, RuleTableFollowsTheToolchainKind) {
    EXPECT_EQ(JumpRuleFor(kBorland).end, ':');
    EXPECT_EQ(JumpRuleFor(kBorland).start, ' ');
    EXPECT_EQ(JumpRuleFor(kLsi).end, ':');
    EXPECT_EQ(JumpRuleFor(kVctk).end, ')');
    EXPECT_EQ(JumpRuleFor(kVctk).start, '(');
    EXPECT_EQ(JumpRuleFor(kGcc).style, JumpRule::Style::ColonDigitsColon);
    // Every other value reads like the Visual C++ Toolkit.
    for (int other : {-1, 4, 99, INT_MIN, INT_MAX}) {
        EXPECT_EQ(&JumpRuleFor(other), &JumpRuleFor(kVctk)) << other;
        EXPECT_EQ(ParseJumpLine("t.c(12) : x", other), 12);
    }
}

TEST(JumpLine, BorlandAndLsiMessagesGiveTheNumberBeforeTheFirstColon) {
    for (int kind : {kBorland, kLsi}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(ParseJumpLine("w t.c 7: some text", kind), 7);
        EXPECT_EQ(
            ParseJumpLine("Error E2379 hello.c 5: Statement missing ; in function main", kind), 5);
        EXPECT_EQ(ParseJumpLine("Warning W8070 hello.c 12: Function should return a value in "
                                "function main",
                                kind),
                  12);
        EXPECT_EQ(ParseJumpLine("Error E2451 sub\\dir\\calc.c 103: Undefined symbol 'x'", kind),
                  103);
        // A tab between the start separator and the digits is skipped like strtol does.
        EXPECT_EQ(ParseJumpLine("hello.c \t42: x", kind), 42);

        // Shapes that do nothing at all.
        EXPECT_EQ(ParseJumpLine("t.c:5: x", kind), std::nullopt); // no space before the colon
        EXPECT_EQ(ParseJumpLine("hello.c:", kind), std::nullopt);
        EXPECT_EQ(ParseJumpLine("Error: Unresolved external '_foo' referenced from "
                                "C:\\WORK\\HELLO.OBJ",
                                kind),
                  std::nullopt);
        EXPECT_EQ(
            ParseJumpLine("Borland C++ 5.5.1 for Win32 Copyright (c) 1993, 2000 Borland", kind),
            std::nullopt);
        EXPECT_EQ(ParseJumpLine("", kind), std::nullopt);
        EXPECT_EQ(
            ParseJumpLine("*** \x83\x52\x83\x93\x83\x70\x83\x43\x83\x8b\x8a\x4a\x8e\x6e ***", kind),
            std::nullopt); // *** コンパイル開始 ***

        // Separators found but no number: the line is handled, the caret stays.
        EXPECT_EQ(ParseJumpLine("x y: z", kind), 0);
        EXPECT_EQ(
            ParseJumpLine("Turbo Incremental Link 5.00 Copyright (c) 1997, 2000 Borland: x", kind),
            0);
        EXPECT_EQ(ParseJumpLine("hello.c -3: x", kind), -3);
    }
}

TEST(JumpLine, VisualCppMessagesGiveTheNumberInParentheses) {
    EXPECT_EQ(ParseJumpLine("t.c(12) : some text", kVctk), 12);
    EXPECT_EQ(ParseJumpLine("hello.c(5) : error C2143: syntax error : missing ';' before "
                            "'return'",
                            kVctk),
              5);
    EXPECT_EQ(ParseJumpLine("C:\\src\\hello.c(3) : warning C4013: 'foo' undefined; assuming "
                            "extern returning int",
                            kVctk),
              3);
    // The last "(" before the first ")" counts.
    EXPECT_EQ(ParseJumpLine("dir(1)\\hello.c(9) : x", kVctk), 1);
    EXPECT_EQ(ParseJumpLine("a(b(17) : x", kVctk), 17);
    EXPECT_EQ(ParseJumpLine("t.c( 12) : x", kVctk), 12);
    EXPECT_EQ(ParseJumpLine("Microsoft (R) 32-bit C/C++ Optimizing Compiler Version 13.10.3077 "
                            "for 80x86",
                            kVctk),
              0);
    EXPECT_EQ(ParseJumpLine("hello.obj : error LNK2019: unresolved external symbol _foo "
                            "referenced in function _main",
                            kVctk),
              std::nullopt);
    EXPECT_EQ(ParseJumpLine("hello.c", kVctk), std::nullopt);
    EXPECT_EQ(ParseJumpLine("oops) : x", kVctk), std::nullopt); // ")" without "(" before it
    // A Borland-shaped line under the Visual C++ rule does nothing, and the reverse.
    EXPECT_EQ(ParseJumpLine("w t.c 7: some text", kVctk), std::nullopt);
    EXPECT_EQ(ParseJumpLine("t.c(12) : some text", kBorland), 0);
}

TEST(JumpLine, GccMessagesGiveTheFirstNumberBetweenColons) {
    EXPECT_EQ(ParseJumpLine("hello.c:5:3: error: expected ';' before 'return'", kGcc), 5);
    EXPECT_EQ(ParseJumpLine("hello.c:12:5: warning: unused variable 'x' [-Wunused-variable]", kGcc),
              12);
    EXPECT_EQ(ParseJumpLine("In file included from hello.c:1:", kGcc), 1);
    EXPECT_EQ(ParseJumpLine("/usr/include/stdio.h:356:12: note: expected 'const char * "
                            "restrict' but argument is of type 'int'",
                            kGcc),
              356);
    EXPECT_EQ(ParseJumpLine("C:\\work\\hello.c:7:1: error: expected declaration", kGcc), 7);
    EXPECT_EQ(ParseJumpLine("hello.c:9: error: old style without a column", kGcc), 9);
    EXPECT_EQ(ParseJumpLine("hello.c:0:1: x", kGcc), 0);
    EXPECT_EQ(ParseJumpLine("a:12x:5:", kGcc), 5); // digits must be followed by ":" directly
    EXPECT_EQ(ParseJumpLine("::5:", kGcc), 5);
    // Only bare digits count, so a malformed line number yields the column after it.
    EXPECT_EQ(ParseJumpLine("hello.c:-5:3: x", kGcc), 3);
    EXPECT_EQ(ParseJumpLine("hello.c:5 :3: x", kGcc), 3);
    EXPECT_EQ(ParseJumpLine("t:99999999999:", kGcc), INT_MAX);

    for (const char* line :
         {"hello.c: In function 'main':", "/usr/bin/ld: hello.o: in function `main':",
          "hello.c:(.text+0x1e): undefined reference to `foo'",
          "collect2: error: ld returned 1 exit status", "    5 |     return 0",
          "      |     ^~~~~~", "hello.c:5", "hello.c: 5: x", "hello.c:+5: x", ""}) {
        EXPECT_EQ(ParseJumpLine(line, kGcc), std::nullopt) << line;
    }
    // GCC's output under the separator rules does nothing.
    EXPECT_EQ(ParseJumpLine("hello.c:5:3: error: expected ';' before 'return'", kLsi),
              std::nullopt);
}

TEST(JumpLine, DoubleByteFileNamesNeverDisturbTheSeparators) {
    // ソース表.c: the trail bytes of ソ and 表 are backslashes, ー's is "[", ス's is "X".
    const std::string name = "\x83\x5c\x81\x5b\x83\x58\x95\x5c.c";
    EXPECT_EQ(ParseJumpLine("Error E2379 " + name + " 8: Statement missing ;", kBorland), 8);
    EXPECT_EQ(ParseJumpLine(name + "(14) : error C2065: 'x' : undeclared identifier", kVctk), 14);
    EXPECT_EQ(ParseJumpLine(name + ":21:3: \x83\x47\x83\x89\x81\x5b: x", kGcc), 21); // エラー
    // Half-width katakana and a full-width space in the name.
    EXPECT_EQ(ParseJumpLine("Error E2379 \xb6\xc5\x81\x40" + name + " 4: x", kBorland), 4);
    // A lead byte with no valid trail byte stands alone and hides nothing after it.
    EXPECT_EQ(ParseJumpLine("t\x81 6: x", kBorland), 6);
    EXPECT_EQ(ParseJumpLine("t\x81:6:1: x", kGcc), 6);
    EXPECT_EQ(ParseJumpLine("t\x81(7) : x", kVctk), 7);
}

TEST(JumpLine, OnlyTheFirst259BytesOfALineAreExamined) {
    // The colon is the 259th byte: inside.
    EXPECT_EQ(ParseJumpLine(std::string(256, 'x') + " 7: x", kBorland), 7);
    // One more byte in front pushes it out.
    EXPECT_EQ(ParseJumpLine(std::string(257, 'x') + " 7: x", kBorland), std::nullopt);
    EXPECT_EQ(ParseJumpLine(std::string(256, 'x') + ":7:" + "1: x", kGcc), 7);
    EXPECT_EQ(ParseJumpLine(std::string(257, 'x') + ":7:" + "1: x", kGcc), std::nullopt);
    EXPECT_EQ(ParseJumpLine(std::string(255, 'x') + "(7) : x", kVctk), 7);
    EXPECT_EQ(ParseJumpLine(std::string(257, 'x') + "(7) : x", kVctk), std::nullopt);
}

TEST(JumpLine, NumbersAreReadAsStrtolReadsThem) {
    EXPECT_EQ(ReadCLong("42abc"), 42);
    EXPECT_EQ(ReadCLong(" \t\n42"), 42);
    EXPECT_EQ(ReadCLong("+7"), 7);
    EXPECT_EQ(ReadCLong("-7"), -7);
    EXPECT_EQ(ReadCLong("0012"), 12); // decimal, not octal
    EXPECT_EQ(ReadCLong("0x1F"), 0);
    EXPECT_EQ(ReadCLong(""), 0);
    EXPECT_EQ(ReadCLong("abc"), 0);
    EXPECT_EQ(ReadCLong("-"), 0);
    EXPECT_EQ(ReadCLong("+ 3"), 0);
    EXPECT_EQ(ReadCLong("2147483647"), INT_MAX);
    EXPECT_EQ(ReadCLong("2147483648"), INT_MAX);
    EXPECT_EQ(ReadCLong("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ReadCLong("-2147483648"), INT_MIN);
    EXPECT_EQ(ReadCLong("-99999999999999999999999999"), INT_MIN);
}

TEST(JumpLine, TargetLineIsZeroBasedAndOnlyInsideTheText) {
    EXPECT_EQ(JumpTargetLine(1, 1), 0u); // an empty text has one line: the caret goes to 0
    EXPECT_EQ(JumpTargetLine(1, 30), 0u);
    EXPECT_EQ(JumpTargetLine(30, 30), 29u);
    EXPECT_EQ(JumpTargetLine(31, 30), std::nullopt);
    EXPECT_EQ(JumpTargetLine(INT_MAX, 30), std::nullopt);
    EXPECT_EQ(JumpTargetLine(0, 30), std::nullopt);
    EXPECT_EQ(JumpTargetLine(-3, 30), std::nullopt);
    EXPECT_EQ(JumpTargetLine(INT_MIN, 30), std::nullopt);
}

} // namespace
} // namespace mireka
