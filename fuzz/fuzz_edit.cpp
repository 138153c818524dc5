// Loads arbitrary bytes as a file, then replays keys, moves, pastes, undos and redos taken from
// the input; the buffer must stay consistent and undoing everything must give the loaded text.
#include "core/document/LoadText.h"
#include "core/editor/EditSession.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t split = data[0] % (size - 1) + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), split - 1);
    mireka::EditSession session(data[1] % 7 + 2);
    mireka::TextControl& ctl = session.Control();
    // Loaded as the program reads a file, in pieces; pieces of another size give the same text.
    auto load = [&](std::size_t piece) {
        mireka::TextBuffer::Builder built(bytes.size(), ctl.Buffer().ChunkCapacity());
        mireka::EditorTextLoader loader(built);
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            if (!loader.Feed(bytes.substr(at, piece))) break;
        loader.Finish();
        return built;
    };
    ctl.SetText(load(data[1] % 5 + 1));
    const std::string file = ctl.Text();
    mireka::TextControl whole(ctl.Buffer().ChunkCapacity());
    whole.SetText(load(bytes.size() + 1));
    if (whole.Text() != file) std::abort();
    for (std::size_t i = split; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i];
        const std::uint8_t arg = data[i + 1];
        const mireka::Offset len = ctl.Length();
        const bool extend = arg & 0x80;
        switch (op % 9) {
        case 0:
            ctl.SetSel(arg % (len + 1), (arg * 7) % (len + 1));
            break;
        case 1:
            session.TypeChar(arg);
            break;
        case 2:
            session.DeleteForward();
            break;
        case 3:
            session.Undo();
            break;
        case 4:
            session.Redo();
            break;
        case 5:
            session.Paste(std::string(arg % 5, static_cast<char>(arg)));
            break;
        case 6:
            session.ReplaceSelWithUndo("\r\n\x82\xa0");
            break;
        case 7:
            session.Move(static_cast<mireka::CaretMove>(arg % 10), extend);
            break;
        default:
            // Mouse selections may start anywhere, even on a trail byte.
            if (arg & 1)
                session.SelectWordAt(arg % (len + 1));
            else
                session.DragTo(arg % (len + 1), extend);
            break;
        }
        ctl.Buffer().CheckInvariant();
    }
    while (session.CanUndo())
        session.Undo();
    if (ctl.Text() != file) std::abort();
    return 0;
}
