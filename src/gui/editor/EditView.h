// Our multi-line text control: the keys and the mouse of an edit session, its text in code page
// 932 painted on a fixed cell grid, both scroll bars, the input method and the clipboard. The
// undo, colouring and main views derive from it.
#pragma once

#include "core/editor/EditSession.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QFont>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// A run of a line painted in its own colour; bytes outside every run take the text colour.
struct ColoredRun {
    std::int32_t start;
    std::int32_t end;
    QRgb color;
};

class CEditView : public QAbstractScrollArea, protected TextControlListener {
    Q_OBJECT

public:
    explicit CEditView(QWidget* parent = nullptr);
    ~CEditView() override;

    [[nodiscard]] EditSession& Session() noexcept { return session_; }
    [[nodiscard]] const EditSession& Session() const noexcept { return session_; }
    [[nodiscard]] TextControl& Control() noexcept { return session_.Control(); }
    [[nodiscard]] const TextControl& Control() const noexcept { return session_.Control(); }

    // The text-control operations the editor logic relies on (EditViewGeometry.cpp).
    void GetSel(Offset& start, Offset& end) const noexcept;
    void SetSel(Offset anchor, Offset caret) { Control().SetSel(anchor, caret); }
    void ScrollCaret();
    void ReplaceSel(std::string_view text) { Control().ReplaceSel(text); }
    [[nodiscard]] std::string GetWindowText() const { return Control().Text(); }
    void SetWindowText(std::string_view text);
    void SetWindowText(TextBuffer::Builder&& built); // as a file is loaded
    [[nodiscard]] Offset GetWindowTextLength() const noexcept { return Control().Length(); }
    [[nodiscard]] int GetLineCount() const noexcept { return Control().LineCount(); }
    // The edit control's messages count lines in plain numbers, -1 being the caret's line.
    [[nodiscard]] int LineFromChar(Offset pos) const noexcept {
        return Control().LineFromChar(pos).Index();
    }
    [[nodiscard]] Offset LineIndex(int line) const noexcept {
        return Control().LineIndex(Line(line));
    }
    [[nodiscard]] Offset LineLength(Offset pos) const noexcept { return Control().LineLength(pos); }
    [[nodiscard]] int GetFirstVisibleLine() const noexcept;
    // The formatting rectangle, in viewport coordinates.
    [[nodiscard]] QRect GetRect() const;
    // Top-left corner of the character at `offset` (also right of the last character).
    [[nodiscard]] QPoint PosFromChar(Offset offset) const;
    // The character boundary nearest to `point`; the text length below the last line.
    [[nodiscard]] Offset CharFromPos(QPoint point, int* line = nullptr) const;

    [[nodiscard]] int LineHeight() const noexcept { return lineHeight_; }
    [[nodiscard]] qreal CellWidth() const noexcept { return cellWidth_; }
    [[nodiscard]] int TabCells() const noexcept { return session_.TabCells(); }
    void SetTabStops(int cells);
    void SetMargins(int left, int right);
    [[nodiscard]] int LeftMargin() const noexcept { return leftMargin_; }
    void SetReadOnly(bool on);
    [[nodiscard]] bool IsReadOnly() const noexcept { return Control().ReadOnly(); }
    void SetEditorFont(const QFont& font);
    [[nodiscard]] const QFont& EditorFont() const noexcept { return font_; }
    void SetTextColors(QColor text, QColor background);
    // A full-width space (81 40) looks like two blanks; shown, it is a faint square.
    void SetShowFullWidthSpace(bool on);
    [[nodiscard]] bool ShowsFullWidthSpace() const noexcept { return showFullWidthSpace_; }
    // Suspends painting while a command makes several changes; resuming repaints everything.
    void SetRedraw(bool on);
    void ScrollLines(int lines);
    // Shows a caret at `offset` without changing the selection (a drop point while dragging);
    // -1 hides it again.
    void ShowDropCaret(Offset offset);
    [[nodiscard]] Offset DropCaret() const noexcept { return dropCaret_; }

    // The clipboard commands, edits recorded for undo (EditViewClipboard.cpp).
    void Cut();
    void Copy();
    void Paste();
    void Clear();
    void SelectAll();
    [[nodiscard]] bool CanPaste() const;

    // Text for the clipboard: the selection, decoded, with LF line ends.
    [[nodiscard]] QString SelectedTextForClipboard() const;
    // Clipboard text as editor bytes; false (after a beep and a message) when the code page
    // cannot hold it or there is none.
    bool ClipboardBytes(std::string& bytes, bool* present = nullptr);
    // Text coming in from outside (clipboard, drop) as editor bytes with CR LF; false, after
    // the paste rule's beep and message, when the code page cannot hold a character of it.
    bool IncomingBytes(const QString& text, std::string& bytes);

signals:
    void TextChanged();
    void SelectionChanged();
    void Scrolled();

protected:
    // The text changed (after every replacement).
    virtual void OnTextChanged();
    // Colours of a line's runs; the plain control has none.
    // The colours of bytes [from, to) of `line` (its text); runs outside may be left out.
    virtual void LineColors(int line, std::string_view text, std::size_t from, std::size_t to,
                            std::vector<ColoredRun>& runs);
    // The last change of the text.
    struct TextEdit {
        Offset pos = 0;
        Offset removed = 0;
        Offset inserted = 0;
        bool linesChanged = false;
    };
    [[nodiscard]] const TextEdit& LastEdit() const noexcept { return lastEdit_; }
    virtual void OnContextMenu(const QPoint& globalPos);
    // A left-button press in the text; returns true when a view above took it over.
    virtual bool OnLeftButtonDown(QMouseEvent* event);

    // TextControlListener
    void OnTextReplaced(Offset pos, Offset removed, Offset inserted, int linesBefore) override;
    void OnSelectionChanged() override;
    void OnScrollCaretRequested() override { ScrollCaret(); }

    // After the user typed or deleted: the caret forgets its column and comes into view.
    void AfterTyping();
    // After a typing command: a beep when the read-only text refused it, else the caret shows.
    void Typed(bool done);
    void InvalidateLines(int first, int last);
    void InvalidateFrom(int line);
    void Beep() const;

    // QWidget
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    bool event(QEvent* event) override;

private:
    void UpdateMetrics();
    void UpdateScrollBars();
    void NoteLineWidth(Line line, std::string_view text);
    [[nodiscard]] int VisibleRows() const noexcept;
    [[nodiscard]] QRect CaretRect() const;
    bool HandleNavigation(QKeyEvent* event);
    // The character message a typing key stands for: 8, 9, 10 or 13; -1 for any other key.
    [[nodiscard]] static int TypingChar(const QKeyEvent* event);
    void DragSelectTo(QPoint point);
    void RestartBlink();
    void PaintLine(QPainter& p, int line, int y, Offset selStart, Offset selEnd);

    EditSession session_;
    QFont font_;
    qreal cellWidth_ = 8;
    int lineHeight_ = 16;
    int ascent_ = 12;
    bool charByChar_ = false; // the font's advances do not follow the grid: draw each character
    bool showFullWidthSpace_ = false;
    int leftMargin_ = 1;
    int rightMargin_ = 1;
    QColor textColor_ = Qt::black;
    QColor backColor_ = Qt::white;
    TextEdit lastEdit_;
    std::int64_t widestCells_ = 0;
    bool caretOn_ = false;
    QBasicTimer blinkTimer_;
    QBasicTimer dragTimer_;
    bool dragSelecting_ = false;
    bool wordSelecting_ = false;
    QPoint lastDragPoint_;
    QString preedit_;
    Offset dropCaret_ = -1;
    int redrawSuspended_ = 0;
    int shownSelFirst_ = 0; // lines of the selection as last painted
    int shownSelLast_ = 0;
    std::vector<ColoredRun> runs_; // scratch for painting
};

} // namespace mireka
