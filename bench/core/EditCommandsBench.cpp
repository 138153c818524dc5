// Per-keystroke cost of the line commands, Enter with auto-indent and the line indicator in the
// middle of a 100 MB text: each must stay independent of the text's size.
#include "core/document/AutoIndent.h"
#include "core/document/EditCommands.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace mireka;

EditSession& BigText() {
    static EditSession* session = [] {
        auto* s = new EditSession;
        std::string text;
        const std::string line = "\t\tif (value > limit) {\r\n";
        text.reserve(100u * 1000 * 1000 + line.size());
        while (text.size() < 100u * 1000 * 1000)
            text += line;
        s->Control().SetText(text);
        return s;
    }();
    return *session;
}

void BM_DeleteLineAndUndo(benchmark::State& state) {
    EditSession& session = BigText();
    TextControl& ctl = session.Control();
    const int middle = ctl.LineCount() / 2;
    for (auto _ : state) {
        ctl.SetCaret(ctl.LineIndex(Line(middle)) + 3);
        DeleteLine(session);
        session.Undo();
    }
}
BENCHMARK(BM_DeleteLineAndUndo);

void BM_EnterWithAutoIndentAndUndo(benchmark::State& state) {
    EditSession& session = BigText();
    TextControl& ctl = session.Control();
    AutoIndenter indenter;
    const int middle = ctl.LineCount() / 2;
    auto noComment = [](int) { return std::uint32_t{0}; };
    for (auto _ : state) {
        ctl.SetCaret(ctl.Buffer().LineEnd(Line(middle)));
        const CharPlan plan = indenter.BeforeChar(ctl, kCharEnter, noComment);
        session.TypeChar(kCharEnter);
        indenter.AfterChar(session, plan);
        session.Undo();
        session.Undo();
    }
}
BENCHMARK(BM_EnterWithAutoIndentAndUndo);

void BM_LineIndicatorUpdate(benchmark::State& state) {
    TextControl& ctl = BigText().Control();
    LineIndicator indicator;
    const int middle = ctl.LineCount() / 2;
    int line = middle;
    for (auto _ : state) {
        ctl.SetCaret(ctl.LineIndex(Line(line)));
        benchmark::DoNotOptimize(indicator.Update(ctl, true));
        line = line == middle ? middle + 1 : middle;
    }
}
BENCHMARK(BM_LineIndicatorUpdate);

} // namespace
