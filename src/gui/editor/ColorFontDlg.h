// "エディタ フォントの設定": the editor font (fixed-pitch, horizontal fonts only) with its style
// and size, a sample, and the five colours of the syntax colouring on colour-picker buttons. It
// only edits values; the frame applies and stores them.
#pragma once

#include "core/app/FrameSettings.h"

#include <QDialog>
#include <QFont>

class QLabel;
class QListWidget;
class QLineEdit;
class QPushButton;

namespace mireka {

class CColorPicker;

class CColorFontDlg : public QDialog {
    Q_OBJECT

public:
    // The pickers by their template ids.
    enum PickerId {
        kText = 1021,
        kBackground = 1017,
        kKeyword = 1018,
        kComment = 1019,
        kString = 1020
    };

    explicit CColorFontDlg(const QFont& initial, QWidget* parent = nullptr);

    // Note the order: keyword, comment, string, text, background.
    void SetColors(Colour keyword, Colour comment, Colour string, Colour text, Colour background);
    [[nodiscard]] Colour GetKeywordColor() const noexcept { return keyword_; }
    [[nodiscard]] Colour GetCommentColor() const noexcept { return comment_; }
    [[nodiscard]] Colour GetStringColor() const noexcept { return string_; }
    [[nodiscard]] Colour GetTextColor() const noexcept { return text_; }
    [[nodiscard]] Colour GetBackgroundColor() const noexcept { return background_; }
    // The font chosen (valid after OK).
    [[nodiscard]] QFont SelectedFont() const { return font_; }

    // True for a font this dialog offers: its Latin letters share one width, and it is not a
    // vertical ("@") font.
    [[nodiscard]] static bool IsOffered(const QString& family);

    [[nodiscard]] QListWidget* FamilyList() const noexcept { return families_; }
    [[nodiscard]] QListWidget* StyleList() const noexcept { return styles_; }
    [[nodiscard]] QListWidget* SizeList() const noexcept { return sizes_; }
    [[nodiscard]] QLabel* Sample() const noexcept { return sample_; }
    [[nodiscard]] CColorPicker* Picker(PickerId id) const;
    [[nodiscard]] QPushButton* OkButton() const noexcept { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const noexcept { return cancel_; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnFamilyChanged();
    void UpdateSample();
    [[nodiscard]] QFont FontOfSelection() const;
    [[nodiscard]] double InitialPoints() const;
    void SelectSize(double points);

    const QFont initial_;
    QFont font_;
    bool picked_ = false; // the user chose in the lists
    Colour keyword_ = 0, comment_ = 0, string_ = 0, text_ = 0, background_ = 0;
    bool initialised_ = false;
    QListWidget* families_;
    QListWidget* styles_;
    QListWidget* sizes_;
    QLabel* sample_;
    CColorPicker* textPicker_;
    CColorPicker* backgroundPicker_;
    CColorPicker* keywordPicker_;
    CColorPicker* commentPicker_;
    CColorPicker* stringPicker_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace mireka
