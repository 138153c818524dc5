// What the views and the output window ask of the main frame around them. The frame implements
// it, so the windows below it reach the frame without knowing it.
#pragma once

#include "core/app/FrameSettings.h"

#include <QFont>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace mireka {

class CommandTable;

class FrameServices {
public:
    [[nodiscard]] virtual CommandTable& Commands() noexcept = 0;
    // The editor view, the target of jumps from the output window.
    [[nodiscard]] virtual QWidget* EditorWidget() const noexcept = 0;
    // Text of a status-bar pane by indicator id (cmd::IndicatorLine …).
    virtual void SetPaneText(int indicator, const QString& text) = 0;
    // A function hint in the message pane, painted at once; an empty text does nothing.
    virtual void ShowHint(const QString& text) = 0;
    // The hint of the hint file for `word`; empty when there is none.
    [[nodiscard]] virtual std::string LookupHint(std::string_view word) const = 0;
    // Replaces the output window's whole text. Interface thread only, as are the two below: a
    // build worker reaches them through its session's hand-over.
    virtual void ShowBuildOutput(const std::string& text) = 0;
    // Interface thread only, with bytes already in the output window's form (OutputDisplayBytes):
    // adds them at the end, following them when the end was in view;
    virtual void AppendBuildOutput(std::string_view displayBytes) = 0;
    // shows them as the whole text, as ShowBuildOutput does. When the window holds, since its
    // last whole-text display, exactly the first `kept` bytes of them, only the rest is added.
    virtual void ShowBuildDisplay(std::string displayBytes, std::optional<std::size_t> kept) = 0;
    [[nodiscard]] virtual const QFont& EditorFont() const noexcept = 0;
    [[nodiscard]] virtual const EditorColours& Colours() const noexcept = 0;
    // The selected toolchain (m_nToolchain) and its change, which the status pane follows.
    [[nodiscard]] virtual int Toolchain() const noexcept = 0;
    virtual void SetToolchain(int kind) = 0;
    // The texts put on the clipboard while the program runs, newest first.
    [[nodiscard]] virtual std::vector<QString> ClipboardHistory() const = 0;

protected:
    ~FrameServices() = default;
};

// The frame around a widget, or none (a view used on its own). The output bar may float in a
// window of its own, so the search goes up the parents, not to window().
[[nodiscard]] FrameServices* FrameOf(const QWidget* widget);

} // namespace mireka
