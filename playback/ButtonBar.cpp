#include "ButtonBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

namespace framequill {

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void ButtonBar::SetButtonEnabled(MPBtnType button, bool enabled) {
    if (Index(button) >= enabled_.size() || enabled_[Index(button)] == enabled)
        return;
    enabled_[Index(button)] = enabled;
    update();
}

QRect ButtonBar::ButtonRect(MPBtnType button) const {
    const int index = static_cast<int>(Index(button));
    const int left = index * width() / kButtonCount;
    const int right = (index + 1) * width() / kButtonCount;
    return {left, 0, right - left, height()};
}

int ButtonBar::ButtonAt(QPoint point) const {
    for (int i = 0; i < kButtonCount; ++i)
        if (ButtonRect(static_cast<MPBtnType>(i)).contains(point))
            return i;
    return -1;
}

void ButtonBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < kButtonCount; ++i) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = ButtonRect(static_cast<MPBtnType>(i));
        option.state = QStyle::State_Raised;
        if (enabled_[static_cast<std::size_t>(i)])
            option.state |= QStyle::State_Enabled;
        if (i == pressed_)
            option.state |= QStyle::State_Sunken;
        if (hasFocus() && i == focused_)
            option.state |= QStyle::State_HasFocus;
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
        if (hasFocus() && i == focused_) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = option.rect.adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
        PaintGlyph(painter, option.rect, i, enabled_[static_cast<std::size_t>(i)]);
    }
}

// Small pictures in the manner of a tape deck's keys.
void ButtonBar::PaintGlyph(QPainter& painter, QRect area, int button, bool enabled) const {
    const QColor colour = enabled ? palette().color(QPalette::ButtonText)
                                  : palette().color(QPalette::Disabled, QPalette::ButtonText);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QPointF c = QRectF(area).center();
    auto triangle = [&](double x, double direction) {
        QPainterPath path;
        path.moveTo(x, c.y() - 4);
        path.lineTo(x + 6 * direction, c.y());
        path.lineTo(x, c.y() + 4);
        path.closeSubpath();
        painter.drawPath(path);
    };
    auto bar = [&](double x) {
        painter.drawRect(QRectF(x, c.y() - 4, 2, 8));
    };
    switch (static_cast<MPBtnType>(button)) {
    case MPBtnType::btPlay:
        triangle(c.x() - 3, 1);
        break;
    case MPBtnType::btPause:
        bar(c.x() - 3);
        bar(c.x() + 1);
        break;
    case MPBtnType::btStop:
        painter.drawRect(QRectF(c.x() - 4, c.y() - 4, 8, 8));
        break;
    case MPBtnType::btNext:
        triangle(c.x() - 4, 1);
        bar(c.x() + 2);
        break;
    case MPBtnType::btPrev:
        bar(c.x() - 4);
        triangle(c.x() + 4, -1);
        break;
    case MPBtnType::btStep:
        triangle(c.x() - 6, 1);
        triangle(c.x(), 1);
        break;
    case MPBtnType::btBack:
        triangle(c.x(), -1);
        triangle(c.x() + 6, -1);
        break;
    default:
        break;
    }
    painter.restore();
}

void ButtonBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int at = ButtonAt(event->position().toPoint());
    if (at >= 0 && enabled_[static_cast<std::size_t>(at)]) {
        pressed_ = at;
        // The keyboard goes on from the button last pressed, as with separate buttons.
        focused_ = at;
        setFocus(Qt::MouseFocusReason);
        update();
    }
}

void ButtonBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressed_ < 0)
        return;
    const int was = pressed_;
    pressed_ = -1;
    update();
    if (ButtonAt(event->position().toPoint()) == was && enabled_[static_cast<std::size_t>(was)])
        emit Pressed(static_cast<MPBtnType>(was), false);
}

void ButtonBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        focused_ = std::max(0, focused_ - 1);
        update();
        break;
    case Qt::Key_Right:
        focused_ = std::min(kButtonCount - 1, focused_ + 1);
        update();
        break;
    case Qt::Key_Space:
        // Every shown button may be pressed from the keyboard, greyed or not.
        emit Pressed(static_cast<MPBtnType>(focused_), true);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ButtonBar::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ButtonBar::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace framequill
