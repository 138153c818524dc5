// A button showing a colour swatch that drops down a palette of forty named colours, an
// automatic row and a custom row (the system colour dialog), with the picker's notifications as
// signals.
#pragma once

#include "core/widgets/ColourPalette.h"

#include <QPointer>
#include <QPushButton>

namespace mireka {

class CColorPopup;

class CColorPicker : public QPushButton {
    Q_OBJECT

public:
    enum class SelectionMode { Text = 1, Background = 2 };

    explicit CColorPicker(QWidget* parent = nullptr);
    ~CColorPicker() override;

    // The swatch colour and the caption colour; kAutomaticColour paints the button face and
    // black. Setting one repaints at once.
    void SetBkColour(Colour colour);
    [[nodiscard]] Colour GetBkColour() const noexcept { return background_; }
    void SetTextColour(Colour colour);
    [[nodiscard]] Colour GetTextColour() const noexcept { return text_; }
    // Which of the two a choice in the palette sets.
    void SetSelectionMode(SelectionMode mode) noexcept { mode_ = mode; }
    [[nodiscard]] SelectionMode GetSelectionMode() const noexcept { return mode_; }
    // The colour of the selection mode.
    [[nodiscard]] Colour CurrentColour() const noexcept {
        return mode_ == SelectionMode::Text ? text_ : background_;
    }
    // While the palette is open, moving over a cell already recolours the button.
    void SetTrackSelection(bool on) noexcept { track_ = on; }
    // The labels of the automatic and custom rows; an empty label leaves its row out.
    void SetDefaultText(const QString& text) { defaultText_ = text; }
    void SetCustomText(const QString& text) { customText_ = text; }

    [[nodiscard]] bool IsActive() const noexcept { return !popup_.isNull(); }
    // The palette while it is open (tests).
    [[nodiscard]] CColorPopup* Popup() const noexcept { return popup_; }

signals:
    void SelChange(mireka::Colour colour);    // a cell became hot (2025)
    void DropDown(mireka::Colour colour);     // the palette opened (2026)
    void CloseUp(mireka::Colour colour);      // it closed (2027), before one of the two below
    void SelEndOk(mireka::Colour colour);     // the choice was accepted (2028)
    void SelEndCancel(mireka::Colour colour); // the choice was cancelled (2029)

protected:
    void paintEvent(QPaintEvent* event) override;
    [[nodiscard]] QSize sizeHint() const override;

private:
    friend class CColorPopup;
    void OpenPalette();
    void PlacePalette();
    void OnPaletteHot(Colour colour);
    void OnPaletteEnd(bool accepted, Colour colour);
    void Store(Colour colour);

    Colour background_ = kAutomaticColour;
    Colour text_ = kAutomaticColour;
    SelectionMode mode_ = SelectionMode::Background;
    bool track_ = false;
    QString defaultText_ = QStringLiteral("自動選択");
    QString customText_ = QStringLiteral("カスタマイズ ...");
    QPointer<CColorPopup> popup_;
};

// The palette window: opened by a picker, it reports to it and goes away when a choice ends.
class CColorPopup : public QWidget {
    Q_OBJECT

public:
    CColorPopup(CColorPicker* owner, Colour initial, const QString& defaultText,
                const QString& customText);

    [[nodiscard]] int HotCell() const noexcept { return hot_; }
    [[nodiscard]] int ChosenCell() const noexcept { return chosen_; }
    // The centre of a cell, for pointing at it.
    [[nodiscard]] QPoint CellCentre(int cell) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    [[nodiscard]] QRect CellRect(int cell) const;
    [[nodiscard]] int CellAt(QPoint pos) const;
    void SetHot(int cell);
    void Accept();
    void End(bool accepted, Colour colour);

    QPointer<CColorPicker> owner_;
    Colour initial_;
    QString defaultText_;
    QString customText_;
    PaletteRows rows_;
    int hot_ = kCellNone;
    int chosen_ = kCellNone;
    int box_ = 18;
    int margin_ = 2;
    int labelHeight_ = 0;
    bool ended_ = false;
};

} // namespace mireka
