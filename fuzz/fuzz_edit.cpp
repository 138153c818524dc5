// Loads arbitrary bytes as a file, then replays keys, pastes, undos and redos taken from the
// input; the buffer must stay consistent and undoing everything must give the loaded text.
#include "core/document/LoadText.h"
#include "core/editor/InputRecorder.h"
#include "core/editor/TextControl.h"
#include "core/editor/UndoHistory.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t split = data[0] % (size - 1) + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), split - 1);
    mireka::TextControl ctl(data[1] % 7 + 2);
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
    mireka::UndoHistory history;
    mireka::InputRecorder recorder(history);
    for (std::size_t i = split; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i];
        const std::uint8_t arg = data[i + 1];
        const mireka::Offset len = ctl.Length();
        switch (op % 7) {
        case 0:
            ctl.SetSel(arg % (len + 1), (arg * 7) % (len + 1));
            break;
        case 1: {
            const auto action = recorder.OnChar(ctl, arg);
            mireka::PerformChar(ctl, action, arg);
            break;
        }
        case 2:
            recorder.OnDeleteKey(ctl);
            mireka::PerformDeleteKey(ctl);
            break;
        case 3:
            history.Undo(ctl);
            break;
        case 4:
            history.Redo(ctl);
            break;
        case 5: {
            const std::string text(arg % 5, static_cast<char>(arg));
            if (recorder.OnPaste(ctl, text)) ctl.ReplaceSel(text);
            break;
        }
        default:
            history.ReplaceSelWithUndo(ctl, "\r\n\x82\xa0");
            break;
        }
        ctl.Buffer().CheckInvariant();
    }
    while (history.CanUndo())
        history.Undo(ctl);
    if (ctl.Text() != file) std::abort();
    return 0;
}
