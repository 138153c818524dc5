// Matching compiler output lines against the explanation table.
#include "core/toolchain/Explain.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_set>
#include <utility>

namespace mireka {

// Entries by the first byte their pattern can match, so that a line tries only the few entries
// that can start where it can be matched.
struct ExplainIndex {
    std::array<std::vector<std::uint32_t>, 256> byFirstByte;
    std::vector<std::uint32_t> anyStart; // patterns that open with a capture or "*"
};

namespace {

using Captures = std::array<std::string_view, 10>;

constexpr std::string_view kOpenQuote = "\xE2\x80\x98";
constexpr std::string_view kCloseQuote = "\xE2\x80\x99";

constexpr bool IsCapture(std::string_view p, std::size_t i) noexcept {
    return p[i] == '%' && i + 1 < p.size() && p[i + 1] >= '1' && p[i + 1] <= '9';
}

// The bytes a quote of the pattern consumes at s[i], 0 when there is none.
std::size_t QuoteLength(std::string_view s, std::size_t i) noexcept {
    if (i >= s.size()) return 0;
    if (s[i] == '\'' || s[i] == '`') return 1;
    std::string_view rest = s.substr(i, 3);
    return rest == kOpenQuote || rest == kCloseQuote ? 3 : 0;
}

// The first position from `from` where the pattern token at p[pi] could match; a run of
// characters ends only there, which spares trying every length.
std::size_t NextStart(std::string_view p, std::size_t pi, std::string_view s,
                      std::size_t from) noexcept {
    if (pi >= p.size()) return s.size() >= from ? s.size() : std::string_view::npos;
    if (p[pi] == '*' || IsCapture(p, pi)) return from;
    if (p[pi] == '\'') {
        for (std::size_t i = from; i < s.size(); ++i)
            if (QuoteLength(s, i) != 0) return i;
        return std::string_view::npos;
    }
    return s.find(p[pi], from);
}

// Whether the pattern from a run on matches the line from a position does not depend on what
// was captured before, so a failure found once is remembered: without that, a line built to
// defeat a pattern of several runs takes time exponential in their number.
using Failures = std::unordered_set<std::uint64_t>;

// Backtracking recurses only at runs (captures and "*"), so its depth is their number.
bool Match(std::string_view p, std::size_t pi, std::string_view s, std::size_t si, Captures& caps,
           Failures& failed) {
    while (pi < p.size()) {
        const bool capture = IsCapture(p, pi);
        if (capture || p[pi] == '*') {
            const std::uint64_t state = static_cast<std::uint64_t>(pi) << 32 | si;
            if (failed.contains(state)) return false;
            const std::size_t next = pi + (capture ? 2 : 1);
            std::size_t end = si + (capture ? 1 : 0);
            if (end > s.size()) return false;
            for (end = NextStart(p, next, s, end); end != std::string_view::npos;
                 end = NextStart(p, next, s, end + 1)) {
                if (Match(p, next, s, end, caps, failed)) {
                    if (capture)
                        caps[static_cast<std::size_t>(p[pi + 1] - '0')] = s.substr(si, end - si);
                    return true;
                }
                if (end >= s.size()) break;
            }
            failed.insert(state);
            return false;
        }
        if (p[pi] == '\'') {
            const std::size_t n = QuoteLength(s, si);
            if (n == 0) return false;
            si += n;
        } else {
            if (si >= s.size() || s[si] != p[pi]) return false;
            ++si;
        }
        ++pi;
    }
    return si == s.size();
}

std::string_view WithoutLineEnd(std::string_view line) noexcept {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

ExplainIndex BuildIndex(const ExplainTable& table) {
    ExplainIndex index;
    for (std::uint32_t e = 0; e < table.entries.size(); ++e) {
        const std::string& p = table.entries[e].pattern;
        if (p.empty()) continue;
        if (p[0] == '*' || IsCapture(p, 0)) {
            index.anyStart.push_back(e);
        } else if (p[0] == '\'') {
            for (unsigned char b : {'\'', '`', '\xE2'})
                index.byFirstByte[b].push_back(e);
        } else {
            index.byFirstByte[static_cast<unsigned char>(p[0])].push_back(e);
        }
    }
    return index;
}

std::string Substitute(std::string_view text, const Captures& caps) {
    std::string out;
    out.reserve(text.size() + 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsCapture(text, i)) {
            out += caps[static_cast<std::size_t>(text[++i] - '0')];
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Explain(const ExplainTable& table, const ExplainIndex& index, std::string_view line) {
    line = WithoutLineEnd(line);
    if (line.size() > kMaxExplainLineBytes) return {};
    // Candidates as (entry, start): the lowest entry wins, then the earliest start.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tries;
    auto addStart = [&](std::size_t start) {
        const auto at = static_cast<std::uint32_t>(start);
        if (start < line.size())
            for (std::uint32_t e : index.byFirstByte[static_cast<unsigned char>(line[start])])
                tries.emplace_back(e, at);
        for (std::uint32_t e : index.anyStart)
            tries.emplace_back(e, at);
    };
    addStart(0);
    for (std::size_t sep = line.find(": "); sep != std::string_view::npos;
         sep = line.find(": ", sep + 1))
        addStart(sep + 2);
    if (tries.empty()) return {};
    std::sort(tries.begin(), tries.end());
    for (auto [e, start] : tries) {
        Captures caps;
        Failures failed;
        const ExplainEntry& entry = table.entries[e];
        if (Match(entry.pattern, 0, line.substr(start), 0, caps, failed))
            return Substitute(entry.text, caps);
    }
    return {};
}

void AppendExplanation(std::string& out, std::string_view text) {
    if (text.empty()) return;
    out += kExplainPrefix;
    out += text;
    out += "\r\n";
}

// The captures a side names, as a bit set over 1 … 9.
unsigned CaptureSet(std::string_view side) noexcept {
    unsigned set = 0;
    for (std::size_t i = 0; i < side.size(); ++i)
        if (IsCapture(side, i)) set |= 1u << (side[++i] - '0');
    return set;
}

} // namespace

ExplainTable ParseExplainTable(std::string_view file) {
    ExplainTable table;
    if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);
    int number = 0;
    while (!file.empty()) {
        const std::size_t lf = file.find('\n');
        std::string_view line = WithoutLineEnd(file.substr(0, lf));
        file.remove_prefix(lf == std::string_view::npos ? file.size() : lf + 1);
        ++number;
        if (line.empty() || line[0] == ';') continue;
        const std::size_t tab = line.find('\t');
        if (line.size() > kMaxExplainLineBytes || tab == std::string_view::npos || tab == 0 ||
            tab + 1 == line.size()) {
            table.badLines.push_back(number);
            continue;
        }
        std::string_view pattern = line.substr(0, tab);
        std::string_view text = line.substr(tab + 1);
        if ((CaptureSet(text) & ~CaptureSet(pattern)) != 0) {
            table.badLines.push_back(number);
            continue;
        }
        table.entries.push_back({std::string(pattern), std::string(text)});
    }
    return table;
}

std::string ExplainLine(const ExplainTable& table, std::string_view line) {
    return Explain(table, BuildIndex(table), line);
}

std::string Explainer::Feed(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::string_view piece =
            bytes.substr(0, lf == std::string_view::npos ? bytes.size() : lf + 1);
        out += piece;
        bytes.remove_prefix(piece.size());
        // Past the limit the line is not explained anyway; its length alone must stay known.
        if (line_.size() <= kMaxExplainLineBytes + 2)
            line_.append(piece.substr(0, kMaxExplainLineBytes + 3 - line_.size()));
        if (lf == std::string_view::npos) break;
        if (!index_) index_ = std::make_shared<const ExplainIndex>(BuildIndex(table_));
        AppendExplanation(out, Explain(table_, *index_, line_));
        line_.clear();
    }
    return out;
}

std::string ExplainText(const ExplainTable& table, std::string_view text) {
    Explainer explainer(table);
    return explainer.Feed(text);
}

} // namespace mireka
