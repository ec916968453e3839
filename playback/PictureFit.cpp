#include "PictureFit.h"

#include <algorithm>
#include <cmath>

namespace framequill {
namespace {

int Scaled(int length, double factor) {
    return std::max(1, static_cast<int>(std::lround(length * factor)));
}

} // namespace

PictureSize FitPicture(PictureSize picture, PictureSize box) {
    if (picture.width <= 0 || picture.height <= 0 || box.width <= 0 || box.height <= 0)
        return {};
    const double aspect = static_cast<double>(picture.width) / picture.height;
    const PictureSize byWidth{box.width, Scaled(box.width, 1 / aspect)};
    const PictureSize byHeight{Scaled(box.height, aspect), box.height};
    const bool widthFits = byWidth.height <= box.height;
    const bool heightFits = byHeight.width <= box.width;
    // Of the two that fit, the larger: a size given by this function then comes back unchanged.
    const auto area = [](PictureSize size) {
        return static_cast<long long>(size.width) * size.height;
    };
    if (widthFits && (!heightFits || area(byWidth) >= area(byHeight)))
        return byWidth;
    if (heightFits)
        return byHeight;
    const double factor = std::min(static_cast<double>(box.width) / picture.width,
                                   static_cast<double>(box.height) / picture.height);
    return {std::max(1, static_cast<int>(picture.width * factor)),
            std::max(1, static_cast<int>(picture.height * factor))};
}

PictureSize OpeningPictureSize(PictureSize picture, PictureSize largest) {
    if (picture.width <= largest.width && picture.height <= largest.height)
        return picture;
    const PictureSize fitted = FitPicture(picture, largest);
    const int narrowest = std::min(picture.width, kNarrowestScaledPicture);
    if (fitted.width >= narrowest)
        return fitted;
    return {narrowest, Scaled(narrowest, static_cast<double>(picture.height) / picture.width)};
}

} // namespace framequill
