#include "GlyphButton.h"

#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOptionButton>

namespace framequill {

GlyphButton::GlyphButton(const QString& caption, const QPixmap& image, const QPixmap& disabledImage, int gap,
                         QWidget* parent)
    : QPushButton(caption, parent), image_(image), disabledImage_(disabledImage), gap_(gap) {
    setAutoDefault(false);
    setDefault(false);
    if (disabledImage_.isNull()) {
        QStyleOption option;
        option.initFrom(this);
        disabledImage_ = style()->generatedIconPixmap(QIcon::Disabled, image_, &option);
    }
}

// The toolkit answers a button's Alt+letter by animating a press and clicking 100 ms later: pressed while
// the video plays, Begin would stamp a picture three frames on, and a Down pressed meanwhile would move the
// stamp to the next line. The click runs on the key itself.
bool GlyphButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (!shortcut->isAmbiguous() && shortcut->key() == this->shortcut()) {
            click();
            return true;
        }
    }
    return QPushButton::event(event);
}

void GlyphButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    const QPixmap& image = isEnabled() ? image_ : disabledImage_;
    const int textWidth = fontMetrics().horizontalAdvance(QString(text()).remove('&'));
    const int total = image.width() + gap_ + textWidth;
    int left = (width() - total) / 2;
    const int shift = isDown() ? 1 : 0;
    painter.drawPixmap(left + shift, (height() - image.height()) / 2 + shift, image);
    left += image.width() + gap_;
    const QRect textArea(left + shift, shift, textWidth + 2, height());
    style()->drawItemText(&painter, textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                          palette(), isEnabled(), text(), QPalette::ButtonText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(4, 4, -4, -4);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace framequill
