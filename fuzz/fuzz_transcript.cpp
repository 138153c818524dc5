// A run's transcript driven by arbitrary calls: Begin starts the text anew with the command line,
// the start and end markers follow in their place, captured bytes come in order with only NUL
// left out, the stop line stands on a line of its own. The live output shown piece by piece
// holds back at most a CR or the start of a UTF-8 character still missing bytes, and what is
// shown plus what is held is everything captured.
#include "core/toolchain/Transcript.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// True when `held` is what may wait: a CR, or a UTF-8 lead byte and fewer continuation bytes
// than it needs.
bool MayWait(std::string_view held) {
    if (held.empty() || held == "\r") return true;
    const auto lead = static_cast<unsigned char>(held[0]);
    const std::size_t need = lead >= 0xF0 && lead <= 0xF4   ? 4
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                                                            : 0;
    if (held.size() >= need) return false;
    for (const char c : held.substr(1))
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const auto kind = data[0] & 1 ? mireka::RunKind::Compile : mireka::RunKind::Command;
    const bool compile = kind == mireka::RunKind::Compile;
    mireka::Transcript t(kind);
    std::string captured, shown, held;
    for (std::size_t i = 1; i + 1 < size;) {
        const std::uint8_t op = data[i];
        const std::string_view piece(reinterpret_cast<const char*>(data + i + 2),
                                     std::min<std::size_t>(data[i + 1] % 32, size - i - 2));
        i += 2 + piece.size();
        const std::string before = t.Text();
        switch (op % 6) {
        case 0:
            t.Begin(piece);
            if (t.Text() != std::string(piece) + "\r\n") std::abort();
            break;
        case 1:
            t.Started();
            if (t.Text() != before + std::string(compile ? mireka::kCompileStartMarker
                                                         : mireka::kCommandStartMarker))
                std::abort();
            break;
        case 2: {
            t.AppendCaptured(piece);
            std::string kept;
            for (const char c : piece)
                if (c != '\0') kept += c;
            if (t.Text() != before + kept) std::abort();
            captured += piece;
            held += piece;
            const std::size_t n = mireka::ShowableLength(held);
            if (n > held.size()) std::abort();
            shown += held.substr(0, n);
            held.erase(0, n);
            if (!MayWait(held)) std::abort();
            break;
        }
        case 3:
            t.Stopped();
            if (t.Text() != before + std::string(mireka::kStoppedLine) &&
                (before.empty() || before.back() == '\n' ||
                 t.Text() != before + "\r\n" + std::string(mireka::kStoppedLine)))
                std::abort();
            break;
        case 4:
            t.Ended(piece);
            if (t.Text() !=
                before +
                    std::string(compile ? mireka::kCompileEndMarker : mireka::kCommandEndMarker) +
                    std::string(piece))
                std::abort();
            break;
        default:
            t.Failed(piece);
            if (t.Text() != before + std::string(piece)) std::abort();
        }
    }
    if (shown + held != captured) std::abort();
    return 0;
}
