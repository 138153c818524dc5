// The document: new, open, save, save as and the save prompt.
#include "gui/document/MyDoc.h"

#include "core/app/RecentFileList.h"
#include "core/base/Paths.h"
#include "core/document/CodeConvert.h"
#include "core/document/LoadText.h"
#include "core/document/SaveName.h"
#include "gui/base/NativePath.h"
#include "gui/base/Prompts.h"
#include "gui/base/WaitCursor.h"
#include "gui/document/MyView.h"
#include "platform/FileSystem.h"
#include "platform/SafeFile.h"

#include <QApplication>

#include <memory>

namespace mireka {

CMyDoc::CMyDoc(FileDialogMemory& memory, RecentFileList& recent, Prompts& prompts, QObject* parent)
    : QObject(parent), memory_(memory), recent_(recent), prompts_(prompts),
      title_(QStringLiteral("untitled")) {}

const QString& CMyDoc::FileFilter() {
    static const QString filter = QStringLiteral(
        "C, C++ ソース ファイル (*.c;*.cpp)|*.c;*.cpp|C インクルード ファイル (*.h)|*.h|"
        "レスポンス ファイル (*.rsp)|*.rsp|テキスト ファイル (*.txt)|*.txt|"
        "すべてのファイル (*.*)|*.*||");
    return filter;
}

QWidget* CMyDoc::DialogParent() const {
    return view_ ? view_->window() : nullptr;
}

void CMyDoc::SetModifiedFlag(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    emit TitleChanged();
}

void CMyDoc::SetTitle(const QString& title) {
    title_ = title;
    emit TitleChanged();
}

void CMyDoc::SetPathName(const std::string& path, bool addToRecent) {
    path_ = path;
    title_ = DisplayPath(GetFileNameExt(path));
    if (addToRecent) recent_.Add(path);
    emit TitleChanged();
}

void CMyDoc::SetFormat(const FileFormat& format) {
    format_ = format;
    if (view_) {
        view_->Session().SetEncoding(format.encoding);
        view_->UpdateFormatPane();
    }
}

bool CMyDoc::OnNewDocument() {
    if (view_) view_->DeleteContents();
    SetFormat(ReadNewDocumentFormat());
    path_.clear();
    modified_ = false;
    SetTitle(QStringLiteral("untitled"));
    return true;
}

bool CMyDoc::OnOpenDocument(const std::string& path, bool* contentsLost) {
    if (contentsLost) *contentsLost = false;
    const auto tooLarge = [this] {
        prompts_.Message(DialogParent(), QStringLiteral("ファイルが大きすぎて開けません。"),
                         QMessageBox::Warning);
        return false;
    };
    const FileStatus status = QueryFile(path);
    if (status.Exists() && status.isRegular && status.size > kMaxFileSize) {
        // As when the file's length is read after opening it: the document is already emptied.
        if (view_) view_->DeleteContents();
        if (contentsLost) *contentsLost = true;
        return tooLarge();
    }
    const FileFormat newDocument = ReadNewDocumentFormat();
    // Read straight into the editor's storage: the file's bytes are copied once.
    const auto read = [&](EditorTextLoader& loader) {
        std::string error;
        WaitCursor wait;
        if (!ReadFileInPieces(
                path, [&loader](std::string_view piece) { return loader.Feed(piece); }, &error)) {
            prompts_.Message(DialogParent(),
                             QStringLiteral("%1 を開けません。\n%2")
                                 .arg(DisplayPath(path), QString::fromStdString(error)),
                             QMessageBox::Warning);
            return false;
        }
        loader.Finish();
        return true;
    };
    const std::size_t capacity =
        view_ ? view_->Control().Buffer().ChunkCapacity() : TextBuffer::kDefaultChunkCapacity;
    auto built =
        std::make_unique<TextBuffer::Builder>(static_cast<std::size_t>(status.size), capacity);
    auto loader = std::make_unique<EditorTextLoader>(*built, true);
    if (!read(*loader)) return false;
    if (loader->BomDropped() && !loader->Detect(newDocument.encoding).bom) {
        // The mark's bytes lead into a file that is no UTF-8: they are text, as they always were.
        built =
            std::make_unique<TextBuffer::Builder>(static_cast<std::size_t>(status.size), capacity);
        loader = std::make_unique<EditorTextLoader>(*built, false);
        if (!read(*loader)) return false;
    }
    if (view_) view_->DeleteContents();
    if (contentsLost) *contentsLost = true;
    modified_ = true; // dirty while loading, as a failure leaves an emptied document
    if (loader->TooLarge()) return tooLarge();
    SetFormat(
        OpenedFormat(loader->Detect(newDocument.encoding), loader->LineEndsSeen(), newDocument));
    if (view_) {
        WaitCursor wait;
        view_->SetWindowText(std::move(*built));
    }
    modified_ = false;
    emit TitleChanged();
    return true;
}

void CMyDoc::RestoreDocument(const std::string& path, std::string_view bytes,
                             const std::optional<FileFormat>& format) {
    OnNewDocument();
    if (format) {
        SetFormat(*format);
    } else { // a record that does not say: the bytes' encoding, and CR LF as saves always were
        SetFormat({DetectEncoding(bytes, format_.encoding).encoding, LineEnds::CrLf, false});
    }
    if (view_) {
        WaitCursor wait;
        view_->SetWindowText(bytes);
    }
    if (!path.empty()) SetPathName(path, false);
    modified_ = true;
    emit TitleChanged();
}

bool CMyDoc::OnSaveDocument(const std::string& path) {
    std::string error;
    const std::string bytes = FileBytes(view_ ? view_->GetWindowText() : std::string(), format_);
    bool ok = false;
    {
        WaitCursor wait;
        ok = WriteFileSafely(path, bytes, &error);
    }
    if (!ok) {
        prompts_.Message(DialogParent(),
                         QStringLiteral("%1 に保存できません。\n%2")
                             .arg(DisplayPath(path), QString::fromStdString(error)),
                         QMessageBox::Warning);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CMyDoc::DoSave(const std::string& pathName, bool replace) {
    std::string name = pathName;
    if (name.empty()) {
        name = path_;
        if (replace && name.empty()) name = ProposedSaveName(ToNative(title_));
        if (!memory_.folder.empty()) ChangeDirectory(memory_.folder);
        const auto choice = prompts_.SaveFile(DialogParent(), FileFilter(), memory_.filterIndex,
                                              DisplayPath(name), QStringLiteral("c"));
        if (!choice) return false;
        name = FullPath(choice->path);
        memory_.folder = GetFileDir(name);
        memory_.filterIndex = choice->filterIndex;
    }
    // A failed save never touches the file on disk, so there is nothing to clean up here.
    if (!OnSaveDocument(name)) return false;
    if (replace) SetPathName(name);
    return true;
}

bool CMyDoc::DoFileSave() {
    const FileStatus status = QueryFile(path_);
    if (path_.empty() || !status.Exists() || !status.writable) return DoSave({}, true);
    return DoSave(path_, true);
}

bool CMyDoc::SaveModified() {
    if (!modified_) return true;
    const QString name = path_.empty() ? title_ : DisplayPath(path_);
    const auto answer = prompts_.Message(
        DialogParent(), QStringLiteral("%1 への変更を保存しますか?").arg(name),
        QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) return DoFileSave();
    return true;
}

} // namespace mireka
