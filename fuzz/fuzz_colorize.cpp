// Colours arbitrary lines in either encoding: spans stay ordered, inside the line (in UTF-8 on
// character boundaries), and the state is 0 or 8; and colouring resumed at any resume point gives
// the same classes as the whole line.
#include "core/editor/Colorizer.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    const mireka::Encoding enc =
        (data[0] & 0x80) ? mireka::Encoding::Utf8 : mireka::Encoding::Cp932;
    std::vector<mireka::ColorSpan> spans;
    const std::uint32_t next = mireka::ColorizeLine(line, (data[0] & 1) ? 8 : 0, spans, enc);
    if (next != 0 && next != 8) std::abort();
    std::int32_t last = 0;
    for (const auto& s : spans) {
        if (s.start < last || s.end <= s.start || s.end > static_cast<std::int32_t>(line.size()))
            std::abort();
        if (enc == mireka::Encoding::Utf8 &&
            (!mireka::chars::IsCharBoundary(enc, line, static_cast<std::size_t>(s.start)) ||
             !mireka::chars::IsCharBoundary(enc, line, static_cast<std::size_t>(s.end))))
            std::abort();
        last = s.end;
    }
    auto classes = [&line](const std::vector<mireka::ColorSpan>& from) {
        std::string map(line.size(), 'T');
        for (const auto& s : from)
            for (std::int32_t i = s.start; i < s.end; ++i)
                map[static_cast<std::size_t>(i)] = static_cast<char>('0' + static_cast<int>(s.cls));
        return map;
    };
    const std::string whole = classes(spans);
    std::vector<mireka::LexPoint> points;
    std::vector<mireka::ColorSpan> again;
    const mireka::LexStop end = mireka::ColorizeRange(line, {0, (data[0] & 1) ? 8u : 0u}, INT32_MAX,
                                                      again, &points, 8, enc);
    if (!end.atEnd || end.at.state != next) std::abort();
    for (const mireka::LexPoint& p : points) {
        std::vector<mireka::ColorSpan> part;
        const mireka::LexStop stop =
            mireka::ColorizeRange(line, p, p.offset + data[0] % 64, part, nullptr, 4096, enc);
        const auto from = static_cast<std::size_t>(p.offset);
        const auto to = static_cast<std::size_t>(stop.at.offset);
        if (to < from || classes(part).substr(from, to - from) != whole.substr(from, to - from))
            std::abort();
        if (stop.atEnd && stop.at.state != next) std::abort();
    }
    return 0;
}
