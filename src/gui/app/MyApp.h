// The application object: start-up, the recent-file list, opening documents and exit.
#pragma once

#include "core/app/RecentFileList.h"
#include "gui/base/Prompts.h"
#include "gui/document/MyDoc.h"

#include <memory>
#include <string>
#include <vector>

class QApplication;
class QString;

namespace mireka {

class CDocumentRecovery;
class CMainFrame;
class QtSettingsStore;
class SettingsStore;

class CMyApp {
public:
    // Owns the QApplication it creates.
    CMyApp(int& argc, char** argv);
    // Runs inside an existing QApplication (tests).
    CMyApp();
    ~CMyApp();
    CMyApp(const CMyApp&) = delete;
    CMyApp& operator=(const CMyApp&) = delete;

    // Start-up, the event loop, exit.
    int Run();
    // `arguments` are the command line's words after the program's name, as the system passed
    // them (a file name's bytes need not be valid UTF-8). False ends the program (a file named on
    // the command line that could not be opened).
    bool InitInstance(const std::vector<std::string>& arguments);
    void ExitInstance();

    // Every document open goes through here: long-path form, full clean path, save prompt, load.
    bool OpenDocumentFile(std::string path);
    void OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(int index);

    [[nodiscard]] CMainFrame* MainFrame() const noexcept { return frame_.get(); }
    [[nodiscard]] CMyDoc* Document() const noexcept { return doc_.get(); }
    [[nodiscard]] CDocumentRecovery* Recovery() const noexcept { return recovery_.get(); }
    [[nodiscard]] RecentFileList& Recent() noexcept { return recent_; }
    [[nodiscard]] FileDialogMemory& DialogMemory() noexcept { return memory_; }
    // The message boxes and file dialogs of the frame and the document.
    [[nodiscard]] Prompts& GetPrompts() const noexcept { return prompts_; }
    // The pages the print preview shows side by side ("PreviewPages"; 0: never chosen).
    [[nodiscard]] int PreviewPages() const noexcept { return previewPages_; }
    void SetPreviewPages(int pages) noexcept { previewPages_ = pages; }

private:
    void RegisterCommands();
    void AfterDocumentChange();
    void SayCannotSaveSettings(const QString& file);

    std::unique_ptr<QApplication> qapp_;
    Prompts& prompts_ = Prompts::Current(); // a test installs its own before making the app
    std::vector<std::string> arguments_;    // the command line's own bytes
    std::unique_ptr<SettingsStore> store_;
    QtSettingsStore* reportingStore_ = nullptr; // the store whose refused writes are said here
    RecentFileList recent_{4};
    FileDialogMemory memory_;
    int previewPages_ = 0;
    std::unique_ptr<CDocumentRecovery> recovery_; // goes before the document and its view
    bool lastOpenCancelled_ = false;              // the last open stopped at the save prompt
    std::unique_ptr<CMyDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace mireka
