#pragma once

#include <QSlider>

#include <functional>

namespace framequill {

// A horizontal track bar. Setting the position from code clamps it into Min..Max and runs OnChange only
// when the position really changes; every move by the user (drag, click on the channel, keys) runs
// OnChange, even one that leaves the position where it was, such as the end of a drag.
class TrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TrackBar(QWidget* parent);

    int Position() const { return value(); }
    void SetPosition(int position);
    int Max() const { return maximum(); }
    // Ignored below Min; a position above the new Max comes down to it.
    void SetMax(int max);
    // A tick every frequency positions; 0 draws none.
    void SetFrequency(int frequency);
    int Frequency() const { return frequency_; }
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Runs a user event through the slider and then OnChange once for what it did.
    template <typename Handle> void AsUserMove(Handle handle, bool endsDrag = false);
    void Changed();

    std::function<void()> onChange_;
    int frequency_ = 1;
    bool inUserEvent_ = false;
    bool userMoved_ = false;
};

} // namespace framequill
