// The main editor view: the command hub of the editing, build and tool commands.
#pragma once

#include "gui/editor/ColorEditView.h"

// Editing commands, gutter and line indicator (MyViewEdit.cpp).
#include "core/document/AutoIndent.h"
#include "core/document/EditCommands.h"

#include <QTimer>

namespace mireka {

class CMyDoc;
class CommandTable;
class CLineNumberWnd;

class CMyView : public CColorEditView {
    Q_OBJECT

public:
    explicit CMyView(QWidget* parent = nullptr);

    void SetDocument(CMyDoc* doc) { doc_ = doc; }
    [[nodiscard]] CMyDoc* GetDocument() const noexcept { return doc_; }

    // After every new or opened document: the history and the output window start empty and
    // the frame's settings apply.
    void OnInitialUpdate();
    // Applies the frame's font and colours, the margins and the tab stops.
    void OnUpdate();

    [[nodiscard]] int TabWidth() const noexcept { return m_nTabWidth; }
    void SetTabWidth(int width);
    // The commands this view carries out.
    void RegisterCommands(CommandTable& table);

protected:
    void OnTextChanged() override;

private:
    CMyDoc* doc_ = nullptr;
    int m_nTabWidth = 4; // characters, 1 to 32

    // ---- editing commands, gutter and line indicator (MyViewEdit.cpp) --------------------
public:
    // The line commands, jump, tab width, the switches, Ctrl+Tab, the IME switch and find and
    // replace. Also creates the gutter and sets the margins beside it, once.
    void RegisterEditCommands(CommandTable& table);
    static constexpr int kGutterWidth = 33;
    static constexpr int kLeftMargin = 34; // the text starts one pixel right of the gutter
    [[nodiscard]] CLineNumberWnd* LineNumberWnd() const noexcept { return gutter_; }

    void OnDeleteLine();
    void OnDeleteToEndOfLine();
    void OnDeleteFromStartOfLine();
    void OnJump();
    void OnTabWidthDialog();
    [[nodiscard]] bool AutoIndent() const noexcept { return indenter_.Enabled(); }
    void SetAutoIndent(bool on) noexcept { indenter_.SetEnabled(on); }
    // Input-method input for the editor, on or off.
    [[nodiscard]] bool ImeOpen() const noexcept { return imeOpen_; }
    void SetImeOpen(bool open);
    // The idle update of the status pane's line indicator and of the gutter's mark.
    void UpdateLineIndicator();
    // The text last handed to the line pane.
    [[nodiscard]] const QString& LinePaneText() const noexcept { return linePaneText_; }

protected:
    void OnChar(unsigned int c) override;
    bool OnLeftButtonDown(QMouseEvent* event) override;
    void OnContextMenu(const QPoint& globalPos) override;
    void OnTextNotFound(const std::string& find) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    void SetUpEditing();

    CLineNumberWnd* gutter_ = nullptr;
    AutoIndenter indenter_;
    LineIndicator indicator_;
    QTimer indicatorTimer_; // single shot at idle after a change of text or selection
    bool imeOpen_ = true;
    QString linePaneText_;
};

} // namespace mireka
