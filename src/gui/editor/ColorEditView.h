// The colouring view: keywords, comments and literals in their colours, painted from the lexer's
// spans, with the lexer state at each line start cached.
#pragma once

#include "core/app/FrameSettings.h"
#include "core/editor/LineStates.h"
#include "gui/base/QtColour.h"
#include "gui/editor/UndoEditView.h"

namespace mireka {

class CColorEditView : public CUndoEditView {
    Q_OBJECT

public:
    explicit CColorEditView(QWidget* parent = nullptr);

    // Argument order as the main view passes them: keyword, string, comment, text, background.
    void SetColors(Colour keyword, Colour string, Colour comment, Colour text, Colour background);
    [[nodiscard]] const LineStates& States() const noexcept { return states_; }
    // The state at the start of `line` (0 normal, 8 inside a block comment).
    [[nodiscard]] std::uint32_t LineState(int line) const noexcept { return states_.Get(line); }

protected:
    void LineColors(int line, std::string_view text, std::vector<ColoredRun>& runs) override;
    void OnTextChanged() override;

private:
    LineStates states_;
    std::vector<ColorSpan> spans_;
    // The spans of the last long line coloured: the caret's blinking repaints its line twice a
    // second, and a line of megabytes must not be lexed again while it has not changed.
    struct LongLineMemo {
        int line = -1;
        std::uint64_t revision = 0;
        std::uint32_t state = 0;
        std::uint32_t next = 0;
        std::vector<ColorSpan> spans;
    };
    LongLineMemo longLine_;
    QRgb keyword_ = qRgb(0, 0, 255);
    QRgb string_ = qRgb(0, 128, 128);
    QRgb comment_ = qRgb(192, 0, 0);
};

} // namespace mireka
