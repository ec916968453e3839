#pragma once

namespace framequill {

struct PictureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// A picture is never drawn narrower than this when it is scaled down to fit the screen (nor wider than
// its own width), even if its window then reaches past a very small screen: below it the picture is too
// small to time against.
constexpr int kNarrowestScaledPicture = 320;

// The largest size of the picture's shape inside the box, each side rounded to the nearest pixel. Fitting
// a picture into a size this gave gives that size again, so a window sized to the picture keeps it.
//   1920x1080 into 742x600 -> 742x417     320x240 into 320x240 -> 320x240     320x240 into 641x300 -> 400x300
PictureSize FitPicture(PictureSize picture, PictureSize box);

// The size a picture is drawn at when its video opens: its own when it fits the largest size the screen
// leaves, else scaled down to fit, but not below kNarrowestScaledPicture wide.
PictureSize OpeningPictureSize(PictureSize picture, PictureSize largest);

} // namespace framequill
