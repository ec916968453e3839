#include "FrameGrid.h"

#include <algorithm>
#include <cmath>

namespace framequill {
namespace {

constexpr double kSameMillisecond = 0.00075;

} // namespace

FrameGrid::FrameGrid(std::vector<double> pictureSeconds, double rate)
    : seconds_(std::move(pictureSeconds)), rate_(rate) {}

std::size_t FrameGrid::LastPictureBy(double seconds) const {
    const auto after = std::upper_bound(seconds_.begin(), seconds_.end(), seconds);
    return after == seconds_.begin() ? 0 : static_cast<std::size_t>(after - seconds_.begin()) - 1;
}

std::int32_t FrameGrid::Length() const {
    return seconds_.empty() ? 0 : NumberOf(seconds_.size() - 1) + 1;
}

std::size_t FrameGrid::PictureOf(std::int32_t number) const {
    if (seconds_.empty())
        return 0;
    const double at = std::max<std::int32_t>(number, 0) / rate_ - kSameMillisecond;
    const auto shown = std::lower_bound(seconds_.begin(), seconds_.end(), at);
    return std::min<std::size_t>(static_cast<std::size_t>(shown - seconds_.begin()), seconds_.size() - 1);
}

std::int32_t FrameGrid::NumberOf(std::size_t picture) const {
    if (picture == 0)
        return 0;
    // The first number past the picture before, which shows this picture or a later one.
    const auto first =
        static_cast<std::int32_t>(std::floor((seconds_[picture - 1] + kSameMillisecond) * rate_)) + 1;
    if (PictureOf(first) == picture)
        return first;
    // No number shows it: the nearest in time, the later on a tie.
    const double before = seconds_[picture] - (first - 1) / rate_;
    const double after = first / rate_ - seconds_[picture];
    return before < after ? first - 1 : first;
}

} // namespace framequill
