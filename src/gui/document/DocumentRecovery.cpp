// Recovery of unsaved text.
#include "gui/document/DocumentRecovery.h"

#include "gui/base/Prompts.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "platform/FileSystem.h"

#include <QDateTime>
#include <QMetaObject>

#include <vector>

namespace mireka {

namespace {

RecoveryDocument DiskState(const std::string& path) {
    RecoveryDocument d;
    d.path = path;
    if (path.empty()) return d;
    const FileStatus st = QueryFile(path);
    if (st.Exists() && st.isRegular) {
        d.diskSize = static_cast<std::int64_t>(st.size);
        d.diskMtime = st.mtime;
    }
    return d;
}

} // namespace

CDocumentRecovery::CDocumentRecovery(CMyDoc& doc, CMyView& view, std::string folder)
    : doc_(doc), view_(view), store_(std::move(folder), [this](const std::string& message) {
          // The writer thread: the interface thread says it, once, and work goes on.
          QMetaObject::invokeMethod(
              this,
              [this,
               text = QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()))] {
                  doc_.GetPrompts().Message(parent_ ? parent_ : &view_, text, QMessageBox::Warning);
              },
              Qt::QueuedConnection);
      }) {
    idle_.setSingleShot(true);
    idle_.setInterval(kIdleMs);
    latest_.setSingleShot(true);
    latest_.setInterval(kLatestMs);
    connect(&idle_, &QTimer::timeout, this, &CDocumentRecovery::Write);
    connect(&latest_, &QTimer::timeout, this, &CDocumentRecovery::Write);
    connect(&view_, &CEditView::TextChanged, this, &CDocumentRecovery::OnTextChanged);
    connect(&doc_, &CMyDoc::TitleChanged, this, &CDocumentRecovery::OnDocumentChanged);
    disk_ = DiskState(doc_.GetPathName());
}

void CDocumentRecovery::OnTextChanged() {
    // Only a restart of a timer per keystroke; the text is looked at when typing pauses.
    idle_.start();
    if (!latest_.isActive()) latest_.start();
}

void CDocumentRecovery::OnDocumentChanged() {
    if (doc_.IsModified()) return;
    // Saved, new or opened: nothing is left to recover.
    idle_.stop();
    latest_.stop();
    disk_ = DiskState(doc_.GetPathName());
    if (written_) {
        store_.Remove();
        written_ = false;
    }
}

void CDocumentRecovery::Write() {
    idle_.stop();
    latest_.stop();
    if (!doc_.IsModified()) return;
    RecoveryDocument d = disk_;
    d.path = doc_.GetPathName();
    d.format = doc_.GetFormat();
    store_.Schedule(std::move(d), view_.Control().Buffer().Snapshot());
    written_ = true;
}

void CDocumentRecovery::WriteNow() {
    Write();
    store_.Flush();
}

QString CDocumentRecovery::Question(const RecoveredText& recovered) const {
    const RecoveryDocument& d = recovered.info.document;
    const QString name = d.path.empty() ? QStringLiteral("untitled") : DisplayPath(d.path);
    const QString when = QDateTime::fromSecsSinceEpoch(recovered.info.savedAt)
                             .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    QString text =
        QStringLiteral("保存されていない編集内容が残っています。\n%1 (%2)\n").arg(name, when);
    if (!d.path.empty() && d.diskSize >= 0) {
        const FileStatus now = QueryFile(d.path);
        if (!now.Exists())
            text += QStringLiteral("元のファイルはその後、削除されたか移動されています。\n");
        else if (static_cast<std::int64_t>(now.size) != d.diskSize || now.mtime != d.diskMtime)
            text += QStringLiteral("元のファイルはその後、ほかのプログラムで変更されています。\n");
    }
    return text + QStringLiteral("復元しますか？");
}

bool CDocumentRecovery::OfferLeftovers(QWidget* parent) {
    parent_ = parent;
    bool restored = false;
    std::vector<RecoveryOrphan> orphans = store_.FindOrphans();
    for (RecoveryOrphan& orphan : orphans) {
        RecoveredText recovered = RecoveryStore::Read(orphan);
        if (recovered.error != RecoveryError::None) {
            doc_.GetPrompts().Message(parent, QString::fromStdString(recovered.message),
                                      QMessageBox::Warning);
            // A damaged file helps nobody; a newer program's may still help that program.
            if (recovered.error == RecoveryError::Corrupt)
                RecoveryStore::Discard(std::move(orphan));
            continue;
        }
        // One document at a time: the others wait for a later start.
        if (restored) continue;
        if (doc_.GetPrompts().Message(parent, Question(recovered), QMessageBox::Question,
                                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            RecoveryStore::Discard(std::move(orphan));
            continue;
        }
        doc_.RestoreDocument(recovered.info.document.path, recovered.text,
                             recovered.info.document.format);
        disk_ = recovered.info.document;
        // This instance keeps the text safe before the old file goes.
        WriteNow();
        RecoveryStore::Discard(std::move(orphan));
        restored = true;
    }
    return restored;
}

} // namespace mireka
