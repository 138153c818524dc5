// The main editor view: the command hub of the editing, build and tool commands.
#pragma once

#include "gui/editor/ColorEditView.h"

namespace mireka {

class CMyDoc;
class CommandTable;

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
};

} // namespace mireka
