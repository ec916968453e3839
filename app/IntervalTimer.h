#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace framequill {

// A timer that ticks every interval while enabled. Setting the interval it already has does nothing,
// so a countdown under way goes on; a new interval restarts a running countdown. Enabling an enabled
// timer does nothing either.
class IntervalTimer : public QObject {
public:
    IntervalTimer(QObject* parent, int intervalMs, bool enabled, std::function<void()> onTick);

    int Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    void SetInterval(int intervalMs);
    void SetEnabled(bool enabled);

private:
    void Start();

    QTimer timer_;
    int interval_;
    bool enabled_ = false;
};

} // namespace framequill
