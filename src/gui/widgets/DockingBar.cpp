// The resizable docking bar and its gripper strip.
#include "gui/widgets/DockingBar.h"

#include "core/base/Profile.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace mireka {

namespace {

constexpr int kCloseBox = 11;
constexpr int kRidgeGap = 3;

// The strip QDockWidget uses as its title bar: ridges to grab, the close box, and the title
// while floating. Presses outside the close box are left to the dock widget, which drags.
class GripperStrip : public QWidget {
public:
    explicit GripperStrip(CDockingBarG* bar) : QWidget(bar), bar_(bar) { setMouseTracking(true); }

    [[nodiscard]] QRect CloseRect() const {
        if (Vertical()) return {(width() - kCloseBox) / 2, 1, kCloseBox, kCloseBox};
        return {width() - kCloseBox - 1, (height() - kCloseBox) / 2, kCloseBox, kCloseBox};
    }

    [[nodiscard]] QSize sizeHint() const override {
        const int thick = Thickness();
        return Vertical() ? QSize(thick, kCloseBox + 2 * thick)
                          : QSize(kCloseBox + 2 * thick, thick);
    }
    [[nodiscard]] QSize minimumSizeHint() const override {
        // Room for the close box, so that the bar can shrink to its minimum.
        const int thick = Thickness();
        return Vertical() ? QSize(thick, kCloseBox + 2) : QSize(kCloseBox + 2, thick);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QPalette& pal = palette();
        const QColor light = pal.color(QPalette::Light);
        const QColor dark = pal.color(QPalette::Dark);
        if (bar_->isFloating()) {
            p.setPen(pal.color(QPalette::WindowText));
            p.drawText(QRect(3, 0, CloseRect().left() - 6, height()),
                       Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, bar_->windowTitle());
        } else if (Vertical()) {
            const int x = width() / 2 - 2;
            for (int dx : {0, kRidgeGap}) {
                p.setPen(light);
                p.drawLine(x + dx, kCloseBox + 4, x + dx, height() - 3);
                p.setPen(dark);
                p.drawLine(x + dx + 1, kCloseBox + 4, x + dx + 1, height() - 3);
            }
        } else {
            const int y = height() / 2 - 2;
            for (int dy : {0, kRidgeGap}) {
                p.setPen(light);
                p.drawLine(2, y + dy, width() - kCloseBox - 5, y + dy);
                p.setPen(dark);
                p.drawLine(2, y + dy + 1, width() - kCloseBox - 5, y + dy + 1);
            }
        }
        PaintCloseBox(p, light, dark);
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton &&
            CloseRect().contains(event->position().toPoint())) {
            pushed_ = true;
            update();
            event->accept();
            return;
        }
        event->ignore();
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        const bool over = CloseRect().contains(event->position().toPoint());
        if (over != hot_) {
            hot_ = over;
            update(CloseRect());
        }
        if (pushed_)
            event->accept();
        else
            event->ignore();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (!pushed_) {
            event->ignore();
            return;
        }
        pushed_ = false;
        update();
        event->accept();
        if (event->button() == Qt::LeftButton && CloseRect().contains(event->position().toPoint()))
            bar_->close();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        // A double-click on the close box is two clicks on it, not a float toggle.
        if (CloseRect().contains(event->position().toPoint()))
            event->accept();
        else
            event->ignore();
    }

    void leaveEvent(QEvent*) override {
        hot_ = false;
        update(CloseRect());
    }

private:
    [[nodiscard]] bool Vertical() const {
        return bar_->features().testFlag(QDockWidget::DockWidgetVerticalTitleBar);
    }
    [[nodiscard]] int Thickness() const {
        if (bar_->isFloating()) return std::max(kBarGripperSize, fontMetrics().height() + 4);
        return kBarGripperSize + 2;
    }

    void PaintCloseBox(QPainter& p, const QColor& light, const QColor& dark) const {
        const QRect r = CloseRect();
        const bool sunken = pushed_ && hot_;
        if (sunken || hot_) {
            p.setPen(sunken ? dark : light);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(sunken ? light : dark);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
        }
        // The cross of the close glyph, one pixel lower and to the right while pushed.
        const int shift = sunken ? 1 : 0;
        const QRectF x = QRectF(r).adjusted(3 + shift, 3 + shift, -3 + shift, -3 + shift);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1.4));
        p.drawLine(x.topLeft(), x.bottomRight());
        p.drawLine(x.topRight(), x.bottomLeft());
    }

    CDockingBarG* bar_;
    bool pushed_ = false;
    bool hot_ = false;
};

} // namespace

CDockingBar::CDockingBar(const QString& title, QMainWindow* frame, BarSize size, int id)
    : QDockWidget(title, frame), frame_(frame), id_(id), sizes_(BarSizes::All(size)) {
    setObjectName(QStringLiteral("Bar%1").arg(id));
    setAllowedAreas(Qt::AllDockWidgetAreas);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    connect(this, &QDockWidget::dockLocationChanged, this, &CDockingBar::OnPlaceChanged);
    connect(this, &QDockWidget::topLevelChanged, this, &CDockingBar::OnPlaceChanged);
}

void CDockingBar::LoadState(std::string_view profile) {
    if (const SettingsStore* store = GetProfileStore()) LoadBarSizes(*store, profile, id_, sizes_);
}

bool CDockingBar::SaveState(std::string_view profile) const {
    SettingsStore* store = GetProfileStore();
    return store && SaveBarSizes(*store, profile, id_, sizes_);
}

bool CDockingBar::IsHorz() const {
    if (isFloating()) return false;
    const Qt::DockWidgetArea area = frame_->dockWidgetArea(const_cast<CDockingBar*>(this));
    return area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
}

BarSize CDockingBar::PlaceSize() const noexcept {
    if (isFloating()) return sizes_.FloatingReported();
    return IsHorz() ? sizes_.horz : sizes_.vert;
}

BarSize CDockingBar::PlaceMinimum() const noexcept {
    if (isFloating()) return kMinFloatSize;
    return IsHorz() ? kMinHorzSize : kMinVertSize;
}

BarSize* CDockingBar::PlaceSizeSlot() noexcept {
    if (isFloating()) return &sizes_.floating;
    return IsHorz() ? &sizes_.horz : &sizes_.vert;
}

void CDockingBar::ApplyPlaceSize() {
    const BarSize minimum = PlaceMinimum();
    setMinimumSize(minimum.cx, minimum.cy);
    const BarSize size = ClampToMinimum(PlaceSize(), minimum);
    if (isFloating()) {
        resize(size.cx, size.cy);
    } else if (!isHidden()) { // a hidden bar comes back at the size the layout kept for it
        if (IsHorz())
            frame_->resizeDocks({this}, {size.cy}, Qt::Vertical);
        else
            frame_->resizeDocks({this}, {size.cx}, Qt::Horizontal);
    }
    tracking_ = true;
}

void CDockingBar::OnPlaceChanged() {
    emit PlaceChanged();
    // The layout first gives the bar a size of its own choosing; the stored size of the new place
    // follows once the move has settled.
    if (!tracking_ || !frame_->isVisible()) return;
    tracking_ = false;
    QTimer::singleShot(0, this, [this] {
        if (frame_->isVisible()) ApplyPlaceSize();
    });
}

void CDockingBar::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    if (!tracking_ || !isVisible()) return;
    if (BarSize* slot = PlaceSizeSlot()) *slot = BarSize{width(), height()};
}

CDockingBarG::CDockingBarG(const QString& title, QMainWindow* frame, BarSize size, int id)
    : CDockingBar(title, frame, size, id), gripper_(new GripperStrip(this)) {
    setTitleBarWidget(gripper_);
    connect(this, &CDockingBar::PlaceChanged, this, &CDockingBarG::UpdateOrientation);
    connect(this, &QDockWidget::windowTitleChanged, gripper_, qOverload<>(&QWidget::update));
    UpdateOrientation();
}

QRect CDockingBarG::CloseButtonRect() const {
    return static_cast<GripperStrip*>(gripper_)->CloseRect();
}

void CDockingBarG::UpdateOrientation() {
    // Bars along the top or bottom edge carry the strip at their left, others at their top.
    const bool vertical = IsHorz();
    if (features().testFlag(QDockWidget::DockWidgetVerticalTitleBar) != vertical)
        setFeatures(features().setFlag(QDockWidget::DockWidgetVerticalTitleBar, vertical));
    gripper_->updateGeometry();
    gripper_->update();
}

} // namespace mireka
