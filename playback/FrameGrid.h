#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace framequill {

// Frame numbers as players read them. Players show a line "{n}{m}text" from the time n / R to m / R on
// the time line they play the file in, R being the video's rate as they read it: a line starting at n
// shows on the first picture whose time is at or after n / R. So frame n names that picture, and the
// picture on screen is named by the smallest number that shows it.
//
// Times are compared in whole milliseconds, as players compare them: a picture counts as at or after n / R
// when it is at most 0.75 ms before it (containers round to the millisecond).
//   25 fps from 0: picture i at i / 25, so number n = picture n, as always.
//   25 fps from 0.4 s (a video that starts after its sound): numbers 0 to 10 all show picture 0, whose
//   number is 0; picture 1 (0.44 s) is number 11.
//   A picture closer than 1 / R to the one before may be shown by no number; it gets the number nearest
//   to it in time, the later one on a tie, so that a line stamped on it never starts before it.
class FrameGrid {
public:
    FrameGrid() = default;
    // pictureSeconds: every picture's time on the player's time line, in presentation order; rate: the
    // players' rate, above 0.
    FrameGrid(std::vector<double> pictureSeconds, double rate);

    std::size_t PictureCount() const { return seconds_.size(); }
    double Seconds(std::size_t picture) const { return seconds_[picture]; }
    // The last picture whose time is at most the given one; the first when there is none.
    std::size_t LastPictureBy(double seconds) const;
    // The numbers up to the last picture: the last picture's number plus one.
    std::int32_t Length() const;
    std::int32_t NumberOf(std::size_t picture) const;
    // The picture a number shows; numbers from Length() on show the last picture.
    std::size_t PictureOf(std::int32_t number) const;

private:
    std::vector<double> seconds_;
    double rate_ = 1;
};

} // namespace framequill
