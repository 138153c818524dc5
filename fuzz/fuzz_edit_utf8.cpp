// Edits UTF-8 text at random: typing, pasting (now and then a line long enough for the kept
// places of long lines), deleting, moving, clicking at cells and undoing. The caret and the anchor
// must never fall inside a character, and the caret's cell must equal a plain walk over the
// characters of its line.
#include "core/editor/EditSession.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using mireka::Encoding;

// Valid UTF-8 only, so that every boundary stays one whatever is typed beside it.
constexpr std::string_view kPieces[] = {"a", " ", "\t", "\r\n", "日", "😀", "é", "ｱ", "(", "x1"};

std::int64_t WalkCells(std::string_view line, std::size_t column, int tab) {
    std::int64_t cells = 0;
    for (std::size_t i = 0; i < column; i += mireka::chars::CharLength(Encoding::Utf8, line, i))
        cells +=
            line[i] == '\t' ? tab - cells % tab : mireka::chars::CharCells(Encoding::Utf8, line, i);
    return cells;
}

void CheckPlace(const mireka::EditSession& s, mireka::Offset pos) {
    const mireka::TextBuffer& b = s.Control().Buffer();
    const mireka::Line line = b.LineFromOffset(pos);
    const mireka::Offset start = b.LineStart(line);
    const std::string text = b.LineText(line);
    const auto column = static_cast<std::size_t>(pos - start);
    if (column > text.size()) return; // between CR and LF: a line end, never a character
    if (!mireka::chars::IsCharBoundary(Encoding::Utf8, text, column)) std::abort();
    if (static_cast<std::int64_t>(s.CellOf(pos)) != WalkCells(text, column, s.TabCells()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    mireka::EditSession session(data[0] % 7 + 2);
    session.SetEncoding(Encoding::Utf8);
    session.SetTabCells(data[1] % 8 + 1);
    mireka::TextControl& ctl = session.Control();
    for (std::size_t i = 2; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i];
        const std::uint8_t arg = data[i + 1];
        const bool extend = arg & 0x80;
        const std::string_view piece = kPieces[arg % std::size(kPieces)];
        const mireka::TextBuffer& b = ctl.Buffer();
        switch (op % 9) {
        case 0:
            session.TypeText(piece);
            break;
        case 1:
            session.TypeImeResult(std::string(piece) + std::string(kPieces[(arg / 16) % 10]));
            break;
        case 2:
            session.DeleteForward();
            break;
        case 3:
            session.DeleteBackward();
            break;
        case 4:
            (arg & 1) ? session.Undo() : session.Redo();
            break;
        case 5: {
            std::string text;
            const int copies = arg % 16 == 0 ? 30000 : arg % 7;
            for (int k = 0; k < copies; ++k)
                text += kPieces[(arg + k) % 5 + 4]; // no line breaks: one long line
            session.Paste(text);
            break;
        }
        case 6:
            session.Move(static_cast<mireka::CaretMove>(arg % 10), extend);
            break;
        case 7: {
            // A click at a cell of some line, as the mouse gives it.
            const mireka::Line line(arg % b.LineCount());
            session.MoveTo(session.OffsetAtCell(line, (arg % 37) * 0.7), extend);
            break;
        }
        default:
            if (arg & 1)
                session.SelectWordAt(
                    session.OffsetAtCell(mireka::Line(arg % b.LineCount()), (arg % 23) * 1.3));
            else
                session.SetTabCells(arg % 8 + 1);
            break;
        }
        b.CheckInvariant();
        CheckPlace(session, ctl.Caret());
        CheckPlace(session, ctl.Anchor());
    }
    return 0;
}
