// The edit session's commands as scenarios: text before, commands, text after, with the caret
// marked | and the other end of a selection ^.
#include "core/editor/EditSession.h"
#include "core/base/Dbcs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace mireka {
namespace {

struct Marked {
    std::string text;
    Offset anchor = -1;
    Offset caret = 0;
};

// A marker byte right after a lead byte would be read as its trail byte; UTF-8 holds no ASCII
// byte inside a character.
Marked Unmark(std::string_view s, Encoding enc = Encoding::Cp932) {
    Marked m;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (enc == Encoding::Cp932 && dbcs::IsLeadByte(b) && i + 1 < s.size()) {
            m.text += s.substr(i++, 2);
        } else if (s[i] == '|') {
            m.caret = static_cast<Offset>(m.text.size());
        } else if (s[i] == '^') {
            m.anchor = static_cast<Offset>(m.text.size());
        } else {
            m.text += s[i];
        }
    }
    if (m.anchor < 0) m.anchor = m.caret;
    return m;
}

std::string Mark(const TextControl& ctl) {
    const std::string text = ctl.Text();
    std::string out;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const auto at = static_cast<Offset>(i);
        if (at == ctl.Anchor() && ctl.HasSelection()) out += '^';
        if (at == ctl.Caret()) out += '|';
        if (i < text.size()) out += text[i];
    }
    return out;
}

// Commands: S- and C- for Shift and Ctrl, a name, a number and a 'quoted' text (a text alone
// is typed).
void RunCommands(EditSession& s, std::string_view commands) {
    std::size_t i = 0;
    while (i < commands.size()) {
        if (commands[i] == ' ') {
            ++i;
            continue;
        }
        bool shift = false;
        bool ctrl = false;
        for (; commands.substr(i, 2) == "S-" || commands.substr(i, 2) == "C-"; i += 2)
            (commands[i] == 'S' ? shift : ctrl) = true;
        std::string name;
        for (; i < commands.size() && commands[i] >= 'a' && commands[i] <= 'z'; ++i)
            name += commands[i];
        long n = 0;
        if (i < commands.size() &&
            (commands[i] == '-' || (commands[i] >= '0' && commands[i] <= '9'))) {
            char* end = nullptr;
            n = std::strtol(commands.data() + i, &end, 10);
            i = static_cast<std::size_t>(end - commands.data());
        }
        std::string text;
        if (i < commands.size() && commands[i] == '\'') {
            const std::size_t end = commands.find('\'', i + 1);
            text = commands.substr(i + 1, end - i - 1);
            i = end + 1;
        }
        const auto at = static_cast<Offset>(n);
        const TextBuffer& b = s.Control().Buffer();
        if (name == "left")
            s.Move(ctrl ? CaretMove::WordLeft : CaretMove::CharLeft, shift);
        else if (name == "right")
            s.Move(ctrl ? CaretMove::WordRight : CaretMove::CharRight, shift);
        else if (name == "up")
            s.Move(CaretMove::LineUp, shift);
        else if (name == "down")
            s.Move(CaretMove::LineDown, shift);
        else if (name == "home")
            s.Move(ctrl ? CaretMove::TextStart : CaretMove::LineStart, shift);
        else if (name == "end")
            s.Move(ctrl ? CaretMove::TextEnd : CaretMove::LineEnd, shift);
        else if (name == "page")
            s.MovePage(static_cast<int>(n), shift);
        else if (name == "tabs")
            s.SetTabCells(static_cast<int>(n));
        else if (name == "click")
            s.MoveTo(at, shift);
        else if (name == "word")
            s.SelectWordAt(at);
        else if (name == "drag" || name == "wdrag")
            s.DragTo(at, name == "wdrag");
        else if (name == "all")
            s.SelectAll();
        else if (name.empty())
            s.TypeText(text);
        else if (name == "ime")
            s.TypeImeResult(text);
        else if (name == "bs")
            s.DeleteBackward();
        else if (name == "del")
            s.DeleteForward();
        else if (name == "paste")
            s.Paste(text);
        else if (name == "cut")
            s.Cut();
        else if (name == "clear")
            s.Clear();
        else if (name == "undo")
            s.Undo();
        else if (name == "redo")
            s.Redo();
        else if (name == "drop")
            s.MoveSelectionTo({b.LineFromOffset(at), at - b.LineStart(b.LineFromOffset(at))});
        else if (name == "insert")
            s.InsertAndSelect(at, text);
        else if (name == "ro")
            s.Control().SetReadOnly(true);
        else
            FAIL() << "unknown command " << name;
        b.CheckInvariant();
    }
}

struct Case {
    const char* name;
    const char* before;
    const char* commands;
    const char* after;
};

const Case kCases[] = {
    // Moves by characters, lines and words.
    {"a double-byte character with a backslash trail is one step", "|a\x95\x5cz\r\nxy",
     "right right", "a\x95\x5c|z\r\nxy"},
    {"CR LF is one step", "|a\x95\x5cz\r\nxy", "right right right right", "a\x95\x5cz\r\n|xy"},
    {"Left", "a\x95\x5cz\r\n|xy", "left", "a\x95\x5cz|\r\nxy"},
    {"Shift extends the selection", "a\x95\x5cz|\r\nxy", "S-left S-left", "a|\x95\x5cz^\r\nxy"},
    {"Right collapses a selection to its end", "a|\x95\x5cz^\r\nxy", "right", "a\x95\x5cz|\r\nxy"},
    {"Left collapses it to its start", "a^\x95\x5cz|\r\nxy", "left", "a|\x95\x5cz\r\nxy"},
    {"down to a short line ends at its end", "abcde|f\r\nab\r\nabcdefgh", "down",
     "abcdef\r\nab|\r\nabcdefgh"},
    {"the column comes back on a longer line", "abcde|f\r\nab\r\nabcdefgh", "down down",
     "abcdef\r\nab\r\nabcde|fgh"},
    {"Home, Shift+End", "abcde|f\r\nab\r\nabcdefgh", "down down home S-end",
     "abcdef\r\nab\r\n^abcdefgh|"},
    {"Ctrl+Home", "abcde|f\r\nab\r\nabcdefgh", "C-home", "|abcdef\r\nab\r\nabcdefgh"},
    {"Ctrl+End, Ctrl+Left", "abcde|f\r\nab\r\nabcdefgh", "C-end C-left",
     "abcdef\r\nab\r\n|abcdefgh"},
    {"typing forgets the column", "abcde|f\r\nab\r\nabcdefgh", "down 'x' down",
     "abcdef\r\nabx\r\nabc|defgh"},
    {"the column is counted in cells of the tab width", "\t|x\r\nab\x82\xa0z", "down",
     "\tx\r\nab\x82\xa0z|"},
    {"and never lands inside a double-byte character", "\t|x\r\nab\x82\xa0z", "tabs3 down up down",
     "\tx\r\nab\x82\xa0|z"},
    {"Up on the first line ends the selection", "^ab|c\r\nd", "up", "ab|c\r\nd"},
    {"a page down by the rows asked for keeps the column", "a|b\r\ncd\r\nef\r\ngh", "page2",
     "ab\r\ncd\r\ne|f\r\ngh"},
    {"pages stop at the last line", "a|b\r\ncd\r\nef\r\ngh", "page9", "ab\r\ncd\r\nef\r\ng|h"},
    {"and at the first, extending", "ab\r\ncd\r\ne|f\r\ngh", "S-page-5", "a|b\r\ncd\r\ne^f\r\ngh"},
    {"Ctrl+Right goes past blanks to the next word", "|int main(void) {", "C-right C-right",
     "int main|(void) {"},
    {"Ctrl+Left", "int main(void) {|", "C-left C-left", "int main(void|) {"},
    {"double-byte characters are words of their own", "|ab\x93\xfa\x96\x7bxy", "C-right C-right",
     "ab\x93\xfa\x96\x7b|xy"},
    {"Ctrl+Right at a line's end steps over the break", "ab|\r\ncd", "C-right", "ab\r\n|cd"},
    {"Ctrl+Left at a line's start", "ab\r\n|cd", "C-left", "ab|\r\ncd"},
    // The mouse.
    {"a click, a Shift+click", "alpha beta", "click2 S-click7", "al^pha b|eta"},
    {"a drag", "alpha beta", "click2 drag7", "al^pha b|eta"},
    {"a double-click selects the word", "|alpha beta gamma", "word8", "alpha ^beta| gamma"},
    {"a drag by words keeps the clicked word", "|alpha beta gamma", "word8 wdrag13",
     "alpha ^beta gamma|"},
    {"backwards too", "|alpha beta gamma", "word8 wdrag2", "|alpha beta^ gamma"},
    {"a drag inside the clicked word keeps the word", "|alpha beta gamma", "word8 wdrag7",
     "alpha ^beta| gamma"},
    {"a double-click on a trail byte", "gamma \x93\xfa\x96\x7b delta", "word7",
     "gamma ^\x93\xfa\x96\x7b| delta"},
    {"Select All", "a|b\r\nc", "all", "^ab\r\nc|"},
    // Typing.
    {"Backspace takes a double-byte character whole", "int x;\r\n\t\x82\xa0|", "bs",
     "int x;\r\n\t|"},
    {"and CR LF as one", "int x;\r\n\t\x82\xa0|", "bs bs bs", "int x;|"},
    {"Backspace at the start, Delete at the end", "|ab", "bs C-end del", "ab|"},
    {"Delete before CR LF removes both", "a\x95\x5cz|\r\nxy", "del", "a\x95\x5cz|xy"},
    {"typing replaces the selection", "^hello|", "'ab'", "ab|"},
    {"in two undo steps", "^hello|", "'ab' undo", "|"},
    {"both undone", "^hello|", "'ab' undo undo", "hello|"},
    {"both redone", "^hello|", "'ab' undo undo redo redo", "ab|"},
    {"Enter and a line feed break the line with CR LF", "a|b", "'\r' '\n'", "a\r\n\r\n|b"},
    {"a control character is not text", "a|b", "'\x01\x1b'", "a|b"},
    {"an input-method result is one insertion", "x|", "ime'\x93\xfa\x96\x7b'",
     "x\x93\xfa\x96\x7b|"},
    {"undone at once", "x|", "ime'\x93\xfa\x96\x7b' undo", "x|"},
    {"a read-only text refuses edits but selects", "a|b",
     "ro 'x' bs del ime'y' paste'z' cut clear S-right", "a^b|"},
    // The clipboard and drag and drop.
    {"paste replaces the selection", "a^bc|d", "paste'XY'", "aXY|d"},
    {"cut", "a^bc|d", "cut", "a|d"},
    {"cut undone", "a^bc|d", "cut undo", "abc|d"},
    {"clear", "a^bc|d", "clear", "a|d"},
    {"dragged text moves to the drop", "one ^two| three", "drop13", "one  three^two|"},
    {"before itself", "one two ^three|", "drop0", "^three|one two "},
    {"in two undo steps", "one ^two| three", "drop13 undo undo", "one two| three"},
    {"dropped onto itself only the caret moves", "one ^two| three", "drop5", "one t|wo three"},
    {"a drop from outside is inserted and selected", "ab^c|d", "insert1'XY'", "a^XY|bcd"},
};

// The same commands over UTF-8 text: あ and 日本語 take three bytes and two cells each, 😀 four
// bytes and two cells, é two bytes and à (whose second byte code page 932 would not take as
// text) one cell each.
const Case kUtf8Cases[] = {
    {"Right steps over a 3-byte character", "|aあz", "right right", "aあ|z"},
    {"and a 4-byte one", "|😀x", "right", "😀|x"},
    {"Left too", "a😀|x", "left", "a|😀x"},
    {"Shift+Left selects whole characters", "aあ😀|", "S-left S-left", "a|あ😀^"},
    {"Backspace takes a 4-byte character whole", "a😀|b", "bs", "a|b"},
    {"Delete a 3-byte one", "a|あb", "del", "a|b"},
    {"Backspace undone", "a😀|b", "bs undo", "a😀|b"},
    {"a wide character is two cells for the goal column", "ab|c\r\nあz", "down", "abc\r\nあ|z"},
    {"a 4-byte wide one too", "ab|c\r\n😀z", "down", "abc\r\n😀|z"},
    {"a narrow one is one cell", "ab|c\r\néz", "down", "abc\r\néz|"},
    {"and the column comes back", "ab|c\r\nあz\r\nabc", "down down", "abc\r\nあz\r\nab|c"},
    {"a double-click selects the run of wide characters", "int 日本語x;", "word5",
     "int ^日本語|x;"},
    {"Ctrl+Right stops after them", "|日本語x y", "C-right", "日本語|x y"},
    {"a narrow letter belongs to the word", "|voilà ça", "C-right", "voilà |ça"},
    {"typing inserts every byte of a character", "x|", "'à😀'", "xà😀|"},
    {"and Backspace takes it back whole", "x|", "'à😀' bs bs", "x|"},
    {"an input-method result is one insertion", "x|", "ime'日本' undo", "x|"},
};

TEST(EditSession, Utf8Commands) {
    for (const Case& c : kUtf8Cases) {
        SCOPED_TRACE(c.name);
        const Marked before = Unmark(c.before, Encoding::Utf8);
        EditSession s(4);
        s.SetEncoding(Encoding::Utf8);
        s.Control().SetText(before.text);
        s.Control().SetSel(before.anchor, before.caret);
        RunCommands(s, c.commands);
        EXPECT_EQ(Mark(s.Control()), c.after);
    }
}

TEST(EditSession, Commands) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Marked before = Unmark(c.before);
        EditSession s(4);
        s.Control().SetText(before.text);
        s.Control().SetSel(before.anchor, before.caret);
        RunCommands(s, c.commands);
        EXPECT_EQ(Mark(s.Control()), c.after);
    }
}

} // namespace
} // namespace mireka
