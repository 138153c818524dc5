// The colour picker and its palette window.
#include "gui/widgets/ColorPicker.h"

#include "gui/base/DialogRunner.h"
#include "gui/base/QtColour.h"

#include <QApplication>
#include <QColorDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>
#include <qdrawutil.h>

namespace mireka {

// ---- the button --------------------------------------------------------------------------

CColorPicker::CColorPicker(QWidget* parent) : QPushButton(parent) {
    connect(this, &QPushButton::clicked, this, &CColorPicker::OpenPalette);
}

CColorPicker::~CColorPicker() {
    if (popup_) popup_->deleteLater();
}

void CColorPicker::SetBkColour(Colour colour) {
    background_ = colour;
    repaint();
}

void CColorPicker::SetTextColour(Colour colour) {
    text_ = colour;
    repaint();
}

QSize CColorPicker::sizeHint() const {
    const int arrow = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QSize base = QPushButton::sizeHint();
    return {std::max(base.width(), 4 * arrow + 24), std::max(base.height(), arrow + 8)};
}

void CColorPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (IsActive()) option.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);
    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int arrowWidth = inside.height();
    QRect arrow(inside.right() - arrowWidth + 1, inside.top(), arrowWidth, inside.height());
    QRect swatch = inside.adjusted(2, 2, -arrowWidth - 4, -2);
    if (option.state & QStyle::State_Sunken) {
        arrow.translate(1, 1);
        swatch.translate(1, 1);
    }
    // The separator left of the arrow, then the arrow.
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(arrow.left() - 2, arrow.top() + 1, arrow.left() - 2, arrow.bottom() - 1);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(arrow.left() - 1, arrow.top() + 1, arrow.left() - 1, arrow.bottom() - 1);
    QStyleOption arrowOption;
    arrowOption.initFrom(this);
    arrowOption.rect =
        arrow.adjusted(arrowWidth / 4, arrowWidth / 4, -arrowWidth / 4, -arrowWidth / 4);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrowOption, &p, this);
    // The swatch: the button face when disabled or automatic.
    const bool face = !isEnabled() || background_ == kAutomaticColour;
    p.fillRect(swatch, face ? palette().color(QPalette::Button) : ToQColor(background_));
    p.setPen(isEnabled() ? Qt::black : Qt::gray);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
    if (!text().isEmpty()) {
        if (isEnabled()) {
            p.setPen(text_ == kAutomaticColour ? QColor(Qt::black) : ToQColor(text_));
            p.drawText(swatch, Qt::AlignCenter, text());
        } else {
            p.setPen(palette().color(QPalette::Light));
            p.drawText(swatch.translated(1, 1), Qt::AlignCenter, text());
            p.setPen(palette().color(QPalette::Dark));
            p.drawText(swatch, Qt::AlignCenter, text());
        }
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inside;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void CColorPicker::OpenPalette() {
    if (popup_) return;
    const Colour initial = CurrentColour();
    popup_ = new CColorPopup(this, initial, defaultText_, customText_);
    // Below the button; above it when there is no room below; kept on the screen sideways. The
    // palette is placed once shown: only then is its frame, if any, known.
    popup_->move(mapToGlobal(QPoint(0, height())));
    popup_->show();
    PlacePalette();
    popup_->setFocus();
    repaint();
    emit DropDown(initial);
}

void CColorPicker::PlacePalette() {
    QPoint at = mapToGlobal(QPoint(0, height()));
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    const QSize size = popup_->frameGeometry().size();
    if (screen.isValid()) {
        const int right = screen.x() + screen.width(), bottom = screen.y() + screen.height();
        if (at.x() + size.width() > right) at.setX(right - size.width());
        at.setX(std::max(at.x(), screen.left()));
        if (at.y() + size.height() > bottom)
            at.setY(std::max(screen.top(), mapToGlobal(QPoint(0, 0)).y() - size.height()));
    }
    // A top level's position is its frame's.
    popup_->move(at);
}

void CColorPicker::Store(Colour colour) {
    if (mode_ == SelectionMode::Text)
        SetTextColour(colour);
    else
        SetBkColour(colour);
}

void CColorPicker::OnPaletteHot(Colour colour) {
    if (track_) Store(colour);
    emit SelChange(colour);
}

void CColorPicker::OnPaletteEnd(bool accepted, Colour colour) {
    popup_ = nullptr;
    Store(colour);
    emit CloseUp(colour);
    if (accepted)
        emit SelEndOk(colour);
    else
        emit SelEndCancel(colour);
}

// ---- the palette -------------------------------------------------------------------------

CColorPopup::CColorPopup(CColorPicker* owner, Colour initial, const QString& defaultText,
                         const QString& customText)
    : QWidget(owner, Qt::Popup), owner_(owner), initial_(initial), defaultText_(defaultText),
      customText_(customText) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFont(QApplication::font("QMessageBox"));
    margin_ = std::max(2, style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this));
    box_ = std::max(18, 2 * margin_ + 7);
    rows_ = {!defaultText_.isEmpty(), !customText_.isEmpty()};
    labelHeight_ = fontMetrics().height() + 4 * margin_ + 2;
    const int labels = std::max(fontMetrics().horizontalAdvance(defaultText_),
                                fontMetrics().horizontalAdvance(customText_));
    const int width = std::max(2 * margin_ + kPaletteColumns * box_, labels + 2 * margin_);
    const int height = 2 * margin_ + kPaletteRows * box_ + (rows_.automatic ? labelHeight_ : 0) +
                       (rows_.custom ? labelHeight_ : 0);
    setFixedSize(width, height);
    hot_ = chosen_ = CellOfColour(initial, rows_);
}

QRect CColorPopup::CellRect(int cell) const {
    const int gridTop = margin_ + (rows_.automatic ? labelHeight_ : 0);
    if (cell == kCellAutomatic)
        return rows_.automatic ? QRect(margin_, margin_, width() - 2 * margin_, labelHeight_)
                               : QRect();
    if (cell == kCellCustom)
        return rows_.custom ? QRect(margin_, gridTop + kPaletteRows * box_, width() - 2 * margin_,
                                    labelHeight_)
                            : QRect();
    if (cell < 0 || cell >= kPaletteSize) return {};
    const int left = (width() - kPaletteColumns * box_) / 2;
    return {left + (cell % kPaletteColumns) * box_, gridTop + (cell / kPaletteColumns) * box_, box_,
            box_};
}

QPoint CColorPopup::CellCentre(int cell) const {
    return CellRect(cell).center();
}

int CColorPopup::CellAt(QPoint pos) const {
    for (int cell : {kCellAutomatic, kCellCustom})
        if (CellRect(cell).contains(pos)) return cell;
    for (int cell = 0; cell < kPaletteSize; ++cell)
        if (CellRect(cell).contains(pos)) return cell;
    return kCellNone;
}

void CColorPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    qDrawShadePanel(&p, rect(), palette(), false, 1);
    const auto frame = [&](int cell) {
        const QRect r = CellRect(cell);
        if (cell == chosen_) {
            p.fillRect(r, palette().color(QPalette::Midlight));
            qDrawShadePanel(&p, r, palette(), true, 1);
        } else if (cell == hot_) {
            qDrawShadePanel(&p, r, palette(), false, 1);
        }
        return r;
    };
    for (int cell = 0; cell < kPaletteSize; ++cell) {
        const QRect r = frame(cell);
        const QRect swatch = r.adjusted(margin_ + 1, margin_ + 1, -margin_ - 1, -margin_ - 1);
        p.fillRect(swatch, ToQColor(Palette()[static_cast<std::size_t>(cell)].colour));
        p.setPen(palette().color(QPalette::Shadow));
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    p.setPen(palette().color(QPalette::ButtonText));
    if (rows_.automatic) p.drawText(frame(kCellAutomatic), Qt::AlignCenter, defaultText_);
    if (rows_.custom) p.drawText(frame(kCellCustom), Qt::AlignCenter, customText_);
}

bool CColorPopup::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int cell = CellAt(help->pos());
        if (cell >= 0) {
            const std::string_view name = Palette()[static_cast<std::size_t>(cell)].name;
            QToolTip::showText(help->globalPos(),
                               QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                               this, CellRect(cell));
        } else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CColorPopup::SetHot(int cell) {
    if (cell == hot_) return;
    hot_ = cell;
    update();
    if (owner_) owner_->OnPaletteHot(ColourOfCell(cell, initial_));
}

void CColorPopup::mouseMoveEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (cell != kCellNone) SetHot(cell);
}

void CColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint()))
        Accept();
    else
        End(false, initial_);
}

void CColorPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        return SetHot(MoveCell(hot_, PaletteKey::Left, rows_));
    case Qt::Key_Right:
        return SetHot(MoveCell(hot_, PaletteKey::Right, rows_));
    case Qt::Key_Up:
        return SetHot(MoveCell(hot_, PaletteKey::Up, rows_));
    case Qt::Key_Down:
        return SetHot(MoveCell(hot_, PaletteKey::Down, rows_));
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return Accept();
    case Qt::Key_Escape:
        return End(false, initial_);
    default:
        QWidget::keyPressEvent(event);
    }
}

void CColorPopup::closeEvent(QCloseEvent* event) {
    // Closed from outside (a click elsewhere, the application deactivated): a cancellation.
    if (!ended_) {
        ended_ = true;
        if (owner_) owner_->OnPaletteEnd(false, initial_);
    }
    QWidget::closeEvent(event);
}

void CColorPopup::Accept() {
    if (hot_ != kCellCustom) return End(true, ColourOfCell(hot_, initial_));
    // The custom row asks the system colour dialog, starting from the colour it had.
    hide();
    QColorDialog dialog(ToQColor(initial_ == kAutomaticColour ? 0 : initial_), owner_);
    dialog.setWindowTitle(QStringLiteral("色の設定"));
    if (RunModal(dialog) == QDialog::Accepted)
        End(true, FromQColor(dialog.selectedColor()));
    else
        End(false, initial_);
}

void CColorPopup::End(bool accepted, Colour colour) {
    if (ended_) return;
    ended_ = true;
    if (owner_) owner_->OnPaletteEnd(accepted, colour);
    close();
}

} // namespace mireka
