// The undo history against a real text control: grouping, key deletions, replay, the ceiling,
// and random edit sequences checked against a plain string.
#include "UndoTestSupport.h"

#include "core/base/Dbcs.h"

#include <random>
#include <vector>

namespace mireka {
namespace {

using testing::Deletion;
using testing::Editor;
using testing::Insertion;

TEST(UndoHistory, TypedRunIsOneRecordAndReplaysWithTheTextMovingAcross) {
    Editor e;
    e.Type("abc");
    ASSERT_EQ(e.Undos(), 1u);
    EXPECT_EQ(e.Last(), Insertion(0, 3, true));

    e.Undo();
    EXPECT_EQ(e.Text(), "");
    EXPECT_EQ(e.ctl.Caret(), 0);
    EXPECT_FALSE(e.history.CanUndo());
    ASSERT_TRUE(e.history.CanRedo());
    // An undone insertion keeps the bytes that Redo will need.
    EXPECT_EQ(e.history.RedoList().back().text, "abc");
    EXPECT_GE(e.scroll.scrolls, 1);

    e.Redo();
    EXPECT_EQ(e.Text(), "abc");
    EXPECT_EQ(e.ctl.Caret(), 3);
    EXPECT_FALSE(e.ctl.HasSelection());
    EXPECT_FALSE(e.history.CanRedo());
    EXPECT_EQ(e.Last(), Insertion(0, 3, false));
}

TEST(UndoHistory, BlanksEndTheRunAndAreRecordsOfTheirOwn) {
    Editor e;
    e.Type("a b");
    ASSERT_EQ(e.Undos(), 3u);
    EXPECT_EQ(e.history.UndoList()[0], Insertion(0, 1, true));
    EXPECT_EQ(e.history.UndoList()[1], Insertion(1, 2, false));
    EXPECT_EQ(e.history.UndoList()[2], Insertion(2, 3, true));
    e.Undo();
    EXPECT_EQ(e.Text(), "a ");
    e.Undo();
    EXPECT_EQ(e.Text(), "a");
    e.Undo();
    EXPECT_EQ(e.Text(), "");

    Editor f;
    f.Type("int x");
    EXPECT_EQ(f.Undos(), 3u);
    f.Type("\t\t");
    EXPECT_EQ(f.Undos(), 5u);
    f.Type("yz");
    EXPECT_EQ(f.Undos(), 6u);
    EXPECT_EQ(f.Last(), Insertion(7, 9, true));
}

TEST(UndoHistory, CaretBackAtTheRunEndExtendsItElsewhereStartsANewOne) {
    Editor e;
    e.Type("ab");
    e.ctl.SetCaret(0);
    e.ctl.SetCaret(2);
    e.Type("c");
    ASSERT_EQ(e.Undos(), 1u);
    e.Undo();
    EXPECT_EQ(e.Text(), "");

    Editor f;
    f.Type("ab");
    f.ctl.SetCaret(1);
    f.Type("x");
    ASSERT_EQ(f.Undos(), 2u);
    EXPECT_EQ(f.Last(), Insertion(1, 2, true));
    f.Undo();
    EXPECT_EQ(f.Text(), "ab");
}

TEST(UndoHistory, BackspaceAfterALineBreakTakesCrLfAndUndoPutsTheCaretAfterIt) {
    Editor e("ab\r\ncd");
    e.ctl.SetCaret(4);
    e.Backspace();
    ASSERT_EQ(e.Undos(), 1u);
    EXPECT_EQ(e.Last(), Deletion(2, 4, "\r\n"));
    EXPECT_EQ(e.Text(), "abcd");
    EXPECT_EQ(e.ctl.Caret(), 2);

    const int scrolls = e.scroll.scrolls;
    e.Undo();
    EXPECT_EQ(e.Text(), "ab\r\ncd");
    EXPECT_EQ(e.ctl.Caret(), 4);
    EXPECT_FALSE(e.ctl.HasSelection());
    EXPECT_GT(e.scroll.scrolls, scrolls);
    // An undone deletion needs no text to be redone.
    EXPECT_EQ(e.history.RedoList().back().text, "");
    e.Redo();
    EXPECT_EQ(e.Text(), "abcd");
    EXPECT_EQ(e.Last(), Deletion(2, 4, "\r\n"));
}

TEST(UndoHistory, KeysAtTheEndsOfTheTextRecordNothingAndKeepRedo) {
    Editor e("ab");
    e.Type("x");
    e.Undo();
    ASSERT_EQ(e.Redos(), 1u);
    e.ctl.SetCaret(0);
    e.Backspace();
    e.ctl.SetCaret(2);
    e.Delete();
    EXPECT_EQ(e.Text(), "ab");
    EXPECT_EQ(e.Undos(), 0u);
    EXPECT_EQ(e.Redos(), 1u);

    Editor empty;
    empty.Backspace();
    empty.Delete();
    EXPECT_EQ(empty.Undos(), 0u);
}

TEST(UndoHistory, DeleteBeforeADoubleByteCharacterTakesBothBytesAndUndoLeavesTheCaretBefore) {
    Editor e("a\x82\xa0"
             "b");
    e.ctl.SetCaret(1);
    e.Delete();
    ASSERT_EQ(e.Undos(), 1u);
    EXPECT_EQ(e.Last(), Deletion(1, 3, "\x82\xa0", true));
    EXPECT_EQ(e.Text(), "ab");
    e.Undo();
    EXPECT_EQ(e.Text(), "a\x82\xa0"
                        "b");
    EXPECT_EQ(e.ctl.Caret(), 1);
    EXPECT_FALSE(e.ctl.HasSelection());

    e.ctl.SetCaret(3);
    e.Backspace();
    EXPECT_EQ(e.Last(), Deletion(1, 3, "\x82\xa0", false));
    e.Undo();
    EXPECT_EQ(e.ctl.Caret(), 3);
}

TEST(UndoHistory, BackspaceAndDeleteNeverSplitACharacter) {
    struct Case {
        std::string text;
        Offset caret;
        int key;
        std::string after;
    };
    const Case cases[] = {
        {"x\x83\x5c", 3, kKeyBackspace, "x"},               // trail byte equal to a backslash
        {"\x82\x82\x82", 3, kKeyBackspace, "\x82\x82"},     // a pair, then a lone lead at the end
        {"\x82\x82\x82\xa0", 4, kKeyBackspace, "\x82\x82"}, // two pairs
        {"\x82\r\nx", 0, kKeyDelete, "\r\nx"},              // a lead before CR LF stands alone
        {"\x82\r\nx", 1, kKeyDelete, "\x82x"},
        {"\x82\r\nx", 1, kKeyBackspace, "\r\nx"},
        {"\x82\r\nx", 3, kKeyBackspace, "\x82x"},
        {"a\x82", 1, kKeyDelete, "a"},    // a lead at the end of the text
        {"\nab", 1, kKeyBackspace, "ab"}, // a lone LF has no CR before it
        {"ab\r", 2, kKeyDelete, "ab"},    // nor a lone CR an LF after it
        {"\x82\xa0\x82\xa0\r\n\x82\xa0\x82\xa0", 10, kKeyBackspace, "\x82\xa0\x82\xa0\r\n\x82\xa0"},
        {"\x82\xa0\x82\xa0\r\n\x82\xa0\x82\xa0", 6, kKeyDelete, "\x82\xa0\x82\xa0\r\n\x82\xa0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text) + " at " + std::to_string(c.caret));
        Editor e(c.text);
        e.ctl.SetCaret(c.caret);
        if (c.key == kKeyBackspace)
            e.Backspace();
        else
            e.Delete();
        e.ctl.Buffer().CheckInvariant();
        EXPECT_EQ(e.Text(), c.after);
        ASSERT_EQ(e.Undos(), 1u);
        e.Undo();
        EXPECT_EQ(e.Text(), c.text);
        EXPECT_EQ(e.ctl.Caret(), c.caret);
    }
}

TEST(UndoHistory, AnyNewEditEmptiesRedo) {
    Editor e("q");
    e.Type("ab");
    e.Undo();
    ASSERT_TRUE(e.history.CanRedo());
    e.Type("x");
    EXPECT_FALSE(e.history.CanRedo());
    e.Redo();
    EXPECT_EQ(e.Text(), "xq");

    e.Undo();
    e.session.ReplaceSelWithUndo("y");
    EXPECT_FALSE(e.history.CanRedo());
    e.Undo();
    e.Delete();
    EXPECT_FALSE(e.history.CanRedo());
}

TEST(UndoHistory, TypingAfterRedoStartsANewRecord) {
    Editor e;
    e.Type("ab");
    e.Undo();
    e.Redo();
    EXPECT_EQ(e.ctl.Caret(), 2);
    e.Type("c");
    ASSERT_EQ(e.Undos(), 2u);
    e.Undo();
    EXPECT_EQ(e.Text(), "ab");
    e.Undo();
    EXPECT_EQ(e.Text(), "");
}

TEST(UndoHistory, ReplaceSelWithUndoRecordsWhatItChanges) {
    Editor e("hello");
    e.ctl.SetSel(3, 1); // the selection start is the smaller end
    e.session.ReplaceSelWithUndo("");
    ASSERT_EQ(e.Undos(), 1u);
    EXPECT_EQ(e.Last(), Deletion(1, 3, "el"));
    EXPECT_EQ(e.Text(), "hlo");

    e.session.ReplaceSelWithUndo("");
    EXPECT_EQ(e.Undos(), 1u);
    EXPECT_EQ(e.Text(), "hlo");

    e.ctl.SetSel(0, 2);
    e.session.ReplaceSelWithUndo("X\r\nY");
    ASSERT_EQ(e.Undos(), 3u);
    EXPECT_EQ(e.history.UndoList()[1], Deletion(0, 2, "hl"));
    EXPECT_EQ(e.history.UndoList()[2], Insertion(0, 4));
    EXPECT_EQ(e.Text(), "X\r\nYo");
    e.Undo();
    EXPECT_EQ(e.Text(), "o");
    e.Undo();
    EXPECT_EQ(e.Text(), "hlo");
    EXPECT_EQ(e.ctl.Caret(), 2);
    e.Undo();
    EXPECT_EQ(e.Text(), "hello");

    Editor f("abc");
    f.ctl.SetSel(1, 2);
    f.session.ClearSelWithUndo();
    EXPECT_EQ(f.Last(), Deletion(1, 2, "b"));
    f.session.ClearSelWithUndo();
    EXPECT_EQ(f.Undos(), 1u);
    EXPECT_EQ(f.Text(), "ac");
    f.session.ClearUndoHistory();
    EXPECT_FALSE(f.history.CanUndo());
    EXPECT_FALSE(f.history.CanRedo());
}

TEST(UndoHistory, AReplacementAsOneStepUndoesAndRedoesWhole) {
    Editor e("abc");
    e.Type("x"); // an earlier edit stays a step of its own
    e.ctl.SelectAll();
    e.session.ReplaceSelAsOneStep("XYZ");
    EXPECT_EQ(e.Text(), "XYZ");
    ASSERT_EQ(e.Undos(), 3u);
    EXPECT_TRUE(e.Last().joined);
    EXPECT_FALSE(e.history.UndoList()[1].joined);
    e.Undo();
    EXPECT_EQ(e.Text(), "xabc");
    EXPECT_EQ(e.Undos(), 1u);
    e.Redo();
    EXPECT_EQ(e.Text(), "XYZ");
    EXPECT_EQ(e.Redos(), 0u);
    e.Undo();
    e.Undo();
    EXPECT_EQ(e.Text(), "abc");
    e.Redo();
    EXPECT_EQ(e.Text(), "xabc") << "the earlier edit comes back alone";
    // Without a selection it is a plain insertion.
    e.ctl.SetCaret(0);
    e.session.ReplaceSelAsOneStep("1");
    EXPECT_FALSE(e.Last().joined);
    e.Undo();
    EXPECT_EQ(e.Text(), "xabc");
}

TEST(UndoHistory, ReachingTheCeilingDropsTheOldestHalf) {
    Editor e("", 7);
    e.Type("a b c ");
    EXPECT_EQ(e.Undos(), 6u);
    e.Type("d"); // the seventh record
    ASSERT_EQ(e.Undos(), 4u);
    EXPECT_EQ(e.history.UndoList().front(), Insertion(3, 4));
    EXPECT_EQ(e.Last(), Insertion(6, 7, true));
    e.Type("ef"); // merged: no new record
    e.Type(" g");
    EXPECT_EQ(e.Undos(), 6u);
    e.Type(" ");
    EXPECT_EQ(e.Undos(), 4u);

    while (e.history.CanUndo())
        e.Undo();
    EXPECT_EQ(e.Text(), "a b c ");
    while (e.history.CanRedo())
        e.Redo();
    EXPECT_EQ(e.Text(), "a b c def g ");
    EXPECT_EQ(e.Undos(), 4u);
}

// Reference rules for Backspace and Delete, judged by a forward scan over the whole text.
std::pair<std::size_t, std::size_t> ModelKeyRange(const std::string& s, std::size_t pos, int key) {
    // The character holding the byte at `i`: its start, and whether `i` begins it.
    auto charStart = [&s](std::size_t i) {
        std::size_t p = 0;
        while (p + dbcs::CharLength(s, p) <= i)
            p += dbcs::CharLength(s, p);
        return p;
    };
    if (key == kKeyBackspace) {
        if (pos == 0) return {0, 0};
        if (s[pos - 1] == '\n') return {pos >= 2 && s[pos - 2] == '\r' ? pos - 2 : pos - 1, pos};
        return {charStart(pos - 1), pos};
    }
    if (pos >= s.size()) return {pos, pos};
    if (s[pos] == '\r' && pos + 1 < s.size() && s[pos + 1] == '\n') return {pos, pos + 2};
    return {pos, charStart(pos) == pos ? pos + dbcs::CharLength(s, pos) : pos + 1};
}

void ExpectTextWhereItCanBeUsed(const UndoHistory& h) {
    for (const UndoRecord& r : h.UndoList())
        ASSERT_EQ(r.text.empty(), r.kind == UndoKind::Insertion);
    for (const UndoRecord& r : h.RedoList())
        ASSERT_EQ(r.text.empty(), r.kind == UndoKind::Deletion);
}

class RandomEdits {
public:
    explicit RandomEdits(unsigned seed) : rng_(seed) {}

    void Run(int steps) {
        const std::string start = Pieces(Pick(0, 6));
        Editor e(start);
        model_ = start;
        states_ = {model_};
        for (int i = 0; i < steps; ++i) {
            Step(e);
            ASSERT_NO_FATAL_FAILURE(Check(e));
        }
        while (e.history.CanUndo()) {
            e.Undo();
            ASSERT_EQ(e.Text(), states_[e.Undos()]);
        }
        ASSERT_EQ(e.Text(), start);
        while (e.history.CanRedo()) {
            e.Redo();
            ASSERT_EQ(e.Text(), states_[e.Undos()]);
        }
        // The steps may have ended in Undo; redoing everything reaches the newest text.
        ASSERT_EQ(e.Text(), states_.back());
        model_ = states_.back();
        ASSERT_NO_FATAL_FAILURE(Check(e));
    }

private:
    std::size_t Pick(std::size_t lo, std::size_t hi) {
        return std::uniform_int_distribution<std::size_t>(lo, hi)(rng_);
    }

    // Characters and fragments whose bytes test the boundaries: line breaks, pairs whose trail
    // is ASCII, 0x80 or lead-range, lone lead bytes, kana, blanks.
    std::string Piece() {
        static const char* const pieces[] = {
            "a",    "z",        "0",        " ",        "\t",       "\\",       "\x7f", "\xb1",
            "\r\n", "\x82\xa0", "\x83\x5c", "\x81\x80", "\x82\x82", "\xe0\x40", "\x82",
        };
        return pieces[Pick(0, std::size(pieces) - 1)];
    }
    std::string Pieces(std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += Piece();
        return s;
    }

    void Replace(std::size_t from, std::size_t to, const std::string& with) {
        model_.replace(from, to - from, with);
    }

    void Step(Editor& e) {
        const std::size_t before = e.Undos();
        const auto selStart = static_cast<std::size_t>(e.ctl.SelStart());
        const auto selEnd = static_cast<std::size_t>(e.ctl.SelEnd());
        std::string afterDeletion = model_;
        afterDeletion.erase(selStart, selEnd - selStart);
        switch (Pick(0, 13)) {
        case 0:
        case 1:
        case 2: { // a typed character, a double-byte one as two messages
            std::string bytes = Piece();
            // The keyboard delivers whole characters; Enter has a case of its own.
            if (bytes == "\r\n" || bytes == "\x82") bytes = "q";
            e.Type(bytes);
            Replace(selStart, selEnd, bytes);
            break;
        }
        case 3:
            e.Enter();
            Replace(selStart, selEnd, "\r\n");
            break;
        case 4:
        case 5: {
            const bool backspace = Pick(0, 1) == 0;
            const int key = backspace ? kKeyBackspace : kKeyDelete;
            const auto [from, to] = selStart != selEnd ? std::pair{selStart, selEnd}
                                                       : ModelKeyRange(model_, selStart, key);
            if (backspace)
                e.Backspace();
            else
                e.Delete();
            Replace(from, to, "");
            break;
        }
        case 6: { // the caret or a selection, anywhere, even inside a character
            const std::size_t a = Pick(0, model_.size());
            e.ctl.SetSel(static_cast<Offset>(a), Pick(0, 2) == 0
                                                     ? static_cast<Offset>(Pick(0, model_.size()))
                                                     : static_cast<Offset>(a));
            break;
        }
        case 7: {
            const std::string text = Pieces(Pick(0, 3));
            e.session.ReplaceSelWithUndo(text);
            Replace(selStart, selEnd, text);
            break;
        }
        case 8: {
            if (Pick(0, 4) == 0) {
                e.Paste(std::nullopt);
            } else {
                const std::string clip = Pieces(Pick(0, 4)) + (Pick(0, 5) == 0 ? "\n" : "");
                e.Paste(clip);
                Replace(selStart, selEnd, clip);
            }
            break;
        }
        case 9: {
            std::string result;
            for (std::size_t n = Pick(0, 3); n > 0; --n)
                result += Pick(0, 1) ? std::string("\x82\xa0") : Piece();
            e.Ime(result);
            if (!result.empty()) Replace(selStart, selEnd, result);
            break;
        }
        case 10:
            if (Pick(0, 1))
                e.Cut();
            else
                e.session.Clear();
            Replace(selStart, selEnd, "");
            break;
        case 11:
        case 12:
            e.Undo();
            model_ = states_[e.Undos()];
            return;
        case 13:
            e.Redo();
            model_ = states_[e.Undos()];
            return;
        }
        const std::size_t after = e.Undos();
        if (!e.history.CanRedo()) states_.resize(after + 1);
        if (after == before + 2) states_[before + 1] = afterDeletion;
        states_[after] = model_;
    }

    void Check(const Editor& e) {
        e.ctl.Buffer().CheckInvariant();
        ASSERT_EQ(e.Text(), model_);
        ASSERT_EQ(e.Undos() + e.Redos() + 1, states_.size());
        ASSERT_NO_FATAL_FAILURE(ExpectTextWhereItCanBeUsed(e.history));
    }

    std::mt19937 rng_;
    std::string model_;
    std::vector<std::string> states_; // states_[n]: the text while the undo list holds n records
};

TEST(UndoHistory, RandomEditsUndoToTheStartAndRedoToTheEnd) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomEdits(seed).Run(300);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

} // namespace
} // namespace mireka
