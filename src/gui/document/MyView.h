// The main editor view: the editing commands, and the build and tool commands it hands on.
#pragma once

#include "gui/editor/ColorEditView.h"

// Editing commands, gutter and line indicator (MyViewEdit.cpp).
#include "core/document/AutoIndent.h"
#include "core/document/EditCommands.h"

#include <QTimer>

// Build and run (MyViewBuild.cpp).
#include "core/toolchain/BuildSettings.h"
#include "core/toolchain/Toolchain.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPrinter;

namespace mireka {

class BuildSession;
class CMyDoc;
class CommandTable;
class CLineNumberWnd;
struct BuildCommandState;

class CMyView : public CColorEditView, private TypingObserver {
    Q_OBJECT

public:
    explicit CMyView(QWidget* parent = nullptr);
    // Saves the editor's switches with the build settings as the build session goes.
    ~CMyView() override;

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
    // クリップボードの履歴: pastes a remembered text as one undoable step.
    void OnClipboardHistory();
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
    bool OnLeftButtonDown(QMouseEvent* event) override;
    void OnContextMenu(const QPoint& globalPos) override;
    void OnTextNotFound(const std::string& find) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    void SetUpEditing();
    // TypingObserver: auto-indent and the hint around each typed character.
    void BeforeChar(unsigned c) override;
    void AfterChar(unsigned c) override;

    CLineNumberWnd* gutter_ = nullptr;
    AutoIndenter indenter_;
    CharPlan plan_; // of the character being typed
    LineIndicator indicator_;
    QTimer indicatorTimer_; // single shot at idle after a change of text or selection
    bool imeOpen_ = true;
    QString linePaneText_;

    // ---- character codes and HTML export (MyViewConvert.cpp) -----------------------------
public:
    void RegisterConvertCommands(CommandTable& table);
    // 文字コード変換: JIS or EUC-JP text becomes Shift_JIS in one undoable step; anything else
    // stays, without a message.
    void OnCodeConvert();
    // UTF-8 から変換: strictly valid UTF-8 becomes code page 932 in one undoable step. Text that
    // is not UTF-8 gets a beep; a character the code page lacks, a message naming it and its
    // line; nothing changes in either case.
    void OnUtf8Convert();
    // 文字コード: the document's text converted to `encoding` in one undoable step, which new
    // documents then get too. A character code page 932 lacks, or a byte that is no code
    // page 932 character, is named with its line, and nothing changes.
    void OnSetEncoding(Encoding encoding);
    // The status pane of the document's encoding and line ends.
    void UpdateFormatPane();
    // HTML 出力: the coloured listing of the text, saved where the user says.
    void OnExportHtml();
    // The template file's text in place of the selection, as it is (up to a NUL byte).
    void ApplyTemplate(const std::string& name);

    // ---- printing (MyViewPrint.cpp) ------------------------------------------------------
    // Prints the pages the printer asks for (all, or its from-page to to-page): the text in
    // the editor font, long lines wrapped, a header with the path and rule, a footer with rule,
    // page number and " Mireka". False when the printer could not be started.
    // With `layoutOnly` the pages are counted and nothing is drawn.
    bool PrintDocument(QPrinter& printer, bool layoutOnly = false);
    // The page holding the caret at the last PrintDocument (1-based), and the page count.
    [[nodiscard]] int CaretPage() const noexcept { return caretPage_; }
    [[nodiscard]] int PrintedPageCount() const noexcept { return printedPages_; }

private:
    // The whole text replaced through the undo history: one deletion and one insertion that
    // one Undo takes back together.
    void ReplaceAllWithUndo(const std::string& text);
    int caretPage_ = 1;
    int printedPages_ = 0;
    // The page starts of the last layout, kept while text and page are the same.
    struct PrintCache {
        std::uint64_t revision = 0;
        int columns = 0, rowsPerPage = 0, tabWidth = 0;
        Encoding encoding = Encoding::Cp932;
        std::vector<Offset> starts;
    } printCache_;

    // ---- Build and run (MyViewBuild.cpp) ----
public:
    // The compile, run, debugger, command, terminal and toolchain commands, and the report.
    void RegisterBuildCommands(CommandTable& table);
    // The compile or command this view runs, and the build settings.
    [[nodiscard]] BuildSession& Build() noexcept { return *build_; }
    [[nodiscard]] BuildSettings& GetBuildSettings() noexcept;
    [[nodiscard]] const BuildSettings& GetBuildSettings() const noexcept;
    // No compile or command is running.
    [[nodiscard]] bool IsBuildReady() const noexcept;
    // A compile or command is running (the stop command is enabled).
    [[nodiscard]] bool IsBuildRunning() const noexcept;
    // Told every text a build shows in the output window, right after the frame has shown it,
    // with whether the build commands were enabled at that moment (interface thread; tests).
    using BuildOutputObserver = std::function<void(const std::string& text, bool ready)>;
    void SetBuildOutputObserver(BuildOutputObserver observer);

private:
    // Makes the build session and applies its settings to the editor; the toolchain selection
    // waits for the first show.
    void SetUpBuild();
    void OnFirstShowBuild();
    // Hands the editor's switches to the build settings, ends the session (which saves them)
    // and removes the run files.
    void EndBuild();
    [[nodiscard]] int SelectedToolchain() const;
    void SetSelectedToolchain(int kind);
    [[nodiscard]] std::string DocumentPath() const;
    [[nodiscard]] BuildCommandState CommandState() const;
    bool SaveBeforeBuild();
    void OnBuildCompile(bool debug);
    void OnBuildCompileResponse();
    void OnBuildCommand();
    void RunProgram(const std::string& path, const std::optional<std::string>& arguments);
    void RunWithArguments(const std::string& path, std::string& lastArguments);
    void OnDebugger();
    void OnDosWindow();
    void OnChooseResponseFile();
    void OnSwitchToolchain();
    void OnBorlandHelp();
    void OnToolchainSettings(ToolchainKind kind);
    // レポート: the environment report in its dialog.
    void OnReport();

    // Made with the view, ended explicitly by its destructor.
    std::unique_ptr<BuildSession> build_;
    // The arguments last confirmed for the program and for the response file's program.
    std::string m_strLastArguments;
    std::string m_strLastResponseArguments;
    // ---- end of build and run ----
};

} // namespace mireka
