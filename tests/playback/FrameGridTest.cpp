#include "playback/FrameGrid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace framequill {
namespace {

std::vector<double> Pictures(int count, double rate, double start = 0) {
    std::vector<double> seconds;
    for (int i = 0; i < count; ++i)
        seconds.push_back(start + i / rate);
    return seconds;
}

// Matroska keeps whole milliseconds.
std::vector<double> Milliseconds(std::vector<double> seconds) {
    for (auto& s : seconds)
        s = std::round(s * 1000) / 1000;
    return seconds;
}

// Every picture a number reaches: its number shows it, and the number before shows an earlier one.
void ExpectSmallestNumbers(const FrameGrid& grid) {
    for (std::size_t p = 0; p < grid.PictureCount(); ++p) {
        const std::int32_t n = grid.NumberOf(p);
        if (grid.PictureOf(n) != p)
            continue;
        if (n > 0) {
            ASSERT_LT(grid.PictureOf(n - 1), p) << "picture " << p;
        }
    }
}

TEST(FrameGrid, OneRateFromTheStartNumbersEveryPictureByItsPlace) {
    const struct {
        const char* name;
        std::vector<double> seconds;
        double rate;
    } cases[] = {
        {"25 fps", Pictures(3000, 25), 25},
        {"23.976 fps, 1 ms timestamps", Milliseconds(Pictures(3000, 24000.0 / 1001)), 24000.0 / 1001},
        {"29.97 fps, 1 ms timestamps", Milliseconds(Pictures(3000, 30000.0 / 1001)), 30000.0 / 1001},
        {"29.97 fps, 90 kHz", Pictures(3000, 30000.0 / 1001), 30000.0 / 1001},
        {"59.94 fps, 1 ms timestamps", Milliseconds(Pictures(3000, 60000.0 / 1001)), 60000.0 / 1001},
    };
    for (const auto& c : cases) {
        const FrameGrid grid(c.seconds, c.rate);
        EXPECT_EQ(grid.Length(), 3000) << c.name;
        for (std::int32_t n = 0; n < 3000; ++n) {
            ASSERT_EQ(grid.NumberOf(static_cast<std::size_t>(n)), n) << c.name;
            ASSERT_EQ(grid.PictureOf(n), static_cast<std::size_t>(n)) << c.name;
        }
    }
}

TEST(FrameGrid, AVideoStartingAfterTheFileCountsFromTheFilesStart) {
    const FrameGrid grid(Pictures(100, 25, 0.4), 25);
    const std::pair<std::int32_t, std::size_t> shows[] = {{0, 0},    {10, 0},   {11, 1},  {12, 2},
                                                          {108, 98}, {109, 99}, {500, 99}};
    for (const auto& [number, picture] : shows)
        EXPECT_EQ(grid.PictureOf(number), picture) << number;
    EXPECT_EQ(grid.NumberOf(0), 0);
    EXPECT_EQ(grid.NumberOf(1), 11);
    EXPECT_EQ(grid.NumberOf(99), 109);
    EXPECT_EQ(grid.Length(), 110);
}

// Read at 25: a stretch at 10 fps gives each picture two or three numbers, one at 30 fps leaves some
// pictures to no number.
TEST(FrameGrid, ARateChangeFollowsTheTimes) {
    std::vector<double> seconds = Pictures(30, 25); // 0 .. 1.16
    for (const double s : Pictures(15, 10, 1.2))    // 1.2 .. 2.6
        seconds.push_back(s);
    for (const double s : Pictures(36, 30, 2.7)) // 2.7 .. 3.8667
        seconds.push_back(s);
    const FrameGrid grid(Milliseconds(seconds), 25);
    EXPECT_EQ(grid.NumberOf(29), 29);
    EXPECT_EQ(grid.NumberOf(30), 30); // 1.2 s
    EXPECT_EQ(grid.NumberOf(31), 31); // 1.3 s: shown from 31 / 25 = 1.24 s on
    EXPECT_EQ(grid.PictureOf(32), std::size_t(31));
    EXPECT_EQ(grid.PictureOf(33), std::size_t(32));
    ExpectSmallestNumbers(grid);
    int unreached = 0;
    for (std::size_t p = 0; p < grid.PictureCount(); ++p)
        unreached += grid.PictureOf(grid.NumberOf(p)) != p ? 1 : 0;
    EXPECT_EQ(unreached, 6); // a sixth of the 30 fps pictures
    EXPECT_EQ(grid.PictureOf(grid.Length() - 1), grid.PictureCount() - 1);
}

TEST(FrameGrid, APictureNoNumberReachesGetsTheNearestLaterOnATie) {
    // At 4 a second, numbers fall at 0, 0.25, 0.5 ...
    const struct {
        std::vector<double> seconds;
        std::size_t picture;
        std::int32_t number;
    } cases[] = {
        {{0, 0.05, 0.25}, 1, 0},  // nearer to 0
        {{0, 0.2, 0.25}, 1, 1},   // nearer to 0.25
        {{0, 0.125, 0.25}, 1, 1}, // halfway: the later
    };
    for (const auto& c : cases) {
        const FrameGrid grid(c.seconds, 4);
        EXPECT_EQ(grid.NumberOf(c.picture), c.number) << c.seconds[1];
        EXPECT_EQ(grid.NumberOf(2), 1);
    }
}

} // namespace
} // namespace framequill
