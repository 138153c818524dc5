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

    // After every new or opened document: the history starts empty and the settings apply.
    void OnInitialUpdate();
    // The commands this view carries out.
    void RegisterCommands(CommandTable& table);

protected:
    void OnTextChanged() override;

private:
    CMyDoc* doc_ = nullptr;
};

} // namespace mireka
