// The manual viewer: a modeless window with the index of a manual at the left, its numbered
// lines at the right, an incremental search over the index, jumps from an entry to its line and
// copying of a line. It shows either the LSI C-86 manual of the configured installation or the
// C library reference.
#pragma once

#include "core/app/Manual.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace mireka {

class ManualLinesModel;
class ManualIndexModel;

// An index ready for the list: its entries and their search.
struct ManualIndexData {
    std::vector<ManualIndexEntry> entries;
    ManualIndexSearch search;
    explicit ManualIndexData(std::vector<ManualIndexEntry> e)
        : entries(std::move(e)), search(entries) {}
};

// A manual with its index, as the C library reference hands them over.
struct ManualContent {
    std::shared_ptr<const ManualLines> lines;
    std::shared_ptr<const ManualIndexData> index;
};

class CManualDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kLsiCaption = "LSI C-86 Ver.3.30 試食版 ユーザーズマニュアル";
    static constexpr const char* kReferenceCaption = "C ライブラリ リファレンス";

    // Created hidden; loads the index at `indexPath` (the shipped LSICMAN.TXT), telling the user
    // when it cannot be read.
    CManualDlg(QWidget* parent, const std::string& indexPath);
    ~CManualDlg() override;

    // The LSI C-86 manual at `manualPath`, loaded when it differs (without regard to case) from
    // the one last tried; `findWord` (code page 932), when not empty, goes into the find box.
    void ShowLsiManual(const std::string& manualPath, const std::string& findWord);
    // The C library reference; `key` tells one build of it from another, and an unchanged
    // reference keeps its place.
    void ShowReference(const ManualContent& content, const std::string& key,
                       const std::string& findWord);
    // The key of the reference shown, empty while the LSI C-86 manual is.
    [[nodiscard]] const std::string& ShownReferenceKey() const noexcept { return referenceKey_; }

    // The controls, for tests.
    [[nodiscard]] QLineEdit* FindEdit() const noexcept { return findEdit_; }
    [[nodiscard]] QListView* IndexList() const noexcept { return indexList_; }
    [[nodiscard]] QListView* ManualList() const noexcept { return manualList_; }
    [[nodiscard]] QPushButton* CopyButton() const noexcept { return copyButton_; }
    [[nodiscard]] QLabel* StatusLabel() const noexcept { return status_; }
    [[nodiscard]] int IndexExtent() const noexcept;

    // Incremental search, jump and copy, as the controls trigger them.
    void OnFindChanged();
    void OnJump();
    void OnCopy();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Source { None, Lsi, Reference };

    void LoadIndex(const std::string& path);
    void SetIndex(std::shared_ptr<const ManualIndexData> index);
    void SetLines(std::shared_ptr<const ManualLines> lines);
    void ScrollManualTo(long line, bool makeCurrent);
    void ShowWith(const std::string& findWord);

    QLineEdit* findEdit_ = nullptr;
    QListView* indexList_ = nullptr;
    QListView* manualList_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QLabel* status_ = nullptr;
    ManualIndexModel* indexModel_ = nullptr;
    ManualLinesModel* linesModel_ = nullptr;

    Source source_ = Source::None;
    std::shared_ptr<const ManualIndexData> lsiIndex_;
    std::string m_strManualPath; // the LSI C-86 manual last tried, for the run of the program
    std::string referenceKey_;
};

} // namespace mireka
