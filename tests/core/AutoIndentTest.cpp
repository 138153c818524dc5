// Typing through the main view's character handling: indentation on Enter, the closing-brace
// unindent, the hint word, each scenario as text before, keys, text after.
#include "UndoTestSupport.h"

#include "core/document/AutoIndent.h"
#include "core/editor/Colorizer.h"

#include <string>
#include <vector>

namespace mireka {
namespace {

// An editor whose characters pass through the indenter around the base handling, with line
// states computed from the top as the colouring would have cached them.
struct IndentEditor : testing::Editor {
    explicit IndentEditor(std::string_view text = {}) : Editor(text) { ctl.SetCaret(ctl.Length()); }

    std::uint32_t StateAt(int line) const {
        std::uint32_t state = kStateNormal;
        std::vector<ColorSpan> spans;
        for (int l = 0; l < line; ++l) {
            const std::string t = ctl.LineText(Line(l));
            if (!t.empty()) state = ColorizeLine(t, state, spans, ctl.GetEncoding());
        }
        return state;
    }

    void Keys(std::string_view keys) {
        for (char k : keys) {
            const auto c = static_cast<unsigned char>(k);
            plan = indenter.BeforeChar(ctl, c, [this](int line) { return StateAt(line); });
            session.TypeChar(c);
            indenter.AfterChar(session, plan);
        }
    }

    AutoIndenter indenter;
    CharPlan plan;
};

std::string AfterEnter(std::string_view line) {
    IndentEditor e(line);
    e.Keys("\r");
    return e.Text().substr(line.size() + 2);
}

TEST(AutoIndent, EnterCopiesTheIndentationAndAddsATabUnlessTheLineIsComplete) {
    EXPECT_EQ(AfterEnter("int main()"), "");
    EXPECT_EQ(AfterEnter("{"), "\t");
    EXPECT_EQ(AfterEnter("\tif (x) {"), "\t\t");
    EXPECT_EQ(AfterEnter("        if (x) {"), "\t\t\t");
    EXPECT_EQ(AfterEnter("      x = 1;"), "\t  ");
    EXPECT_EQ(AfterEnter("\t    x = 1;"), "\t\t");
    EXPECT_EQ(AfterEnter("  \tx = 1;"), "  \t");
    EXPECT_EQ(AfterEnter("\telse"), "\t\t");
    EXPECT_EQ(AfterEnter("case 1:"), "\t");
    EXPECT_EQ(AfterEnter("#include <stdio.h>"), "");
    EXPECT_EQ(AfterEnter("\tf(a,"), "\t");
    EXPECT_EQ(AfterEnter("// note /"), "");
    // Trailing white space goes before the test when the line does not begin with a blank...
    EXPECT_EQ(AfterEnter("x = 1;   "), "");
    EXPECT_EQ(AfterEnter("abc \t"), "\t");
    // ...and stays when it does, so the blank ends the line.
    EXPECT_EQ(AfterEnter("\tabc "), "\t");
    // A line of blanks only is copied as it is.
    EXPECT_EQ(AfterEnter("    "), "\t");
    // A double-byte character is judged by its trail byte: 0x83 0x7D ends in "}".
    EXPECT_EQ(AfterEnter("\x83\x7D"), "");
    EXPECT_EQ(AfterEnter("\x82\xA0"), "\t");

    IndentEditor e("\tabc;def");
    e.ctl.SetCaret(5); // after the ";"
    e.Keys("\r");
    EXPECT_EQ(e.Text(), "\tabc;\r\n\tdef");
    EXPECT_EQ(e.ctl.Caret(), 8);
    // The new line's indentation is one record of its own after the line break.
    ASSERT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.Last(), testing::Insertion(7, 8));
    e.Undo();
    EXPECT_EQ(e.Text(), "\tabc;\r\ndef");

    IndentEditor m("\tabc;def");
    m.ctl.SetCaret(4); // before the ";": only the text before the caret counts
    m.Keys("\r");
    EXPECT_EQ(m.Text(), "\tabc\r\n\t\t;def");
}

TEST(AutoIndent, TheFirst255BytesOrOnly254) {
    EXPECT_EQ(IndentPrefixLength(255), 255);
    EXPECT_EQ(IndentPrefixLength(256), 254);
    EXPECT_EQ(IndentPrefixLength(1000), 254);

    // Byte 255 is ";": seen with the caret 255 bytes in, cut off with the caret further on.
    const std::string line = "\t" + std::string(253, 'a') + ";" + "b";
    IndentEditor at255(line);
    at255.ctl.SetCaret(255);
    at255.Keys("\r");
    EXPECT_EQ(at255.plan.prefix.size(), 255u);
    EXPECT_EQ(at255.Text(), line.substr(0, 255) + "\r\n\tb");

    IndentEditor at256(line);
    at256.ctl.SetCaret(256);
    at256.Keys("\r");
    EXPECT_EQ(at256.plan.prefix.size(), 254u);
    EXPECT_EQ(at256.Text(), line + "\r\n\t\t");
}

TEST(AutoIndent, InsideAnOpenBlockCommentOnlyTheIndentationIsCopied) {
    EXPECT_EQ(AfterEnter("\t/* a comment"), "\t");
    EXPECT_EQ(AfterEnter("\t/* closed */ x"), "\t\t");

    // The comment opened on a line above.
    IndentEditor e("/*\r\n\tmore text");
    e.Keys("\r");
    EXPECT_EQ(e.Text(), "/*\r\n\tmore text\r\n\t");

    // Breaking a comment that closes later on the line: the new line begins inside it.
    IndentEditor m("/* abc def */");
    m.ctl.SetCaret(6);
    m.Keys("\r");
    EXPECT_EQ(m.Text(), "/* abc\r\n def */");
    // The comment closes before the caret: normal again.
    IndentEditor n("/* a */ b c");
    n.ctl.SetCaret(9);
    n.Keys("\r");
    EXPECT_EQ(n.Text(), "/* a */ b\r\n\t c");
}

TEST(AutoIndent, AClosingBraceFirstAfterEnterTakesOneIndentationByteBack) {
    IndentEditor e("\t\tfoo();");
    e.Keys("\r");
    EXPECT_EQ(e.Text(), "\t\tfoo();\r\n\t\t");
    e.Keys("}");
    EXPECT_EQ(e.Text(), "\t\tfoo();\r\n\t}");
    EXPECT_EQ(e.ctl.Caret(), static_cast<Offset>(e.Text().size()));
    // Typed brace, then the replacement of blank and brace by the brace: undone one by one.
    const std::size_t records = e.Undos();
    e.Undo();
    e.Undo();
    EXPECT_EQ(e.Text(), "\t\tfoo();\r\n\t\t}");
    EXPECT_EQ(records, 5u);

    // Enter, Tab, "}": the last character is the tab, no unindent.
    IndentEditor t("\t\tfoo();");
    t.Keys("\r\t}");
    EXPECT_EQ(t.Text(), "\t\tfoo();\r\n\t\t\t}");

    // A brace at the very start of the new line: nothing before it to take.
    IndentEditor z("x;");
    z.Keys("\r}");
    EXPECT_EQ(z.Text(), "x;\r\n}");

    // Only a blank is taken: after the caret was moved past a double-byte character (a move that
    // does not reset the last character), the brace stays beside it whole.
    IndentEditor d("x;\r\n\x82\xA0");
    d.ctl.SetCaret(4);
    d.Keys("\r");
    d.ctl.SetCaret(8);
    d.Keys("}");
    EXPECT_EQ(d.Text(), "x;\r\n\r\n\x82\xA0}");

    // A click or an arrow key resets the last character.
    IndentEditor r("\t\tfoo();");
    r.Keys("\r");
    r.indenter.ResetLastChar();
    r.Keys("}");
    EXPECT_EQ(r.Text(), "\t\tfoo();\r\n\t\t}");
}

TEST(AutoIndent, OffInsertsNothingAndSuspendsNothing) {
    IndentEditor e("\t{");
    e.indenter.SetEnabled(false);
    e.Keys("\r");
    EXPECT_FALSE(e.plan.suspendRedraw);
    e.Keys("}");
    EXPECT_EQ(e.Text(), "\t{\r\n}");
    EXPECT_EQ(e.indenter.LastChar(), static_cast<unsigned>('}'));

    IndentEditor on("\t{");
    on.Keys("\r");
    EXPECT_TRUE(on.plan.suspendRedraw);
    EXPECT_GE(on.scroll.scrolls, 1);
}

TEST(AutoIndent, TheHintWordIsTheTextAfterTheLastDelimiter) {
    IndentEditor e("\tprintf");
    e.Keys("(");
    EXPECT_TRUE(e.plan.showHint);
    EXPECT_EQ(e.plan.hintWord, "printf");

    IndentEditor d("x.printf");
    d.indenter.SetEnabled(false);
    d.Keys("(");
    EXPECT_EQ(d.plan.hintWord, "printf");

    EXPECT_EQ(HintWord("a = b+c"), "c");
    EXPECT_EQ(HintWord("foo"), "foo");
    EXPECT_EQ(HintWord("if ("), "");
    EXPECT_EQ(HintWord(""), "");
    // 0x83 0x7C has the trail byte "|": not a delimiter inside the character.
    EXPECT_EQ(HintWord("x.\x83\x7C"
                       "f"),
              "\x83\x7C"
              "f");

    // In UTF-8 あ ends in 0x82, yet the "|" after it is a delimiter; typed in a UTF-8 text.
    EXPECT_EQ(HintWord("x = あ|strlen", Encoding::Utf8), "strlen");
    IndentEditor u("x = あ|strlen");
    u.ctl.SetEncoding(Encoding::Utf8);
    u.Keys("(");
    EXPECT_EQ(u.plan.hintWord, "strlen");

    // Only the caret's line counts.
    IndentEditor l("a b\r\ncall");
    l.Keys("(");
    EXPECT_EQ(l.plan.hintWord, "call");

    IndentEditor n("abc");
    n.Keys("x");
    EXPECT_FALSE(n.plan.showHint);
}

} // namespace
} // namespace mireka
