// The clipboard history's list lines: the "%3ld: " index, then the text's display form, which
// read back (escapes undone, a lead byte taking the next byte whatever it is) is the start of
// the text up to a character's end; no raw tab, line end or double quote outside a double-byte
// character; at most the line limit, and cut only where the next character would not fit.
#include "core/document/ClipboardHistory.h"

#include "core/base/Dbcs.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const long index = static_cast<long>(data[0]) - 8; // negatives and past 99 too
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string line = mireka::ClipboardHistoryLine(index, text);
    if (line.size() > mireka::kClipboardLineMax) std::abort();
    const std::string number = std::to_string(index);
    const std::string prefix =
        std::string(number.size() < 3 ? 3 - number.size() : 0, ' ') + number + ": ";
    if (!line.starts_with(prefix)) std::abort();

    std::string back;
    std::size_t next = 1; // the display bytes of the text's next character
    for (std::size_t i = prefix.size(); i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\') {
            if (i + 1 == line.size()) std::abort();
            const char e = line[++i];
            const std::string_view escapes = "t\tn\nr\r\"\"\\\\";
            const std::size_t at = escapes.find(e);
            if (at == std::string_view::npos || at % 2 != 0) std::abort();
            back += escapes[at + 1];
        } else if (mireka::dbcs::IsLeadByte(c) && back.size() + 1 < text.size()) {
            if (i + 1 == line.size()) std::abort(); // a pair cut in half
            back += c;
            back += line[++i];
        } else if (c == '\t' || c == '\n' || c == '\r' || c == '"') {
            std::abort();
        } else {
            back += c;
        }
    }
    if (!text.starts_with(back)) std::abort();
    if (back.size() < text.size()) {
        const char c = text[back.size()];
        if (std::string_view("\t\n\r\"\\").find(c) != std::string_view::npos)
            next = 2;
        else if (mireka::dbcs::IsLeadByte(c) && back.size() + 1 < text.size())
            next = 2;
        if (line.size() + next <= mireka::kClipboardLineMax) std::abort(); // cut too soon
    }
    return 0;
}
