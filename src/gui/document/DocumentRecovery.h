// Keeps the text of a modified document in a recovery file, written at idle on a thread of its
// own, and offers at start what instances that ended without saving left behind.
#pragma once

#include "core/document/Recovery.h"
#include "platform/RecoveryStore.h"

#include <QObject>
#include <QTimer>

#include <string>

class QWidget;

namespace mireka {

class CMyDoc;
class CMyView;

class CDocumentRecovery final : public QObject {
    Q_OBJECT

public:
    // A pause in typing this long writes the text; so does this much time since the first
    // change that has not been written, however long the typing goes on.
    static constexpr int kIdleMs = 2000;
    static constexpr int kLatestMs = 30000;

    CDocumentRecovery(CMyDoc& doc, CMyView& view,
                      std::string folder = RecoveryStore::DefaultFolder());

    // At start: offers each text that an instance no longer running left, restoring the first
    // one the user takes. Damaged files are reported and deleted; files of a newer program are
    // reported and kept. True when a text was restored.
    bool OfferLeftovers(QWidget* parent);

    // Hands the text (when modified) to the writer now instead of at the next pause.
    void Write();
    // The same, then waits until it is written.
    void WriteNow();
    [[nodiscard]] const RecoveryStore& Store() const noexcept { return store_; }

private:
    void OnTextChanged();
    void OnDocumentChanged();
    [[nodiscard]] QString Question(const RecoveredText& recovered) const;

    CMyDoc& doc_;
    CMyView& view_;
    QTimer idle_;
    QTimer latest_;
    // The file on disk as it was when loaded or last saved.
    RecoveryDocument disk_;
    bool written_ = false; // a recovery file may exist
    QWidget* parent_ = nullptr;
    RecoveryStore store_; // last: its writer thread ends before the rest goes
};

} // namespace mireka
