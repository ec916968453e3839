#pragma once

#include <QPixmap>
#include <QPushButton>

namespace framequill {

// A push button with an image left of its caption, the two centred together with a set gap between
// them. The disabled image is the image's second cell where it has one, else a greyed form of it.
class GlyphButton : public QPushButton {
public:
    GlyphButton(const QString& caption, const QPixmap& image, const QPixmap& disabledImage, int gap,
                QWidget* parent);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap image_;
    QPixmap disabledImage_;
    int gap_;
};

} // namespace framequill
