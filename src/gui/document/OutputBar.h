// The output window: a read-only text control in a docking bar that shows the last build's
// transcript and jumps to the source line a double-clicked compiler message names.
#pragma once

#include "core/app/FrameSettings.h"
#include "gui/editor/EditView.h"
#include "gui/widgets/DockingBar.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace mireka {

inline constexpr int kOutputEditId = 123;

// Transcript text as the build wrote it (the system's multibyte encoding: UTF-8 here, code
// page 932 on a Japanese Windows) in the control's form: code page 932 with CR LF line ends, no
// NUL bytes. A character code page 932 cannot show becomes "?": the text is read-only, so
// nothing is lost that the user could save.
[[nodiscard]] std::string OutputDisplayBytes(std::string_view systemText);

class COutputEdit : public CEditView {
    Q_OBJECT

public:
    explicit COutputEdit(QWidget* parent = nullptr);

    void SetOutputColors(Colour text, Colour background);
    [[nodiscard]] Colour TextColour() const noexcept { return text_; }
    [[nodiscard]] Colour BackgroundColour() const noexcept { return background_; }

    // Replaces the whole text with `bytes` (already in the control's form), leaves the end of the
    // last line in view with the caret after it, and paints at once; one unit under the mutex.
    // When the text is, since the last replacement, exactly the first `kept` bytes of `bytes`,
    // only the rest is added: the user sees the same. Interface thread only.
    void ReplaceText(std::string_view bytes, std::optional<std::size_t> kept = std::nullopt);

    // Adds `bytes` (in the control's form) at the end without touching the selection; when the
    // last line was in view it stays in view, else the view stays where the user scrolled it.
    // Interface thread only.
    void AppendText(std::string_view bytes);

signals:
    // After each whole-text replacement, still inside it.
    void Replaced();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Serialises whole-text replacements.
    std::mutex mutex_;
    // Bytes that came since the last replacement, counting its own.
    std::size_t sinceReplaced_ = 0;
    Colour text_ = 0x000000;
    Colour background_ = 0xFFFFFF;
};

class COutputBar : public CDockingBarG {
    Q_OBJECT

public:
    // Title "アウトプット ウィンドウ", id 124, 100 × 100.
    explicit COutputBar(QMainWindow* frame);

    [[nodiscard]] COutputEdit* Edit() const noexcept { return edit_; }
    // The control's font (the editor's) with one-pixel margins.
    void SetOutputFont(const QFont& font);

private:
    COutputEdit* edit_;
};

} // namespace mireka
