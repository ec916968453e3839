#include "playback/PictureFit.h"

#include <gtest/gtest.h>

namespace framequill {
namespace {

std::string Text(PictureSize size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

TEST(PictureFit, LargestSizeOfThePicturesShapeInTheBox) {
    const struct {
        PictureSize picture, box, fitted;
    } cases[] = {
        {{320, 240}, {320, 240}, {320, 240}},     // exactly its own size: 1:1
        {{320, 240}, {641, 300}, {400, 300}},     // the height limits, scaled up
        {{320, 240}, {400, 900}, {400, 300}},     // the width limits
        {{1920, 1080}, {742, 600}, {742, 417}},   // 417.375 rounds down
        {{1920, 1080}, {1000, 563}, {1000, 563}}, // 562.5 rounds up and still fits
        {{3840, 2160}, {465, 505}, {465, 262}},
        {{720, 1280}, {1000, 400}, {225, 400}}, // upright
        {{853, 480}, {853, 480}, {853, 480}},   // display size of non-square pixels
        {{320, 240}, {0, 100}, {0, 0}},         // no room
        {{0, 0}, {100, 100}, {0, 0}},           // no picture
        {{1000, 1}, {10, 10}, {10, 1}},         // never below a pixel
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(FitPicture(c.picture, c.box)), Text(c.fitted))
            << Text(c.picture) << " into " << Text(c.box);
}

// A window sized to a fitted picture gives the same picture back, so the open's size holds.
TEST(PictureFit, FittingIntoAFittedSizeKeepsIt) {
    for (const PictureSize picture :
         {PictureSize{1920, 1080}, PictureSize{640, 480}, PictureSize{3840, 2160}, PictureSize{720, 576},
          PictureSize{1080, 1920}, PictureSize{853, 480}}) {
        for (int width = 40; width <= 2000; width += 7) {
            for (int height = 40; height <= 1200; height += 11) {
                const PictureSize fitted = FitPicture(picture, {width, height});
                ASSERT_EQ(Text(FitPicture(picture, fitted)), Text(fitted))
                    << Text(picture) << " in " << width << "x" << height;
            }
        }
    }
}

TEST(PictureFit, OpeningSizeScalesDownOnlyWhatDoesNotFitAndNotBelowTheFloor) {
    const struct {
        PictureSize picture, largest, opened;
    } cases[] = {
        {{320, 240}, {1000, 1000}, {320, 240}}, // fits: its own size
        {{640, 480}, {640, 480}, {640, 480}},   // just fits
        {{640, 480}, {465, 505}, {465, 349}},   // 1366x768 beside the main window
        {{1920, 1080}, {742, 900}, {742, 417}}, // 1920x1080 beside the main window
        {{3840, 2160}, {742, 900}, {742, 417}},
        {{1920, 1080}, {100, 100}, {320, 180}}, // a tiny screen: the floor
        {{1920, 1080}, {-50, -20}, {320, 180}}, // no room at all
        {{200, 150}, {100, 100}, {200, 150}},   // narrower than the floor: its own width
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(OpeningPictureSize(c.picture, c.largest)), Text(c.opened))
            << Text(c.picture) << " with " << Text(c.largest);
}

} // namespace
} // namespace framequill
