// The line lexer, its keyword table and byte classes, and the line-state cache.
#include "core/editor/Colorizer.h"
#include "core/editor/LineStates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mireka {
namespace {

// One letter per byte: K keyword, C comment, S string, T text, '.' in no span. Because spans
// must be merged, ordered and disjoint (checked here), this map pins the exact span list.
std::string Classes(std::string_view line, const std::vector<ColorSpan>& spans) {
    std::string map(line.size(), '.');
    std::int32_t prevEnd = -1;
    ColorClass prevCls{};
    for (const auto& sp : spans) {
        EXPECT_LT(sp.start, sp.end) << "empty span";
        EXPECT_GE(sp.start, 0);
        EXPECT_LE(sp.end, static_cast<std::int32_t>(line.size()));
        EXPECT_GE(sp.start, prevEnd) << "spans overlap or go backwards";
        EXPECT_FALSE(sp.start == prevEnd && sp.cls == prevCls) << "touching spans not merged";
        for (auto i = std::max(sp.start, 0);
             i < sp.end && i < static_cast<std::int32_t>(map.size()); ++i)
            map[static_cast<std::size_t>(i)] = "TKCS"[static_cast<int>(sp.cls)];
        prevEnd = sp.end;
        prevCls = sp.cls;
    }
    return map;
}

struct Result {
    std::string map;
    std::uint32_t next;
};

Result Color(std::string_view line, std::uint32_t state = kStateNormal,
             Encoding enc = Encoding::Cp932) {
    std::vector<ColorSpan> spans{{0, 1, ColorClass::Keyword}}; // must be cleared
    const auto next = ColorizeLine(line, state, spans, enc);
    return {Classes(line, spans), next};
}

std::string Map(std::string_view line, std::uint32_t state = kStateNormal) {
    return Color(line, state).map;
}

TEST(Colorizer, KeywordTableIsExactAndCaseSensitive) {
    const char* const all[] = {
        "#define",      "#elif",      "#else",     "#endif",    "#error",
        "#if",          "#ifdef",     "#ifndef",   "#import",   "#include",
        "#line",        "#pragma",    "#undef",    "asm",       "auto",
        "bad_cast",     "bad_typeid", "bool",      "break",     "case",
        "catch",        "char",       "class",     "const",     "const_cast",
        "continue",     "default",    "delete",    "do",        "double",
        "dynamic_cast", "else",       "enum",      "except",    "explicit",
        "extern",       "false",      "finally",   "float",     "for",
        "friend",       "goto",       "if",        "inline",    "int",
        "long",         "mutable",    "namespace", "new",       "operator",
        "private",      "protected",  "public",    "register",  "reinterpret_cast",
        "return",       "short",      "signed",    "sizeof",    "static",
        "static_cast",  "struct",     "switch",    "template",  "this",
        "throw",        "true",       "try",       "type_info", "typedef",
        "typeid",       "typename",   "union",     "unsigned",  "using",
        "virtual",      "void",       "volatile",  "while"};
    static_assert(std::size(all) == 79);
    for (const char* k : all)
        EXPECT_TRUE(IsKeyword(k)) << k;

    for (const char* no : {"",          "Int",     "INT", "in",   "intx", "int ",   " int",
                           "# include", "include", "#",   "main", "NULL", "printf", "wchar_t",
                           "#includ",   "whilee",  "xor", "_int", "z",    "~",      "__asm"})
        EXPECT_FALSE(IsKeyword(no)) << no;
    // Tokens are compared whole, not as prefixes of longer text.
    EXPECT_FALSE(IsKeyword(std::string_view("integer", 7)));
    EXPECT_TRUE(IsKeyword(std::string_view("integer", 3)));
}

TEST(Colorizer, ByteClasses) {
    for (unsigned char c : std::string_view("\t !%&()+,-:;<=>[]{}|"))
        EXPECT_EQ(ClassifyByte(c), ByteClass::Delimiter) << int(c);
    for (unsigned char c : std::string_view("\"'/*\\"))
        EXPECT_EQ(ClassifyByte(c), ByteClass::Special) << int(c);
    for (unsigned char c : std::string_view("aZ09_#$.?@^`~\r\n\x01\x7f"))
        EXPECT_EQ(ClassifyByte(c), ByteClass::Word) << int(c);
    for (int c = 0x80; c < 0x100; ++c)
        EXPECT_EQ(ClassifyByte(static_cast<unsigned char>(c)), ByteClass::Word) << c;
}

TEST(Colorizer, KeywordThenLineComment) {
    std::vector<ColorSpan> spans;
    EXPECT_EQ(ColorizeLine("int x; // int", kStateNormal, spans), kStateNormal);
    const std::vector<ColorSpan> want = {
        {0, 3, ColorClass::Keyword}, {3, 7, ColorClass::Text}, {7, 13, ColorClass::Comment}};
    EXPECT_EQ(spans, want);

    // Nothing after "//" ends the comment, and it does not reach the next line.
    const auto r = Color("x // \"a\" /* */ 'b");
    EXPECT_EQ(r.map, "TTCCCCCCCCCCCCCCC");
    EXPECT_EQ(r.next, kStateNormal);
}

TEST(Colorizer, KeywordNeedsDelimiterSlashStarOrLineEnd) {
    EXPECT_EQ(Map("return;"), "KKKKKKT");
    EXPECT_EQ(Map("return("), "KKKKKKT");
    EXPECT_EQ(Map("return"), "KKKKKK");
    EXPECT_EQ(Map("return\"x\";"), "TTTTTTSSST");
    EXPECT_EQ(Map("return'x';"), "TTTTTTSSST");
    EXPECT_EQ(Map("int\\"), "TTTT");
    EXPECT_EQ(Map("intx int_ int2"), "TTTTTTTTTTTTTT");
    // A tab ends a keyword and is itself never painted.
    EXPECT_EQ(Map("\tint\tx"), ".KKK.T");
    EXPECT_EQ(Map("a|while{b"), "TTKKKKKTT");

    // Directly before "/*" or "//".
    EXPECT_EQ(Map("int/* c */x"), "KKKCCCCCCCT");
    EXPECT_EQ(Map("return//x"), "KKKKKKCCC");
    EXPECT_EQ(Map("int/x;"), "KKKTTT");

    // Keywords inside literals and comments stay in their colour.
    EXPECT_EQ(Map("\"int\" /* int */"), "SSSSSTCCCCCCCCC");
    EXPECT_EQ(Map("x int", kStateBlockComment), "CCCCC");
}

TEST(Colorizer, PreprocessorDirectives) {
    EXPECT_EQ(Map("# include <a.h>"), "TTTTTTTTTTTTTTT");
    EXPECT_EQ(Map("#include<stdio.h>"), "KKKKKKKKTTTTTTTTT");
    EXPECT_EQ(Map("#define MAX 10"), "KKKKKKKTTTTTTT");
    EXPECT_EQ(Map("#endif"), "KKKKKK");
}

TEST(Colorizer, AsteriskAndSlashBeforeAWord) {
    // The keyword is painted, then the asterisk on its own.
    std::vector<ColorSpan> spans;
    ColorizeLine("sizeof*p", kStateNormal, spans);
    const std::vector<ColorSpan> want = {{0, 6, ColorClass::Keyword}, {6, 8, ColorClass::Text}};
    EXPECT_EQ(spans, want);

    // A leading "*" or "/" is split off before the keyword test at a delimiter.
    EXPECT_EQ(Map("x=*int;"), "TTTKKKT");
    EXPECT_EQ(Map("a/int;"), "TTKKKT");
    EXPECT_EQ(Map("*return"), "TTTTTTT"); // at the line end nothing is split off
    EXPECT_EQ(Map("a**int "), "TTTKKKT");
}

TEST(Colorizer, StringAndCharacterLiterals) {
    // An escaped quote does not close the string.
    EXPECT_EQ(Map(R"(s = "a\"b"; int)"), "TTTTSSSSSSTTKKK");
    // An escaped backslash cannot escape the quote after it.
    EXPECT_EQ(Map(R"("a\\" int;)"), "SSSSSTKKKT");
    EXPECT_EQ(Map(R"("\\\"" int)"), "SSSSSSTKKK");
    EXPECT_EQ(Map(R"('\'' int)"), "SSSSTKKK");
    EXPECT_EQ(Map(R"("\n"int)"), "SSSSKKK");
    // The other quote, comment openers and delimiters inside a literal stay in the literal.
    EXPECT_EQ(Map(R"(c='"';int)"), "TTSSSTKKK");
    EXPECT_EQ(Map(R"("it's /* // x" int)"), "SSSSSSSSSSSSSSTKKK");

    // A literal left open ends with its line.
    const auto r = Color("\"abc int");
    EXPECT_EQ(r.map, "SSSSSSSS");
    EXPECT_EQ(r.next, kStateNormal);
    EXPECT_EQ(Color("'x").next, kStateNormal);
}

TEST(Colorizer, BlockComments) {
    const auto open = Color("x /* a");
    EXPECT_EQ(open.map, "TTCCCC");
    EXPECT_EQ(open.next, kStateBlockComment);

    const auto close = Color("b */ int", kStateBlockComment);
    EXPECT_EQ(close.map, "CCCCTKKK");
    EXPECT_EQ(close.next, kStateNormal);

    // "/*/" does not close what it opens; "**/" does.
    EXPECT_EQ(Color("/*/").next, kStateBlockComment);
    EXPECT_EQ(Color("**/ if", kStateBlockComment).map, "CCCTKK");
    // "*/" outside a comment is plain text, and "/*" inside one changes nothing.
    EXPECT_EQ(Color("a */ b").map, "TTTTTT");
    EXPECT_EQ(Color("/* /* */ do").map, "CCCCCCCCTKK");
    EXPECT_EQ(Color("a /* b */ c /* d").next, kStateBlockComment);
    EXPECT_EQ(Color("", kStateBlockComment).next, kStateBlockComment);
    // A line comment inside a block comment is part of it.
    EXPECT_EQ(Color("// */ int", kStateBlockComment).map, "CCCCCTKKK");
}

TEST(Colorizer, DoubleByteCharacters) {
    // 表 is 0x95 0x5C: its trail byte is a backslash and must not escape the closing quote.
    EXPECT_EQ(Map("\"\x95\x5c\"int;"), "SSSSKKKT");
    EXPECT_EQ(Color("'\x95\x5c'").next, kStateNormal);
    EXPECT_EQ(Map("/*\x95\x5c*/int;"), "CCCCCCKKKT");
    EXPECT_EQ(Map("// \x83\x5c int"), "CCCCCCCCC");
    // A trail byte that looks like a delimiter does not end a word early, and a double-byte
    // character ends the run before it, so a keyword right after one is still found.
    EXPECT_EQ(Map("int\x81\x5b;"), "TTTTTT");
    EXPECT_EQ(Map("\x95\x5cint;"), "TTKKKT");
    EXPECT_EQ(Map("\x88\x9f\x88\x9f\x88\x9f while"), "TTTTTTTKKKKK");

    // A quote after a lead byte is no trail byte: it keeps its rule and closes the string.
    EXPECT_EQ(Map("\"\x81\"int;"), "SSSKKKT");
    EXPECT_EQ(Map("\x81\"a\""), "TSSS");
    // A lead byte before a tab is painted alone; the tab is not.
    EXPECT_EQ(Map("\x81\tint"), "T.KKK");

    // A lone lead byte at the line end is painted and carries nothing over.
    const auto lone = Color("x = \x81");
    EXPECT_EQ(lone.map, "TTTTT");
    EXPECT_EQ(lone.next, kStateNormal);
    const auto loneInComment = Color("/* \x81");
    EXPECT_EQ(loneInComment.map, "CCCC");
    EXPECT_EQ(loneInComment.next, kStateBlockComment);

    // Half-width katakana is a word byte.
    EXPECT_EQ(Map("\xb1int;"), "TTTTT");
}

TEST(Colorizer, Utf8BytesAreWordBytes) {
    // あ ends in 0x82, a code page 932 lead byte: in UTF-8 it pairs with nothing, so the
    // backslash after it escapes the quote and the string runs on.
    const Encoding u = Encoding::Utf8;
    EXPECT_EQ(Color("\"あ\\\";", kStateNormal, u).map, "SSSSSSS");
    EXPECT_EQ(Color("\"あ\\\";", kStateNormal, u).next, kStateNormal);
    EXPECT_EQ(Color("/*あ*/int;", kStateNormal, u).map, "CCCCCCCKKKT");
    EXPECT_EQ(Color("日int;", kStateNormal, u).map, "TTTTTTT");
    EXPECT_EQ(Color("x\t日 while", kStateNormal, u).map, "T.TTTTKKKKK");
    // A long run is never cut inside a character.
    const std::string line = std::string(1023, 'a') + "あint;";
    std::vector<ColorSpan> spans;
    ColorizeLine(line, kStateNormal, spans, u);
    for (const ColorSpan& s : spans) {
        EXPECT_TRUE(chars::IsCharBoundary(u, line, static_cast<std::size_t>(s.start)));
        EXPECT_TRUE(chars::IsCharBoundary(u, line, static_cast<std::size_t>(s.end)));
    }
    EXPECT_EQ(Classes(line, spans), std::string(1026, 'T') + "KKKT");
}

TEST(Colorizer, InvalidBytesStayCoveredButBreakKeywords) {
    EXPECT_EQ(Map("\x7fint;"), "TTTTT");
    EXPECT_EQ(Map("int\x01;"), "TTTTT");
    EXPECT_EQ(Map("/* \x01\xff */", kStateNormal), "CCCCCCCC");
    EXPECT_EQ(Map("\"\x81\x7f\""), "SSSS");
}

TEST(Colorizer, LongRunsAreCutEvery1024Bytes) {
    // A run is painted once it holds more than 1023 bytes, so a word that follows 1024 others
    // starts afresh and can be a keyword.
    const std::string a1024(1024, 'a');
    EXPECT_EQ(Map(a1024 + "int;"), std::string(1024, 'T') + "KKKT");
    const std::string a1023(1023, 'a');
    EXPECT_EQ(Map(a1023 + "int;"), std::string(1027, 'T'));
    EXPECT_EQ(Map(std::string(2048, 'a') + "if;"), std::string(2048, 'T') + "KKT");

    // Long runs of double-byte characters keep their pairs: a trail backslash escapes nothing.
    std::string dbcs;
    for (int k = 0; k < 700; ++k)
        dbcs += "\x88\x9f";
    EXPECT_EQ(Map(dbcs + "\"\x95\x5c\" int"), std::string(1400, 'T') + "SSSSTKKK");
    EXPECT_EQ(Map(a1024 + "\x95\x5cint;"), std::string(1026, 'T') + "KKKT");

    // The same cut applies in literals and comments; the class does not change.
    const std::string longString = "\"" + std::string(3000, 'x') + "\" do";
    EXPECT_EQ(Map(longString), std::string(3002, 'S') + "TKK");
    EXPECT_EQ(Color(std::string(5000, 'z') + "*/", kStateBlockComment).next, kStateNormal);
}

TEST(LineStates, StartsWithOneNormalEntryAndResizesKeepingValues) {
    LineStates ls;
    EXPECT_EQ(ls.Size(), 1);
    EXPECT_EQ(ls.Get(0), kStateNormal);
    ls.Resize(4);
    ls.Set(2, kStateBlockComment);
    ls.Resize(10);
    EXPECT_EQ(ls.Size(), 10);
    EXPECT_EQ(ls.Get(2), kStateBlockComment);
    EXPECT_EQ(ls.Get(9), kStateNormal);
    ls.Resize(3);
    EXPECT_EQ(ls.Get(2), kStateBlockComment);
    // A line without an entry reads as normal instead of reading past the array.
    EXPECT_EQ(ls.Get(3), kStateNormal);
    EXPECT_EQ(ls.Get(-1), kStateNormal);
    ls.Set(6, kStateBlockComment);
    EXPECT_EQ(ls.Size(), 7);
    EXPECT_EQ(ls.Get(6), kStateBlockComment);
    ls.Resize(0);
    EXPECT_EQ(ls.Size(), 1);
}

} // namespace
} // namespace mireka

namespace mireka {
namespace {

TEST(Colorizer, ColouringResumedAtAnyResumePointMatchesTheWholeLine) {
    // Random C-like lines with literals, comments, escapes and double-byte characters.
    const char* const pieces[] = {"int ", "x",        " ",        "\"",     "'",  "\\",
                                  "/",    "*",        "/*",       "*/",     "//", ";",
                                  "\t",   "\x88\x9f", "\x95\x5c", "return", "("};
    unsigned seed = 11;
    for (int round = 0; round < 300; ++round) {
        std::string line;
        while (line.size() < 600) {
            seed = seed * 1103515245u + 12345u;
            line += pieces[(seed >> 16) % std::size(pieces)];
        }
        const std::uint32_t start = round % 2 ? kStateBlockComment : kStateNormal;
        std::vector<ColorSpan> whole;
        std::vector<LexPoint> points;
        const LexStop end = ColorizeRange(line, {0, start}, INT32_MAX, whole, &points, 16);
        ASSERT_TRUE(end.atEnd);
        EXPECT_EQ(end.at.state, Color(line, start).next);
        const std::string expected = Classes(line, whole);
        ASSERT_FALSE(points.empty());
        for (const LexPoint& p : points) {
            std::vector<ColorSpan> part;
            const auto until = p.offset + 40;
            const LexStop stop = ColorizeRange(line, p, until, part, nullptr);
            ASSERT_GE(stop.at.offset, std::min<std::int32_t>(until, line.size()));
            const auto from = static_cast<std::size_t>(p.offset);
            const auto to = static_cast<std::size_t>(stop.at.offset);
            EXPECT_EQ(Classes(line, part).substr(from, to - from), expected.substr(from, to - from))
                << "round " << round << " from " << from;
        }
    }
}

} // namespace
} // namespace mireka
