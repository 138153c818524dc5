// Colours arbitrary lines: spans stay ordered, inside the line, and the state is 0 or 8.
#include "core/editor/Colorizer.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<mireka::ColorSpan> spans;
    const std::uint32_t next = mireka::ColorizeLine(line, (data[0] & 1) ? 8 : 0, spans);
    if (next != 0 && next != 8) std::abort();
    std::int32_t last = 0;
    for (const auto& s : spans) {
        if (s.start < last || s.end <= s.start || s.end > static_cast<std::int32_t>(line.size()))
            std::abort();
        last = s.end;
    }
    return 0;
}
