// The saved bar list and its check.
#include "core/widgets/BarState.h"
#include "core/base/Text.h"

#include <algorithm>

namespace mireka {
namespace {} // namespace

std::optional<std::vector<long long>> ParseBarIds(std::string_view value) {
    if (TrimBlanks(value).empty()) return std::nullopt;
    std::vector<long long> ids;
    while (true) {
        const std::size_t comma = value.find(',');
        const std::string_view item = TrimBlanks(value.substr(0, comma));
        // Ten digits hold any 32-bit id; more is not a bar id.
        if (item.empty() || item.size() > 10) return std::nullopt;
        long long id = 0;
        for (char c : item) {
            if (c < '0' || c > '9') return std::nullopt;
            id = id * 10 + (c - '0');
        }
        ids.push_back(id);
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    return ids;
}

std::string FormatBarIds(std::span<const int> ids) {
    std::string out;
    for (int id : ids) {
        if (!out.empty()) out += ',';
        out += std::to_string(id);
    }
    return out;
}

bool SavedBarsExist(std::span<const long long> saved, std::span<const int> existing) noexcept {
    for (long long id : saved) {
        if (id == 0) continue;
        const long long bar = id > 0xFFFF ? (id & 0xFFFF) : id;
        if (std::find(existing.begin(), existing.end(), bar) == existing.end()) return false;
    }
    return true;
}

bool IsHexText(std::string_view hex) noexcept {
    if (hex.size() % 2 != 0) return false;
    return std::all_of(hex.begin(), hex.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

} // namespace mireka
