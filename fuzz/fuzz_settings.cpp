// Settings values, hint lines and compiler messages from outside: parse without crashing, and
// what parses formats back to something that parses the same.
#include "core/app/FrameSettings.h"
#include "core/app/Hints.h"
#include "core/document/JumpLine.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto font = mireka::ParseFont(text)) {
        const auto again = mireka::ParseFont(mireka::FormatFont(*font));
        if (!again || mireka::FormatFont(*again) != mireka::FormatFont(*font)) std::abort();
    }
    if (auto pos = mireka::ParseWindowPos(text)) {
        if (!mireka::ParseWindowPos(mireka::FormatWindowPos(*pos))) std::abort();
    }
    mireka::EditorColours colours;
    (void)mireka::ParseColors(text, colours);
    (void)mireka::ParseEditorColors(text, colours);
    const auto lines = mireka::SplitTextLines(text);
    if (!lines.empty()) (void)mireka::LookupHint(lines, lines.front());
    for (int kind = 0; kind < 5; ++kind)
        (void)mireka::ParseJumpLine(text, kind);
    return 0;
}
