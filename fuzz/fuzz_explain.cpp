// The explanation table and the matcher on arbitrary input, a table and a text: entries have
// both sides within the line limit; output fed in arbitrary pieces is explained as the whole
// text at once; the output is the input with explanation lines put after the complete lines
// that an entry matches, each of them the prefix, the explanation of that line and CR LF.
#include "core/toolchain/Explain.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::size_t split = std::min<std::size_t>(data[0] << 2, input.size());
    const mireka::ExplainTable table = mireka::ParseExplainTable(input.substr(0, split));
    const std::string_view text = input.substr(split);
    for (const mireka::ExplainEntry& e : table.entries)
        if (e.pattern.empty() || e.text.empty() ||
            e.pattern.size() + e.text.size() >= mireka::kMaxExplainLineBytes)
            std::abort();

    const std::string whole = mireka::ExplainText(table, text);
    mireka::Explainer explainer(table);
    std::string pieces;
    for (std::size_t at = 0, i = 0; at < text.size(); ++i) {
        const std::size_t n = (data[1] + i * 7) % 23; // empty pieces too
        pieces += explainer.Feed(text.substr(at, n));
        at += n;
    }
    if (pieces != whole) std::abort();

    // Walk the output against the text: each complete line, then its explanation if any.
    std::string_view out = whole;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        const std::string_view line = rest.substr(0, lf == std::string_view::npos ? lf : lf + 1);
        rest.remove_prefix(line.size());
        if (!out.starts_with(line)) std::abort();
        out.remove_prefix(line.size());
        if (lf == std::string_view::npos) break;
        const std::string explanation = mireka::ExplainLine(table, line);
        if (explanation.empty()) continue;
        const std::string expect = std::string(mireka::kExplainPrefix) + explanation + "\r\n";
        if (!out.starts_with(expect) || explanation.find('\n') != std::string::npos) std::abort();
        out.remove_prefix(expect.size());
    }
    if (!out.empty()) std::abort();
    return 0;
}
