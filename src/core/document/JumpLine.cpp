// Reading the line number out of a compiler message.
#include "core/document/JumpLine.h"

#include "core/base/Dbcs.h"
#include "core/base/Text.h"

#include <cstdint>

namespace mireka {
namespace {

constexpr bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// The first kMaxJumpLineBytes bytes, without splitting a double-byte character.
std::string_view CutLine(std::string_view line) noexcept {
    if (line.size() <= kMaxJumpLineBytes) return line;
    std::size_t end = 0;
    while (end < line.size()) {
        std::size_t next = dbcs::NextCharPos(line, end);
        if (next > kMaxJumpLineBytes) break;
        end = next;
    }
    return line.substr(0, end);
}

} // namespace

int ReadCLong(std::string_view s) noexcept {
    std::size_t i = 0;
    while (i < s.size() && IsWhiteSpace(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::int64_t value = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > std::int64_t{INT32_MAX} + 1) value = std::int64_t{INT32_MAX} + 1;
    }
    if (negative) return value > INT32_MAX ? INT32_MIN : static_cast<int>(-value);
    return value > INT32_MAX ? INT32_MAX : static_cast<int>(value);
}

std::optional<int> ParseSeparatedLineNumber(std::string_view line, char endSep,
                                            char startSep) noexcept {
    line = CutLine(line);
    std::size_t end = dbcs::FindChar(line, endSep);
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view head = line.substr(0, end);
    std::size_t start = dbcs::FindLastChar(head, startSep);
    if (start == std::string_view::npos) return std::nullopt;
    return ReadCLong(head.substr(start + 1));
}

std::optional<int> ParseColonLineNumber(std::string_view line) noexcept {
    line = CutLine(line);
    for (std::size_t colon = dbcs::FindChar(line, ':'); colon != std::string_view::npos;) {
        std::size_t digitsEnd = colon + 1;
        while (digitsEnd < line.size() && IsDigit(line[digitsEnd]))
            ++digitsEnd;
        if (digitsEnd > colon + 1 && digitsEnd < line.size() && line[digitsEnd] == ':')
            return ReadCLong(line.substr(colon + 1, digitsEnd - colon - 1));
        // Digits are single-byte characters, so digitsEnd is a character boundary.
        colon = dbcs::FindChar(line, ':', digitsEnd > colon + 1 ? digitsEnd : colon + 1);
    }
    return std::nullopt;
}

std::optional<int> ParseJumpLine(std::string_view line, const JumpRule& rule) noexcept {
    if (rule.style == JumpRule::Style::ColonDigitsColon) return ParseColonLineNumber(line);
    return ParseSeparatedLineNumber(line, rule.end, rule.start);
}

std::optional<std::size_t> JumpTargetLine(int number, std::size_t lineCount) noexcept {
    if (number < 1 || static_cast<std::size_t>(number) > lineCount) return std::nullopt;
    return static_cast<std::size_t>(number) - 1;
}

} // namespace mireka
