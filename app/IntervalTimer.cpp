#include "IntervalTimer.h"

#include "script/Errors.h"

namespace framequill {

IntervalTimer::IntervalTimer(QObject* parent, int intervalMs, bool enabled, std::function<void()> onTick)
    : QObject(parent), interval_(intervalMs) {
    // Coarse timers may fire 5 % early: a 6 s countdown would end 300 ms before its time.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, std::move(onTick));
    SetEnabled(enabled);
}

void IntervalTimer::SetInterval(int intervalMs) {
    if (intervalMs == interval_)
        return;
    interval_ = intervalMs;
    if (enabled_)
        Start();
}

void IntervalTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (enabled_)
        Start();
    else
        timer_.stop();
}

void IntervalTimer::Start() {
    timer_.start(interval_);
    if (!timer_.isActive())
        throw Error("Not enough timers available");
}

} // namespace framequill
