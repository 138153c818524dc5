// The HTML listing, byte for byte.
#include "core/document/HtmlExport.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

const EditorColours kDefault; // blue keywords, dark red comments, teal strings, black on white

// The body between "<pre>" and "</pre>".
std::string Body(std::string_view text, int tabWidth = 4, Encoding enc = Encoding::Cp932) {
    const std::string html = MakeHtmlListing(text, kDefault, tabWidth, "t", enc);
    const std::size_t start = html.find("<pre>") + 5;
    return html.substr(start, html.rfind("</pre>") - start);
}

const std::string K = "<font color=\"#0000ff\">";
const std::string C = "<font color=\"#c00000\">";
const std::string S = "<font color=\"#008080\">";
const std::string E = "</font>";

TEST(HtmlExport, TheFileLayout) {
    EditorColours colours;
    colours.background = 0x102030; // 0x00BBGGRR
    colours.text = 0x0000FF;
    EXPECT_EQ(MakeHtmlListing("x", colours, 4, "a<b>&c.c"),
              "<html>\r\n<head>\r\n"
              "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=Shift_JIS\">\r\n"
              "<meta name=\"GENERATOR\" content=\"Mireka\">\r\n"
              "<title>a&lt;b&gt;&amp;c.c</title>\r\n"
              "</head>\r\n<body bgcolor=\"#302010\" text=\"#ff0000\">\r\n"
              "<pre>x</pre>\r\n</body>\r\n</html>");
    EXPECT_NE(MakeHtmlListing("", colours, 4, "").find("<title></title>"), std::string::npos);
    EXPECT_EQ(HtmlColour(0xFF0000), "#0000ff");
}

TEST(HtmlExport, TheLexerRulesOfTheListing) {
    struct Case {
        const char* text;
        std::string body;
    };
    const Case cases[] = {
        {"int a;", K + "int" + E + " a;"},
        {"s = \"a\\\"b\";", "s = " + S + "&quot;a\\&quot;b&quot;" + E + ";"},
        {"x; // note\r\ny", "x; " + C + "// note" + E + "\r\ny"},
        {"/* a", C + "/* a"}, // the tag stays open at the end
        {"/* a */int", C + "/* a */" + E + K + "int" + E},
        {"a<b&&c>d", "a&lt;b&amp;&amp;c&gt;d"},
        {"'\"' x", S + "'&quot;'" + E + " x"}, // a quote inside the other literal
        {"\"a\r\nb\" int", S + "&quot;a\r\nb&quot;" + E + " " + K + "int" + E}, // runs on
        {"return\"x\"", "return" + S + "&quot;x&quot;" + E}, // no keyword before a quote
        {"sizeof*p", K + "sizeof" + E + "*p"},
        {"char*p", K + "char" + E + "*p"},
        {"/int x", "/" + K + "int" + E + " x"},
        {"#include<stdio.h>", K + "#include" + E + "&lt;stdio.h&gt;"},
        {"a\\\\\"", "a\\\\" + S + "&quot;"}, // an escaped backslash cannot escape the quote
        {"int\x82\xa0", "int\x82\xa0"},      // a double-byte character after a keyword
        {"\x95\x5c\"x\"", "\x95\x5c" + S + "&quot;x&quot;" + E}, // 表: trail byte 0x5C
        {"while", K + "while" + E},                              // at the end of the text
    };
    for (const Case& c : cases)
        EXPECT_EQ(Body(c.text), c.body) << c.text;
}

TEST(HtmlExport, TabsExpandByByteColumns) {
    EXPECT_EQ(Body("ab\tc"), "ab  c");
    EXPECT_EQ(Body("\tc"), "    c");
    EXPECT_EQ(Body("\x82\xa0\tc"), "\x82\xa0  c") << "a double-byte character counts two";
    EXPECT_EQ(Body("a\tb\tc", 8), "a       b       c");
    EXPECT_EQ(Body("x\r\n\ty"), "x\r\n    y") << "the column restarts on each line";
}

TEST(HtmlExport, AUtf8PageDeclaresItsCharsetAndCountsCells) {
    const std::string html = MakeHtmlListing("x", kDefault, 4, "<日本>.c", Encoding::Utf8);
    EXPECT_NE(html.find("content=\"text/html;charset=UTF-8\""), std::string::npos);
    EXPECT_NE(html.find("<title>&lt;日本&gt;.c</title>"), std::string::npos);
    const Encoding u = Encoding::Utf8;
    EXPECT_EQ(Body("日\tc", 4, u), "日  c") << "a wide character counts two";
    EXPECT_EQ(Body("é\tc", 4, u), "é   c") << "a narrow one counts one";
    EXPECT_EQ(Body("😀😀\tc", 4, u), "😀😀    c");
    EXPECT_EQ(Body("\"日\" int", 4, u), S + "&quot;日&quot;" + E + " " + K + "int" + E);
}

TEST(HtmlExport, LongWordsAndBinaryBytesPassThrough) {
    const std::string word(600, 'w');
    EXPECT_EQ(Body(word), word);
    // A word is cut after 255 bytes: what follows is a word of its own, and may be a keyword.
    const std::string w254(254, 'w'), w255(255, 'w');
    EXPECT_EQ(Body(w255 + "int"), w255 + K + "int" + E);
    EXPECT_EQ(Body(w254 + "int"), w254 + "int");
    std::string binary;
    for (int b = 1; b < 256; ++b)
        if (b != '\r') binary += static_cast<char>(b);
    const std::string body = Body(binary);
    // Every "<" is a tag's: "&", "<" and ">" of the text are escaped.
    for (std::size_t at = body.find('<'); at != std::string::npos; at = body.find('<', at + 1))
        EXPECT_TRUE(body.compare(at, 5, "<font") == 0 || body.compare(at, 7, "</font>") == 0) << at;
    EXPECT_NE(body.find("&lt;"), std::string::npos);
}

} // namespace
} // namespace mireka
