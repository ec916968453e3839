#pragma once

#include "PlayerTypes.h"

#include <QWidget>

#include <array>

namespace framequill {

// The player's row of seven buttons. It knows nothing of the player: it reports presses and is told
// which buttons are greyed. A greyed button cannot be pressed with the mouse; with the keyboard, the
// arrows move the focus among the buttons and Space presses the focused one even when it is greyed.
class ButtonBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kButtonCount = 7;

    explicit ButtonBar(QWidget* parent);

    void SetButtonEnabled(MPBtnType button, bool enabled);
    bool IsButtonEnabled(MPBtnType button) const { return enabled_[Index(button)]; }
    // The rectangle of one button, for the mouse.
    QRect ButtonRect(MPBtnType button) const;

signals:
    void Pressed(framequill::MPBtnType button, bool byKeyboard);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static std::size_t Index(MPBtnType button) { return static_cast<std::size_t>(button); }
    int ButtonAt(QPoint point) const;
    void PaintGlyph(QPainter& painter, QRect area, int button, bool enabled) const;

    std::array<bool, kButtonCount> enabled_{};
    int focused_ = 0;
    int pressed_ = -1;
};

} // namespace framequill
