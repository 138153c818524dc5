// Indentation on Enter, the closing-brace unindent and the hint word.
#include "core/document/AutoIndent.h"

#include "core/base/Dbcs.h"
#include "core/base/Text.h"
#include "core/editor/Colorizer.h"

#include <vector>

namespace mireka {

namespace {

constexpr std::string_view kHintDelimiters = "<>=[]!%&|^~/*+-(){};:?\t., ";
// A line that ends in one of these gets no extra tab on the next.
constexpr std::string_view kNoIndentAfter = ";>})\t /,";

} // namespace

std::string CopiedIndent(std::string_view prefix) {
    std::string indent;
    int spaces = 0;
    for (char b : prefix) {
        if (b == ' ') {
            if (++spaces == 4) {
                indent += '\t';
                spaces = 0;
            }
        } else if (b == '\t') {
            indent.append(static_cast<std::size_t>(spaces), ' ');
            indent += '\t';
            spaces = 0;
        } else {
            break;
        }
    }
    indent.append(static_cast<std::size_t>(spaces), ' ');
    return indent;
}

std::string IndentAfter(std::string_view prefix, std::uint32_t newLineState) {
    std::string indent = CopiedIndent(prefix);
    if (newLineState != kStateNormal || prefix.empty()) return indent;
    std::string_view p = prefix;
    if (!IsBlank(p.front()))
        while (!p.empty() && IsWhiteSpace(p.back()))
            p.remove_suffix(1);
    // Nothing but white space left: there is no last character to open a block.
    if (!p.empty() && kNoIndentAfter.find(p.back()) == std::string_view::npos)
        indent.insert(indent.begin(), '\t');
    return indent;
}

std::string_view HintWord(std::string_view lineBeforeCaret, Encoding enc) {
    const std::size_t at = enc == Encoding::Utf8
                               ? lineBeforeCaret.find_last_of(kHintDelimiters)
                               : dbcs::FindLastOf(lineBeforeCaret, kHintDelimiters);
    return at == std::string_view::npos ? lineBeforeCaret : lineBeforeCaret.substr(at + 1);
}

CharPlan AutoIndenter::BeforeChar(const TextControl& ctl, unsigned c,
                                  const LineStateFn& stateAtLineStart) const {
    CharPlan plan;
    plan.c = c;
    if (enabled_ && c == kCharEnter) {
        plan.suspendRedraw = true;
        const Offset s = ctl.SelStart();
        plan.line = ctl.LineFromChar(s);
        const Offset start = ctl.LineIndex(plan.line);
        const Offset k = s - start;
        if (k > 0) {
            const std::string before = ctl.Text(start, s);
            plan.prefix = before.substr(0, static_cast<std::size_t>(IndentPrefixLength(k)));
            // The new line starts in the state the lexer reaches at the caret. The cached entry
            // of the new line is not used: the cache is not shifted when a line is inserted, so
            // it still holds the state of the line that used to be there.
            const std::uint32_t lineState =
                stateAtLineStart ? stateAtLineStart(plan.line.Index()) : 0;
            std::vector<ColorSpan> spans;
            plan.newLineState = ColorizeLine(before, lineState, spans, ctl.GetEncoding());
        }
    } else if (c == '(') {
        plan.showHint = true;
        const Offset e = ctl.SelEnd();
        const std::string line = ctl.Text(ctl.LineIndex(ctl.LineFromChar(e)), e);
        plan.hintWord = std::string(HintWord(line, ctl.GetEncoding()));
    }
    return plan;
}

void AutoIndenter::AfterChar(EditSession& session, const CharPlan& plan) {
    TextControl& ctl = session.Control();
    const unsigned c = plan.c;
    if (enabled_ && !ctl.ReadOnly() && !ctl.HasSelection()) {
        const Offset s = ctl.SelStart();
        const Line line = ctl.LineFromChar(s);
        const Offset lineStart = ctl.LineIndex(line);
        if (c == kCharEnter && !plan.prefix.empty()) {
            // Only when the base handling did break the line, leaving the caret at the start of
            // the new one.
            if (line == plan.line + 1 && s == lineStart) {
                const std::string indent = IndentAfter(plan.prefix, plan.newLineState);
                if (!indent.empty()) session.ReplaceSelWithUndo(indent);
            }
        } else if (c == '}' && lastChar_ == kCharEnter && s > lineStart + 1) {
            // Only an indentation blank goes; after the caret was moved with a key that does not
            // reset the last character, the byte could be text or half of a double-byte one.
            const TextBuffer& b = ctl.Buffer();
            if (b.At(s - 1) == '}' && IsBlank(b.At(s - 2))) {
                ctl.SetSel(s - 2, s);
                ctl.ScrollCaret();
                session.ReplaceSelWithUndo("}");
            }
        }
    }
    lastChar_ = c;
    ctl.ScrollCaret();
}

} // namespace mireka
