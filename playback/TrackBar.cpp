#include "TrackBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace framequill {

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    setSingleStep(1);
    setPageStep(2);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(1);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (!inUserEvent_)
            Changed();
    });
    connect(this, &QAbstractSlider::actionTriggered, this, [this] { userMoved_ = true; });
}

void TrackBar::SetPosition(int position) {
    setValue(position);
}

void TrackBar::SetMax(int max) {
    if (max < minimum())
        return;
    setMaximum(max);
}

void TrackBar::SetFrequency(int frequency) {
    frequency_ = frequency;
    setTickPosition(frequency > 0 ? QSlider::TicksBelow : QSlider::NoTicks);
    setTickInterval(std::max(frequency, 0));
}

void TrackBar::Changed() {
    if (onChange_)
        onChange_();
}

template <typename Handle> void TrackBar::AsUserMove(Handle handle, bool endsDrag) {
    const bool wasDragging = isSliderDown();
    inUserEvent_ = true;
    userMoved_ = false;
    handle();
    inUserEvent_ = false;
    if (userMoved_ || (endsDrag && wasDragging))
        Changed();
}

void TrackBar::keyPressEvent(QKeyEvent* event) {
    AsUserMove([&] { QSlider::keyPressEvent(event); });
}

// A press in the channel moves one page. The slider would repeat that every 50 ms after half a second
// held, and a handler that waits for a seek or a message box holds the press that long: one press, one
// step.
void TrackBar::mousePressEvent(QMouseEvent* event) {
    AsUserMove([&] {
        QSlider::mousePressEvent(event);
        setRepeatAction(SliderNoAction);
    });
}

void TrackBar::mouseMoveEvent(QMouseEvent* event) {
    AsUserMove([&] { QSlider::mouseMoveEvent(event); });
}

void TrackBar::mouseReleaseEvent(QMouseEvent* event) {
    AsUserMove([&] { QSlider::mouseReleaseEvent(event); }, true);
}

void TrackBar::wheelEvent(QWheelEvent* event) {
    AsUserMove([&] { QSlider::wheelEvent(event); });
}

} // namespace framequill
