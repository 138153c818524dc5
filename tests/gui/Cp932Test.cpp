// The bridge between the editor's code page 932 bytes and Qt's text: every byte keeps its
// meaning across the clipboard, and what cannot cross is named.
#include "gui/editor/Cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace mireka {
namespace {

TEST(Cp932, BytesDecodeToTheirOwnCharactersAndUndefinedOnesToTheReplacement) {
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"\x1a\x1c\x7f\t", u"\x1a\x1c\x7f\t"}, // control bytes are themselves
        {"\x82\xa0\xb1\\~", u"\u3042\uff71\\~"},
        {"\x80\xa0\xfd\xfe\xff", u"\ufffd\ufffd\ufffd\ufffd\ufffd"},
        {"\x81 ", u"\ufffd "},   // a lead byte without a trail
        {"a\x81", u"a\ufffd"},   // and at the end
        {"\x85\x40", u"\ufffd"}, // a pair the code page leaves empty
    };
    for (const auto& c : cases) {
        const QString text = cp932::Decode(c.bytes);
        EXPECT_EQ(text, QString::fromStdU16String(c.text)) << c.bytes;
        // What decodes without a replacement comes back as the same bytes.
        std::string back;
        if (!text.contains(QChar(0xFFFD))) {
            ASSERT_TRUE(cp932::Encode(text, back)) << c.bytes;
            EXPECT_EQ(back, c.bytes);
        }
    }
}

TEST(Cp932, HalfASurrogatePairOrAnUnknownCharacterIsNamed) {
    const struct {
        std::u16string text;
        qsizetype at;
        std::u16string bad;
    } cases[] = {
        {u"a\xd800", 1, u"\xd800"},
        {u"\xd800x", 0, u"\xd800"},
        {u"ab\xdc00", 2, u"\xdc00"},
        {u"\u3042\U0001F600", 1, u"\U0001F600"},
        {u"x\ufffd", 1, u"\ufffd"},
        {u"\u3042\uf86f", 1, u"\uf86f"}, // the codec would write "№" for it
    };
    for (const auto& c : cases) {
        std::string out = "untouched";
        QString bad;
        qsizetype at = -1;
        EXPECT_FALSE(cp932::Encode(QString::fromStdU16String(c.text), out, &bad, &at));
        EXPECT_EQ(at, c.at);
        EXPECT_EQ(bad, QString::fromStdU16String(c.bad));
    }
}

} // namespace
} // namespace mireka
