// Code page 932 character boundaries.
#include "core/base/Dbcs.h"

namespace mireka::dbcs {

bool IsCharBoundary(std::string_view s, std::size_t pos) noexcept {
    if (pos == 0 || pos >= s.size()) return true;
    std::size_t q = pos;
    while (q > 0 && IsLeadByte(s[q - 1]))
        --q;
    if ((pos - q) % 2 == 0) return true;
    // The byte before `pos` starts a character; it swallows `pos` only as a valid pair.
    return !IsTrailByte(s[pos]);
}

std::size_t CharStart(std::string_view s, std::size_t pos) noexcept {
    if (pos == 0 || pos >= s.size()) return pos;
    return IsCharBoundary(s, pos) ? pos : pos - 1;
}

std::size_t PrevCharPos(std::string_view s, std::size_t pos) noexcept {
    if (pos == 0) return 0;
    if (pos > s.size()) pos = s.size();
    return CharStart(s, pos - 1);
}

std::size_t FindChar(std::string_view s, char c, std::size_t from) noexcept {
    for (std::size_t i = from; i < s.size(); i += CharLength(s, i))
        if (s[i] == c) return i;
    return std::string_view::npos;
}

std::size_t FindLastChar(std::string_view s, char c) noexcept {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (s[i] == c) found = i;
    return found;
}

std::size_t FindLastOf(std::string_view s, std::string_view set) noexcept {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (set.find(s[i]) != std::string_view::npos) found = i;
    return found;
}

std::size_t FindFirstOf(std::string_view s, std::string_view set) noexcept {
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (set.find(s[i]) != std::string_view::npos) return i;
    return std::string_view::npos;
}

} // namespace mireka::dbcs
