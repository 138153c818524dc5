// Find and replace: the start rules, double-byte stepping, replace-one and replace-all with their
// undo records, and a randomized comparison with a plain character-by-character search.
#include "UndoTestSupport.h"

#include "core/base/Dbcs.h"
#include "core/editor/FindReplace.h"

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace mireka {
namespace {

using testing::Editor;

struct NotFound {
    std::vector<std::string> calls;
    TextNotFoundHook Hook() {
        return [this](const std::string& find) { calls.push_back(find); };
    }
};

ByteRange Sel(const TextControl& ctl) {
    return {ctl.SelStart(), ctl.SelEnd()};
}

void ExpectSel(const TextControl& ctl, Offset start, Offset end) {
    EXPECT_EQ(ctl.SelStart(), start);
    EXPECT_EQ(ctl.SelEnd(), end);
}

TEST(FindReplace, DownStartsAtTheSelectionAndMovesOnFromAnOccurrence) {
    Editor e("abc abc ABC abc");
    // A caret inside an occurrence: the search starts there, so the occurrence is passed.
    e.ctl.SetCaret(1);
    ASSERT_TRUE(FindText(e.ctl, "abc", true, true));
    ExpectSel(e.ctl, 4, 7);
    EXPECT_EQ(e.ctl.Caret(), 7);
    // The selection equals the search text: one character on.
    ASSERT_TRUE(FindText(e.ctl, "abc", true, true));
    ExpectSel(e.ctl, 12, 15);
    // The last occurrence: nothing further, the selection stays.
    EXPECT_FALSE(FindText(e.ctl, "abc", true, true));
    ExpectSel(e.ctl, 12, 15);

    // Without case the upper-case occurrence counts, and a selection equal but for case is
    // passed as well.
    e.ctl.SetSel(4, 7);
    ASSERT_TRUE(FindText(e.ctl, "ABC", true, false));
    ExpectSel(e.ctl, 8, 11);
    ASSERT_TRUE(FindText(e.ctl, "abc", true, false));
    ExpectSel(e.ctl, 12, 15);

    // A selection that is not the search text: the search starts at its start.
    e.ctl.SetSel(4, 6);
    ASSERT_TRUE(FindText(e.ctl, "abc", true, true));
    ExpectSel(e.ctl, 4, 7);

    // An occurrence that would run past the end is no occurrence.
    e.ctl.SetCaret(13);
    EXPECT_FALSE(FindText(e.ctl, "abcd", true, false));
    EXPECT_FALSE(FindText(e.ctl, "", true, false));
    ExpectSel(e.ctl, 13, 13);
}

TEST(FindReplace, UpStartsOneCharacterBeforeTheSelectionAndFailsAtOffsetZero) {
    Editor e("abab");
    e.ctl.SetSel(0, 2);
    EXPECT_FALSE(FindText(e.ctl, "ab", false, true));
    ExpectSel(e.ctl, 0, 2);
    e.ctl.SetCaret(0);
    EXPECT_FALSE(FindText(e.ctl, "a", false, true));

    // The last occurrence beginning at or before one character before the selection start; it
    // may reach into the selection.
    e.ctl.SetCaret(3);
    ASSERT_TRUE(FindText(e.ctl, "ab", false, true));
    ExpectSel(e.ctl, 2, 4);
    ASSERT_TRUE(FindText(e.ctl, "ab", false, true));
    ExpectSel(e.ctl, 0, 2);
    // Never wraps.
    EXPECT_FALSE(FindText(e.ctl, "ab", false, true));
    ExpectSel(e.ctl, 0, 2);

    // One character before a double-byte character is its lead byte.
    Editor j("x\x82\xA0y");
    j.ctl.SetCaret(3);
    ASSERT_TRUE(FindText(j.ctl, "\x82\xA0", false, true));
    ExpectSel(j.ctl, 1, 3);
}

TEST(FindReplace, DoubleByteCharactersAreOneUnitAndTrailBytesAreNeverFolded) {
    // 0x83 0x41 and 0x83 0x61 are double-byte characters whose trail bytes are 'A' and 'a'.
    Editor e("\x83\x41\x83\x61 A");
    e.ctl.SetCaret(0);
    ASSERT_TRUE(FindText(e.ctl, "A", true, true));
    ExpectSel(e.ctl, 5, 6);
    e.ctl.SetCaret(0);
    ASSERT_TRUE(FindText(e.ctl, "a", true, false));
    ExpectSel(e.ctl, 5, 6);
    // A double-byte character compares exactly, also without case.
    e.ctl.SetCaret(0);
    ASSERT_TRUE(FindText(e.ctl, "\x83\x61", true, false));
    ExpectSel(e.ctl, 2, 4);
    // Upwards a trail byte does not start a match either.
    e.ctl.SetCaret(6);
    ASSERT_TRUE(FindText(e.ctl, "a", false, false));
    ExpectSel(e.ctl, 5, 6);
    EXPECT_FALSE(FindText(e.ctl, "a", false, false));
    // The second byte of one character and the first of the next do not make a match.
    e.ctl.SetCaret(0);
    EXPECT_FALSE(FindText(e.ctl, "\x41\x83", true, true));
    // A lone lead byte in the search text does not take half of a character.
    EXPECT_FALSE(FindText(e.ctl, "\x83", true, true));

    // Full-width letters compare exactly: Ａ (0x82 0x60) is not ａ (0x82 0x81).
    Editor w("\x82\x81");
    EXPECT_FALSE(FindText(w.ctl, "\x82\x60", true, false));
}

TEST(FindReplace, Utf8MatchesOnlyWholeCharactersAndFoldsEveryAsciiLetter) {
    // あ is E3 81 82: code page 932 would pair 82 with a following letter.
    struct Case {
        const char* text;
        const char* find;
        bool matchCase;
        std::optional<ByteRange> hit;
    };
    const Case cases[] = {
        {"xあA", "あa", false, ByteRange{1, 5}},      {"xあA", "あa", true, std::nullopt},
        {"あx\x82x", "\x82x", true, ByteRange{4, 6}}, // a stray byte, never the tail of あ
        {"あ", "\xE3\x81", true, std::nullopt},       // nor the head
        {"日本語", "本", true, ByteRange{3, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Editor e(c.text);
        e.ctl.SetEncoding(Encoding::Utf8);
        e.ctl.SetCaret(0);
        if (FindText(e.ctl, c.find, true, c.matchCase)) {
            ASSERT_TRUE(c.hit);
            ExpectSel(e.ctl, c.hit->start, c.hit->end);
        } else {
            EXPECT_FALSE(c.hit);
        }
        // Upwards the same occurrence, from the text's end.
        const auto up =
            SearchText(e.ctl.Buffer(), c.find, e.ctl.Length(), false, c.matchCase, Encoding::Utf8);
        EXPECT_EQ(up.has_value(), c.hit.has_value());
        if (up && c.hit) {
            EXPECT_EQ(up->start, c.hit->start);
        }
    }
}

TEST(FindReplace, SameAsSelectedComparesTheWholeSelection) {
    Editor e("Hello hello");
    e.ctl.SetSel(0, 5);
    EXPECT_TRUE(SameAsSelected(e.ctl, "Hello", true));
    EXPECT_TRUE(SameAsSelected(e.ctl, "hELLO", false));
    EXPECT_FALSE(SameAsSelected(e.ctl, "hello", true));
    EXPECT_FALSE(SameAsSelected(e.ctl, "Hell", false));
    e.ctl.SetSel(0, 4);
    EXPECT_FALSE(SameAsSelected(e.ctl, "Hello", false));
}

TEST(FindReplace, FindNextStoresTheSettingsAndReportsAFailure) {
    Editor e("one two one");
    FindReplaceState st;
    NotFound nf;
    OnFindNext(e.ctl, st, "one", true, false, nf.Hook());
    ExpectSel(e.ctl, 0, 3);
    OnFindNext(e.ctl, st, "one", true, false, nf.Hook());
    ExpectSel(e.ctl, 8, 11);
    EXPECT_TRUE(nf.calls.empty());
    OnFindNext(e.ctl, st, "one", true, false, nf.Hook());
    ExpectSel(e.ctl, 8, 11);
    ASSERT_EQ(nf.calls.size(), 1u);
    EXPECT_EQ(nf.calls[0], "one");

    OnFindNext(e.ctl, st, "TWO", false, true, nf.Hook());
    EXPECT_EQ(st.findText, "TWO");
    EXPECT_FALSE(st.searchDown);
    EXPECT_TRUE(st.matchCase);
    EXPECT_EQ(nf.calls.size(), 2u);

    // Repeat uses the stored settings and is enabled only with a text and a search text.
    st.matchCase = false;
    EXPECT_TRUE(CanRepeatFind(e.ctl, st));
    EXPECT_TRUE(RepeatFind(e.ctl, st, nf.Hook()));
    ExpectSel(e.ctl, 4, 7);
    EXPECT_FALSE(RepeatFind(e.ctl, st, nf.Hook()));
    EXPECT_EQ(nf.calls.size(), 3u);
    st.findText.clear();
    EXPECT_FALSE(CanRepeatFind(e.ctl, st));
    Editor empty;
    st.findText = "x";
    EXPECT_FALSE(CanRepeatFind(empty.ctl, st));
}

TEST(FindReplace, ReplaceOnACaretOnlyFindsThenReplacesAndSelectsTheNext) {
    Editor e("cat dog cat dog");
    FindReplaceState st;
    NotFound nf;
    OnReplaceSel(e.session, st, "dog", true, true, "bird", nf.Hook());
    EXPECT_EQ(e.Text(), "cat dog cat dog");
    ExpectSel(e.ctl, 4, 7);
    EXPECT_EQ(e.Undos(), 0u);

    OnReplaceSel(e.session, st, "dog", true, true, "bird", nf.Hook());
    EXPECT_EQ(e.Text(), "cat bird cat dog");
    ExpectSel(e.ctl, 13, 16);
    ASSERT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.history.UndoList()[0], testing::Deletion(4, 7, "dog"));
    EXPECT_EQ(e.history.UndoList()[1], testing::Insertion(4, 8));

    // The last one: replaced, and the silent follow-up search leaves the caret after it.
    OnReplaceSel(e.session, st, "dog", true, true, "bird", nf.Hook());
    EXPECT_EQ(e.Text(), "cat bird cat bird");
    ExpectSel(e.ctl, 17, 17);
    EXPECT_TRUE(nf.calls.empty());
    EXPECT_EQ(st.replaceText, "bird");

    // Nothing left to find: the press reports it and changes nothing.
    OnReplaceSel(e.session, st, "dog", true, true, "bird", nf.Hook());
    EXPECT_EQ(nf.calls.size(), 1u);
    EXPECT_EQ(e.Undos(), 4u);

    e.Undo();
    e.Undo();
    EXPECT_EQ(e.Text(), "cat bird cat dog");
}

TEST(FindReplace, ReplaceAllRunsFromTheCurrentOccurrenceToTheEnd) {
    Editor e("x-x-x-x-x");
    FindReplaceState st;
    st.searchDown = false;
    NotFound nf;
    e.ctl.SetCaret(3);
    EXPECT_EQ(OnReplaceAll(e.session, st, "X", "yy", false, nf.Hook()), 3u);
    EXPECT_EQ(e.Text(), "x-x-yy-yy-yy");
    EXPECT_TRUE(st.searchDown);
    EXPECT_EQ(e.Undos(), 6u); // a deletion and an insertion each
    EXPECT_EQ(e.ctl.Caret(), 12);
    EXPECT_TRUE(nf.calls.empty());
    for (int i = 0; i < 6; ++i)
        e.Undo();
    EXPECT_EQ(e.Text(), "x-x-x-x-x");

    // An empty replacement costs one record each.
    Editor d("aXbXc");
    d.ctl.SetSel(1, 2);
    EXPECT_EQ(OnReplaceAll(d.session, st, "X", "", true, nf.Hook()), 2u);
    EXPECT_EQ(d.Text(), "abc");
    ASSERT_EQ(d.Undos(), 2u);
    EXPECT_EQ(d.history.UndoList()[0], testing::Deletion(1, 2, "X"));
    EXPECT_EQ(d.history.UndoList()[1], testing::Deletion(2, 3, "X"));

    // A replacement containing the search text is not searched again.
    Editor g("a a");
    EXPECT_EQ(OnReplaceAll(g.session, st, "a", "aa", true, nf.Hook()), 2u);
    EXPECT_EQ(g.Text(), "aa aa");

    // Nothing from the caret on: reported, nothing recorded.
    Editor n("abc");
    n.ctl.SetCaret(1);
    EXPECT_EQ(OnReplaceAll(n.session, st, "a", "b", true, nf.Hook()), 0u);
    EXPECT_EQ(n.Text(), "abc");
    EXPECT_EQ(n.Undos(), 0u);
    EXPECT_EQ(nf.calls.size(), 1u);
}

TEST(FindReplace, ReplaceAllKeepsDoubleByteCharactersWhole) {
    // Trail bytes equal to the search text are not occurrences, so no character is cut.
    Editor e("\x83\x41"
             "A\x83\x41"
             "A");
    FindReplaceState st;
    EXPECT_EQ(OnReplaceAll(e.session, st, "A", "b", true, {}), 2u);
    EXPECT_EQ(e.Text(), "\x83\x41"
                        "b\x83\x41"
                        "b");
}

// The reference: every character boundary in turn, characters compared one by one.
std::vector<bool> Boundaries(const std::string& t) {
    std::vector<bool> b(t.size() + 1, false);
    for (std::size_t i = 0; i < t.size(); i += dbcs::CharLength(t, i))
        b[i] = true;
    b[t.size()] = true;
    return b;
}

bool CharsEqual(std::string_view a, std::string_view f, bool matchCase) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < f.size()) {
        const std::size_t na = dbcs::CharLength(a, i);
        const std::size_t nf = dbcs::CharLength(f, j);
        if (na != nf) return false;
        if (na == 1 && !matchCase) {
            auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
            if (fold(a[i]) != fold(f[j])) return false;
        } else if (a.substr(i, na) != f.substr(j, nf)) {
            return false;
        }
        i += na;
        j += nf;
    }
    return i == a.size() && j == f.size();
}

std::optional<Offset> NaiveSearch(const std::string& t, const std::vector<bool>& bounds,
                                  const std::string& f, Offset from, bool down, bool matchCase) {
    const auto n = static_cast<Offset>(f.size());
    const auto len = static_cast<Offset>(t.size());
    auto at = [&](Offset p) {
        return bounds[static_cast<std::size_t>(p)] && bounds[static_cast<std::size_t>(p + n)] &&
               CharsEqual(std::string_view(t).substr(static_cast<std::size_t>(p), f.size()), f,
                          matchCase);
    };
    if (down) {
        for (Offset p = std::max<Offset>(from, 0); p + n <= len; ++p)
            if (at(p)) return p;
    } else {
        for (Offset p = std::min(from, len - n); p >= 0; --p)
            if (at(p)) return p;
    }
    return std::nullopt;
}

std::string RandomText(std::mt19937& rng, int pieces) {
    // Trail bytes that equal ASCII letters, lead-range trail bytes, kana, line breaks.
    static const char* const kPieces[] = {
        "a",        "A",    "b",    "B", "\x83\x41", "\x83\x61", "\x83\x42", "\x88\x9F",
        "\x9F\x81", "\xB1", "\r\n", " ", "\x82\xA0", "\x81\x40", "ab",       "\x83"};
    std::uniform_int_distribution<int> pick(0, 15);
    std::string t;
    for (int i = 0; i < pieces; ++i)
        t += kPieces[pick(rng)];
    return t;
}

void CompareWithNaive(std::mt19937& rng, int textPieces, int queries, std::size_t chunk) {
    const std::string t = RandomText(rng, textPieces);
    const std::vector<bool> bounds = Boundaries(t);
    TextControl ctl(chunk);
    ctl.SetText(t);
    std::uniform_int_distribution<int> len(1, 4);
    std::uniform_int_distribution<Offset> pos(0, static_cast<Offset>(t.size()));
    for (int q = 0; q < queries; ++q) {
        std::string f;
        if (q % 2 == 0) {
            const Offset p = pos(rng);
            f = t.substr(static_cast<std::size_t>(p), static_cast<std::size_t>(len(rng)));
        } else {
            f = RandomText(rng, len(rng));
        }
        if (f.empty()) continue;
        const bool down = rng() % 2 == 0;
        const bool matchCase = rng() % 2 == 0;
        const Offset from = pos(rng);
        const std::optional<ByteRange> got = SearchText(ctl.Buffer(), f, from, down, matchCase);
        const std::optional<Offset> want = NaiveSearch(t, bounds, f, from, down, matchCase);
        ASSERT_EQ(got.has_value(), want.has_value())
            << "from " << from << " down " << down << " case " << matchCase;
        if (got) {
            EXPECT_EQ(got->start, *want);
            EXPECT_EQ(got->end, *want + static_cast<Offset>(f.size()));
        }
    }
}

TEST(FindReplace, RandomSearchesAgreeWithACharacterByCharacterSearch) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round)
        CompareWithNaive(rng, 40, 30, 5);
    // Texts longer than the scan windows, so that occurrences straddle them.
    for (int round = 0; round < 6; ++round)
        CompareWithNaive(rng, 12000, 150, 64);
}

TEST(FindReplace, FindTextAgreesWithTheReferenceFromRandomSelections) {
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        const std::string t = RandomText(rng, 30);
        const std::vector<bool> bounds = Boundaries(t);
        Editor e(t);
        std::uniform_int_distribution<Offset> pos(0, static_cast<Offset>(t.size()));
        const std::string f = RandomText(rng, 1 + static_cast<int>(rng() % 2));
        const bool down = rng() % 2 == 0;
        const bool matchCase = rng() % 2 == 0;
        Offset s = pos(rng);
        while (!bounds[static_cast<std::size_t>(s)])
            --s;
        Offset x =
            std::min<Offset>(s + static_cast<Offset>(rng() % 4), static_cast<Offset>(t.size()));
        while (!bounds[static_cast<std::size_t>(x)])
            --x;
        e.ctl.SetSel(s, x);

        std::optional<Offset> want;
        if (down) {
            Offset from = s;
            if (x > s && CharsEqual(std::string_view(t).substr(static_cast<std::size_t>(s),
                                                               static_cast<std::size_t>(x - s)),
                                    f, matchCase))
                from = s + static_cast<Offset>(dbcs::CharLength(t, static_cast<std::size_t>(s)));
            want = NaiveSearch(t, bounds, f, from, true, matchCase);
        } else if (s > 0) {
            Offset from = s - 1;
            while (!bounds[static_cast<std::size_t>(from)])
                --from;
            want = NaiveSearch(t, bounds, f, from, false, matchCase);
        }
        const ByteRange before = Sel(e.ctl);
        ASSERT_EQ(FindText(e.ctl, f, down, matchCase), want.has_value());
        if (want) {
            ExpectSel(e.ctl, *want, *want + static_cast<Offset>(f.size()));
        } else {
            ExpectSel(e.ctl, before.start, before.end);
        }
    }
}

} // namespace
} // namespace mireka
