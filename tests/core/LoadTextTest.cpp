// Loading: line ends and the NUL cut.
#include "core/document/LoadText.h"

#include <gtest/gtest.h>

#include <memory>

namespace mireka {
namespace {

struct Loaded {
    std::string text;
    bool looksLikeUtf8 = false;
};

// The file `in` handed over in pieces of `piece` bytes (the last may be shorter).
Loaded Load(std::string_view in, std::size_t piece) {
    TextBuffer::Builder built(in.size(), 7);
    EditorTextLoader loader(built);
    for (std::size_t at = 0; at < in.size(); at += piece)
        if (!loader.Feed(in.substr(at, piece))) break;
    loader.Finish();
    EXPECT_FALSE(loader.TooLarge());
    TextBuffer b(7);
    b.SetText(std::move(built));
    b.CheckInvariant();
    return {b.Text(), loader.LooksLikeUtf8()};
}

// Every way of cutting the file into equal pieces gives the same text.
std::string LoadCutEveryWay(std::string_view in) {
    const std::string whole = Load(in, in.size() + 1).text;
    for (std::size_t piece = 1; piece <= in.size(); ++piece)
        EXPECT_EQ(Load(in, piece).text, whole) << "pieces of " << piece;
    return whole;
}

TEST(LoadText, EveryLineEndBecomesOneCrLf) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd"},
        {"\r\r\n", "\r\n\r\n"}, // CR CR LF is two line ends
        {"\n\r", "\r\n\r\n"},   // LF then CR: two, not one
        {"x\r", "x\r\n"},       // trailing lone CR
        {"\r\n\r\n", "\r\n\r\n"},
        {"", ""},
        // Trail bytes of double-byte characters are never line ends and stay as they are.
        {"\x95\x5c\n", "\x95\x5c\r\n"},
        // The text ends at the first NUL, even one right after a CR.
        {std::string_view("ab\ncd\0ef\n", 9), "ab\r\ncd"},
        {std::string_view("x\r\0\n", 4), "x\r\n"},
        {std::string_view("\0abc", 4), ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(LoadCutEveryWay(in), out) << in;
}

TEST(LoadText, UtfEightIsRecognisedAcrossPieces) {
    EXPECT_TRUE(Load("\xE3\x81\x82\r\n", 1).looksLikeUtf8);
    EXPECT_TRUE(Load("a\xF0\x9F\x98\x80", 2).looksLikeUtf8);
    EXPECT_FALSE(Load("plain\n", 3).looksLikeUtf8);    // nothing beyond ASCII
    EXPECT_FALSE(Load("\x82\xA0\n", 1).looksLikeUtf8); // Shift_JIS
    EXPECT_FALSE(Load("\xE3\x81", 1).looksLikeUtf8);   // cut at the end
    EXPECT_FALSE(Load(std::string_view("\xE3\x81\0\x82", 4), 1).looksLikeUtf8); // cut by NUL
}

// What the loader says of a file, cut into pieces every way, is what the whole bytes say, and a
// byte-order mark stays out of the text only where the bytes really are UTF-8.
TEST(LoadText, EncodingLineEndsAndMarkAgreeWithTheWholeBytes) {
    const std::string_view bom = kUtf8Bom;
    const std::pair<std::string, std::string> cases[] = {
        {"\xEF\xBB\xBF"
         "a\n\xE3\x81\x82\n",
         "a\r\n\xE3\x81\x82\r\n"},
        {"\xEF\xBB\xBF", ""},
        {"\xEF\xBB\xBF\x82\xA0\r\n", "\xEF\xBB\xBF\x82\xA0\r\n"}, // no UTF-8 after it
        {"\xEF\xBB", "\xEF\xBB"},                                 // the start of a mark only
        {"\xEF\xBBx", "\xEF\xBBx"},
        {"\xE3\x81\x82\r\n", "\xE3\x81\x82\r\n"},
        {"a\rb\nc", "a\r\nb\r\nc"}, // a lone CR says nothing
        {"a\r\nb\n", "a\r\nb\r\n"},
        {"ascii", "ascii"},
        {"\x82\xA0\n", "\x82\xA0\r\n"},
        {std::string("\xE3\x81\x82\0\x82\n", 6), "\xE3\x81\x82"},
    };
    for (const auto& [in, text] : cases) {
        for (const Encoding forAscii : {Encoding::Cp932, Encoding::Utf8}) {
            const DetectedEncoding whole = DetectEncoding(CutAtNul(in), forAscii);
            for (std::size_t piece = 1; piece <= in.size() + 1; ++piece) {
                SCOPED_TRACE(testing::Message() << in << " in pieces of " << piece);
                TextBuffer::Builder built(in.size(), 7);
                // As a document opens: without the mark, again with it when it was no mark.
                auto loader = std::make_unique<EditorTextLoader>(built, true);
                for (std::size_t at = 0; at < in.size(); at += piece)
                    if (!loader->Feed(std::string_view(in).substr(at, piece))) break;
                loader->Finish();
                const DetectedEncoding seen = loader->Detect(forAscii);
                EXPECT_EQ(seen.encoding, whole.encoding);
                EXPECT_EQ(seen.bom, whole.bom);
                EXPECT_EQ(loader->BomDropped(), in.starts_with(bom) && in.size() >= 3);
                EXPECT_EQ(loader->LineEndsSeen(), DetectLineEnds(CutAtNul(in)));
                if (!seen.bom && loader->BomDropped()) continue;
                TextBuffer b(7);
                b.SetText(std::move(built));
                EXPECT_EQ(b.Text(), text);
            }
        }
    }
}

TEST(LoadText, LongRandomMixesMatchASimpleModel) {
    // The byte-by-byte rule with a pending CR, written out plainly.
    auto model = [](const std::string& in) {
        std::string out;
        bool pending = false;
        for (char b : in) {
            if (pending) {
                out += "\r\n";
                if (b == '\n')
                    pending = false;
                else if (b == '\r')
                    pending = true;
                else {
                    out += b;
                    pending = false;
                }
            } else if (b == '\r')
                pending = true;
            else if (b == '\n')
                out += "\r\n";
            else
                out += b;
        }
        if (pending) out += "\r\n";
        return out;
    };
    unsigned seed = 7;
    for (int round = 0; round < 200; ++round) {
        std::string in;
        for (int i = 0; i < 60; ++i) {
            seed = seed * 1103515245u + 12345u;
            in += "ab\r\n\x82"[(seed >> 16) % 5];
        }
        EXPECT_EQ(Load(in, 1 + (seed >> 8) % 17).text, model(in)) << round;
    }
}

} // namespace
} // namespace mireka
