// A dock widget that keeps its three sizes (docked top or bottom, docked left or right,
// floating) with their minimums between runs, and its variant with a gripper and close button.
#pragma once

#include "core/widgets/BarSizes.h"

#include <QDockWidget>

#include <string_view>

class QMainWindow;

namespace mireka {

class CDockingBar : public QDockWidget {
    Q_OBJECT

public:
    // All three sizes start at `size`. `id` names the bar in the saved layout and in its size
    // section.
    CDockingBar(const QString& title, QMainWindow* frame, BarSize size, int id);

    [[nodiscard]] int Id() const noexcept { return id_; }
    [[nodiscard]] const BarSizes& Sizes() const noexcept { return sizes_; }
    void SetSizes(const BarSizes& sizes) { sizes_ = sizes; }

    // The six sizes from "<profile>-SCBar-<id>", each at least its minimum; and back.
    void LoadState(std::string_view profile);
    bool SaveState(std::string_view profile) const;

    // Whether the bar lies along the top or bottom edge (not floating).
    [[nodiscard]] bool IsHorz() const;
    // The size the bar's present place asks for, and the minimum there.
    [[nodiscard]] BarSize PlaceSize() const noexcept;
    [[nodiscard]] BarSize PlaceMinimum() const noexcept;
    // Gives the bar the size of its place and from then on follows the user's resizing.
    void ApplyPlaceSize();

signals:
    // The bar moved to another edge, floated or docked.
    void PlaceChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnPlaceChanged();
    [[nodiscard]] BarSize* PlaceSizeSlot() noexcept;

    QMainWindow* frame_;
    int id_;
    BarSizes sizes_;
    // Off until the first ApplyPlaceSize: the sizes the layout tries before the window is first
    // shown are not the user's.
    bool tracking_ = false;
};

// With a gripper strip (along the left edge while docked at the top or bottom, along the top
// edge otherwise) holding a small close button.
class CDockingBarG : public CDockingBar {
    Q_OBJECT

public:
    CDockingBarG(const QString& title, QMainWindow* frame, BarSize size, int id);

    // The close button, in the coordinates of the gripper strip (tests press it).
    [[nodiscard]] QWidget* Gripper() const noexcept { return gripper_; }
    [[nodiscard]] QRect CloseButtonRect() const;

private:
    void UpdateOrientation();

    QWidget* gripper_;
};

} // namespace mireka
