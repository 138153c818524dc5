// Function-prototype hints: reading the hint file and looking up a word.
#include "core/app/Hints.h"

#include <fstream>
#include <iterator>

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

std::optional<std::vector<std::string>> ReadHintFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return SplitTextLines(bytes);
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
