// Function-prototype hints: reading the hint file and looking up a word.
#include "core/app/Hints.h"

namespace mireka {

std::vector<std::string> SplitTextLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        std::size_t end = lf;
        if (end > start && bytes[end - 1] == '\r') --end;
        lines.emplace_back(bytes.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

std::optional<std::vector<std::string>> ReadHintFile(const std::string& path,
                                                     const ReadFilePart& read) {
    const std::optional<std::string> bytes = read(path, 0, kWholeFile);
    if (!bytes) return std::nullopt;
    return SplitTextLines(*bytes);
}

std::string_view LookupHint(const std::vector<std::string>& lines, std::string_view word) noexcept {
    if (word.empty()) return {};
    for (const std::string& line : lines) {
        // "#" never occurs as a trail byte of code page 932, so a plain byte search is exact.
        std::size_t hash = std::string_view(line).find('#');
        if (hash == std::string_view::npos) continue;
        if (std::string_view(line).substr(0, hash) == word)
            return std::string_view(line).substr(hash + 1);
    }
    return {};
}

} // namespace mireka
