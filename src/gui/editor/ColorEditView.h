// The colouring view: keywords, comments and literals in their colours, painted from the lexer's
// spans, with the lexer state at each line start cached.
#pragma once

#include "core/app/FrameSettings.h"
#include "core/editor/Colorizer.h"
#include "core/editor/LineStates.h"
#include "gui/base/QtColour.h"
#include "gui/editor/UndoEditView.h"

#include <optional>

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
    void LineColors(int line, std::string_view text, std::size_t from, std::size_t to,
                    std::vector<ColoredRun>& runs) override;
    void OnTextChanged() override;

private:
    LineStates states_;
    std::vector<ColorSpan> spans_;
    // Where colouring can resume in the last long line coloured, so that a line of megabytes is
    // lexed only around what is shown, plus once to its end for the next line's state. Points
    // up to an edit stay valid.
    struct LongLineMemo {
        int line = -1;
        std::uint32_t state = 0;      // at the line's start
        std::vector<LexPoint> points; // ascending, the first at offset 0
        // Points from this index on were found before the last edits and moved with them.
        std::size_t unchecked = 1;
        bool endKnown = false;
        std::uint32_t next = 0; // the next line's state, once known and checked
    };
    // Confirms moved points up to offset `upTo`, lexing from the last confirmed one.
    void CheckMovedPoints(std::string_view text, std::int32_t upTo);
    // Colours [from, to) of a long line; the state of the next line when known by then.
    std::optional<std::uint32_t> LongLineColors(int line, std::string_view text, std::size_t from,
                                                std::size_t to);
    LongLineMemo longLine_;
    QRgb keyword_ = qRgb(0, 0, 255);
    QRgb string_ = qRgb(0, 128, 128);
    QRgb comment_ = qRgb(192, 0, 0);
};

} // namespace mireka
