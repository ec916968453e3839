#pragma once

#include <QPixmap>

namespace framequill {

// The images of the main window's buttons, drawn here rather than shipped. Two-cell images come as an
// image and its disabled form; for the others the disabled form is left to the style.
struct ButtonImage {
    QPixmap normal;
    QPixmap disabled;
};

ButtonImage FolderImage();
ButtonImage FloppyImage();
QPixmap MagnifierImage();
QPixmap BeginWedgeImage();
QPixmap EndWedgeImage();
QPixmap NextWedgesImage();

} // namespace framequill
