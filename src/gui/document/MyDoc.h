// The document: the file's name, title and modified flag; its text lives in the view. Load and
// save move bytes between the file and the view, byte for byte apart from line-end normalisation.
#pragma once

#include "core/document/FileFormat.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace mireka {

class CMyView;
class Prompts;
class RecentFileList;

// The remembered folder and filter of the Open and Save As dialogs.
struct FileDialogMemory {
    std::string folder; // with a trailing separator; empty when none
    int filterIndex = 1;
};

class CMyDoc : public QObject {
    Q_OBJECT

public:
    CMyDoc(FileDialogMemory& memory, RecentFileList& recent, Prompts& prompts,
           QObject* parent = nullptr);
    [[nodiscard]] Prompts& GetPrompts() const noexcept { return prompts_; }

    void SetView(CMyView* view) { view_ = view; }
    [[nodiscard]] CMyView* View() const noexcept { return view_; }

    [[nodiscard]] const std::string& GetPathName() const noexcept { return path_; }
    [[nodiscard]] const QString& GetTitle() const noexcept { return title_; }
    [[nodiscard]] bool IsModified() const noexcept { return modified_; }
    void SetModifiedFlag(bool modified = true);
    void SetPathName(const std::string& path, bool addToRecent = true);
    void SetTitle(const QString& title);

    // A new empty document "untitled".
    bool OnNewDocument();
    // Loads `path` into the view; false after telling the user why. `contentsLost` says
    // whether the previous text was already gone when it failed.
    bool OnOpenDocument(const std::string& path, bool* contentsLost = nullptr);
    // Puts text saved for recovery back: `bytes` as the editor held them, under `path` (empty
    // for an untitled document), modified, so that nothing is lost until the user saves. Without
    // a recorded format the encoding is read from the bytes.
    void RestoreDocument(const std::string& path, std::string_view bytes,
                         const std::optional<FileFormat>& format = std::nullopt);
    // The encoding, line ends and byte-order mark the file is saved with. Setting it also
    // hands the encoding to the view's edit session.
    [[nodiscard]] const FileFormat& GetFormat() const noexcept { return format_; }
    void SetFormat(const FileFormat& format);
    // Save and Save As: with an empty `pathName` the Save As dialog asks for the name.
    bool DoSave(const std::string& pathName, bool replace = true);
    // The Save command: Save As when there is no name yet or the file is read-only.
    bool DoFileSave();
    // Offers to save a modified document; false when the user cancelled.
    bool SaveModified();

    // The filter string of the Open and Save As dialogs.
    static const QString& FileFilter();

signals:
    void TitleChanged();

private:
    [[nodiscard]] QWidget* DialogParent() const;
    bool OnSaveDocument(const std::string& path);

    FileDialogMemory& memory_;
    RecentFileList& recent_;
    Prompts& prompts_;
    CMyView* view_ = nullptr;
    std::string path_;
    QString title_;
    bool modified_ = false;
    FileFormat format_ = ReadNewDocumentFormat();
};

} // namespace mireka
