// The chunked buffer against a plain string model.
#include "core/editor/TextBuffer.h"

#include "core/editor/TextControl.h"

#include <gtest/gtest.h>

#include <random>
#include <type_traits>

namespace mireka {
namespace {

// A line number and a byte offset are not interchangeable: the buffer's LineLength takes a line,
// the control's an offset, and a call with the other unit does not compile.
static_assert(!std::is_convertible_v<Line, Offset> && !std::is_convertible_v<int, Line>);
template <class Text, class Arg>
constexpr bool kLineLengthTakes = requires(const Text& t, Arg a) {
    t.LineLength(a);
};
template <class Text, class Arg>
constexpr bool kLineTextTakes = requires(const Text& t, Arg a) {
    t.LineText(a);
};
static_assert(kLineLengthTakes<TextBuffer, Line> && !kLineLengthTakes<TextBuffer, Offset>);
static_assert(kLineLengthTakes<TextControl, Offset> && !kLineLengthTakes<TextControl, Line>);
static_assert(kLineTextTakes<TextControl, Line> && !kLineTextTakes<TextControl, Offset>);

// Line starts and line ends computed the slow, obvious way.
struct Model {
    std::string s;
    std::vector<Offset> starts() const {
        std::vector<Offset> v{0};
        for (std::size_t i = 0; i < s.size(); ++i)
            if (s[i] == '\n') v.push_back(static_cast<Offset>(i + 1));
        return v;
    }
};

void ExpectSame(const TextBuffer& b, const Model& m) {
    b.CheckInvariant();
    ASSERT_EQ(b.Text(), m.s);
    const auto starts = m.starts();
    ASSERT_EQ(b.LineCount(), static_cast<int>(starts.size()));
    for (std::size_t l = 0; l < starts.size(); ++l) {
        ASSERT_EQ(b.LineStart(Line(static_cast<int>(l))), starts[l]) << "line " << l;
        Offset end = l + 1 < starts.size() ? starts[l + 1] - 1 : static_cast<Offset>(m.s.size());
        if (l + 1 < starts.size() && end > starts[l] &&
            m.s[static_cast<std::size_t>(end - 1)] == '\r')
            --end;
        ASSERT_EQ(b.LineEnd(Line(static_cast<int>(l))), end) << "line " << l;
    }
    for (Offset p = 0; p <= static_cast<Offset>(m.s.size()); ++p) {
        const auto line = std::upper_bound(starts.begin(), starts.end(), p) - starts.begin() - 1;
        ASSERT_EQ(b.LineFromOffset(p).Index(), line) << "offset " << p;
    }
}

TEST(TextBuffer, EmptyBufferHasOneEmptyLine) {
    TextBuffer b;
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.LineCount(), 1);
    EXPECT_EQ(b.LineStart(Line(0)), 0);
    EXPECT_EQ(b.LineStart(Line(1)), -1);
    EXPECT_EQ(b.LineStart(Line(-1)), -1);
    EXPECT_EQ(b.LineLength(Line(0)), 0);
    EXPECT_EQ(b.LineFromOffset(0).Index(), 0);
    b.CheckInvariant();
}

TEST(TextBuffer, LinesEndInCrLfAndTheLastLineHasNoBreak) {
    TextBuffer b(4);
    Model m{"ab\r\n\r\ncdef\r\n"};
    b.SetText(m.s);
    ExpectSame(b, m);
    EXPECT_EQ(b.LineCount(), 4);
    EXPECT_EQ(b.LineText(Line(0)), "ab");
    EXPECT_EQ(b.LineText(Line(1)), "");
    EXPECT_EQ(b.LineText(Line(2)), "cdef");
    EXPECT_EQ(b.LineLength(Line(3)), 0);
    EXPECT_EQ(b.LongestLineWatermark(), 4);
}

TEST(TextBuffer, EditsAcrossChunkBoundaries) {
    for (std::size_t cap : {2u, 3u, 5u, 8u}) {
        TextBuffer b(cap);
        Model m{"0123456789\r\nabcdefghij\r\nxyz"};
        b.SetText(m.s);
        ExpectSame(b, m);
        b.Insert(7, "\r\nNEW\r\n");
        m.s.insert(7, "\r\nNEW\r\n");
        ExpectSame(b, m);
        b.Erase(3, 20);
        m.s.erase(3, 17);
        ExpectSame(b, m);
        b.Erase(0, b.Length());
        m.s.clear();
        ExpectSame(b, m);
        b.Insert(0, "x");
        m.s = "x";
        ExpectSame(b, m);
    }
}

TEST(TextBuffer, RandomEditsMatchAStringModel) {
    std::mt19937 rng(12345);
    const std::string alphabet = "ab\r\n\n\x82\xa0 ";
    for (std::size_t cap : {2u, 4u, 7u, 64u}) {
        TextBuffer b(cap);
        Model m;
        for (int step = 0; step < 400; ++step) {
            const auto len = static_cast<Offset>(m.s.size());
            const int op = static_cast<int>(rng() % 3);
            if (op == 0 || len == 0) {
                std::string ins;
                const int n = static_cast<int>(rng() % (rng() % 8 == 0 ? 40 : 4)) + 1;
                for (int i = 0; i < n; ++i)
                    ins += alphabet[rng() % alphabet.size()];
                const Offset pos = static_cast<Offset>(rng() % (len + 1));
                b.Insert(pos, ins);
                m.s.insert(static_cast<std::size_t>(pos), ins);
            } else if (op == 1) {
                const Offset a = static_cast<Offset>(rng() % (len + 1));
                const Offset e = std::min<Offset>(len, a + static_cast<Offset>(rng() % 12));
                b.Erase(a, e);
                m.s.erase(static_cast<std::size_t>(a), static_cast<std::size_t>(e - a));
            } else {
                const Offset a = static_cast<Offset>(rng() % (len + 1));
                const Offset e = static_cast<Offset>(rng() % (len + 1));
                ASSERT_EQ(b.Text(std::min(a, e), std::max(a, e)),
                          m.s.substr(static_cast<std::size_t>(std::min(a, e)),
                                     static_cast<std::size_t>(std::abs(e - a))));
            }
            ExpectSame(b, m);
        }
    }
}

TEST(TextBuffer, OutOfRangeArgumentsAreClamped) {
    TextBuffer b(4);
    b.SetText("abc\r\ndef");
    b.Erase(-5, 2);
    EXPECT_EQ(b.Text(), "c\r\ndef");
    b.Erase(4, 100);
    EXPECT_EQ(b.Text(), "c\r\nd");
    b.Insert(100, "!");
    EXPECT_EQ(b.Text(), "c\r\nd!");
    EXPECT_EQ(b.Text(3, 1), "");
    EXPECT_EQ(b.LineFromOffset(999).Index(), 1);
    EXPECT_EQ(b.LineEnd(Line(7)), -1);
    EXPECT_EQ(b.LineLength(Line(7)), 0);
    b.CheckInvariant();
}

TEST(TextBuffer, ChunksStayBoundedUnderTyping) {
    TextBuffer b(16);
    std::string model;
    for (int i = 0; i < 1000; ++i) {
        b.Insert(b.Length() / 2, "x");
        model.insert(model.size() / 2, "x");
    }
    EXPECT_EQ(b.Text(), model);
    // Splits leave chunks at least a quarter full on average.
    EXPECT_LE(b.ChunkCount(), 1000u / 4u + 2u);
    for (int i = 0; i < 990; ++i)
        b.Erase(b.Length() / 2, b.Length() / 2 + 1);
    EXPECT_EQ(b.Length(), 10);
    EXPECT_LE(b.ChunkCount(), 2u);
    b.CheckInvariant();
}

TEST(TextBuffer, LongestLineWatermarkFollowsEdits) {
    TextBuffer b(8);
    b.SetText("a\r\nbbbb\r\ncc");
    EXPECT_EQ(b.LongestLineWatermark(), 4);
    b.Erase(1, 3); // joins "a" and "bbbb"
    EXPECT_EQ(b.LongestLineWatermark(), 5);
    b.Insert(b.Length(), std::string(20, 'z'));
    EXPECT_EQ(b.LongestLineWatermark(), 22);
}

} // namespace
} // namespace mireka

namespace mireka {
namespace {
TEST(TextBuffer, SetTextAcceptsAnEmptyViewWithoutData) {
    TextBuffer b(4);
    b.SetText("abc");
    b.SetText(std::string_view{});
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.LineCount(), 1);
    b.CheckInvariant();
}
} // namespace
} // namespace mireka
