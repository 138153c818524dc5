// The colouring view: keywords, comments and literals in their colours, painted from the
// highlighter's spans.
#pragma once

#include "core/app/FrameSettings.h"
#include "core/editor/Highlighter.h"
#include "gui/base/QtColour.h"
#include "gui/editor/UndoEditView.h"

namespace mireka {

class CColorEditView : public CUndoEditView {
    Q_OBJECT

public:
    explicit CColorEditView(QWidget* parent = nullptr);

    // Argument order as the main view passes them: keyword, string, comment, text, background.
    void SetColors(Colour keyword, Colour string, Colour comment, Colour text, Colour background);
    [[nodiscard]] const LineStates& States() const noexcept { return highlighter_.States(); }
    // The state at the start of `line` (0 normal, 8 inside a block comment).
    [[nodiscard]] std::uint32_t LineState(int line) const noexcept {
        return highlighter_.LineState(line);
    }

protected:
    void LineColors(int line, std::string_view text, std::size_t from, std::size_t to,
                    std::vector<ColoredRun>& runs) override;
    void OnTextChanged() override;

private:
    Highlighter highlighter_;
    QRgb keyword_ = qRgb(0, 0, 255);
    QRgb string_ = qRgb(0, 128, 128);
    QRgb comment_ = qRgb(192, 0, 0);
};

} // namespace mireka
