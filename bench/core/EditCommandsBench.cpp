// Per-keystroke cost of the line commands, Enter with auto-indent and the line indicator in the
// middle of a 100 MB text: each must stay independent of the text's size.
#include "core/document/AutoIndent.h"
#include "core/document/EditCommands.h"
#include "core/editor/InputRecorder.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace mireka;

TextControl& BigText() {
    static TextControl* ctl = [] {
        auto* c = new TextControl;
        std::string text;
        const std::string line = "\t\tif (value > limit) {\r\n";
        text.reserve(100u * 1000 * 1000 + line.size());
        while (text.size() < 100u * 1000 * 1000)
            text += line;
        c->SetText(text);
        return c;
    }();
    return *ctl;
}

void BM_DeleteLineAndUndo(benchmark::State& state) {
    TextControl& ctl = BigText();
    UndoHistory history;
    const int middle = ctl.LineCount() / 2;
    for (auto _ : state) {
        ctl.SetCaret(ctl.LineIndex(middle) + 3);
        DeleteLine(ctl, history);
        history.Undo(ctl);
    }
}
BENCHMARK(BM_DeleteLineAndUndo);

void BM_EnterWithAutoIndentAndUndo(benchmark::State& state) {
    TextControl& ctl = BigText();
    UndoHistory history;
    InputRecorder input(history);
    AutoIndenter indenter;
    const int middle = ctl.LineCount() / 2;
    auto noComment = [](int) { return std::uint32_t{0}; };
    for (auto _ : state) {
        ctl.SetCaret(ctl.Buffer().LineEnd(middle));
        const CharPlan plan = indenter.BeforeChar(ctl, kCharEnter, noComment);
        PerformChar(ctl, input.OnChar(ctl, kCharEnter), kCharEnter);
        indenter.AfterChar(ctl, history, plan);
        history.Undo(ctl);
        history.Undo(ctl);
    }
}
BENCHMARK(BM_EnterWithAutoIndentAndUndo);

void BM_LineIndicatorUpdate(benchmark::State& state) {
    TextControl& ctl = BigText();
    LineIndicator indicator;
    const int middle = ctl.LineCount() / 2;
    int line = middle;
    for (auto _ : state) {
        ctl.SetCaret(ctl.LineIndex(line));
        benchmark::DoNotOptimize(indicator.Update(ctl, true));
        line = line == middle ? middle + 1 : middle;
    }
}
BENCHMARK(BM_LineIndicatorUpdate);

} // namespace
