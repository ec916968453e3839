#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace framequill {

enum Anchor { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

// Places controls by their distances to the edges of an area designed at one size: a control anchored
// to two opposite sides stretches with the area, one anchored to one side of a pair moves with it.
class AnchorLayout {
public:
    explicit AnchorLayout(QSize designSize) : designSize_(designSize) {}

    void Add(QWidget* widget, QRect designRect, int anchors);
    // Lays every control out in area, whose top-left is the design's origin.
    void Apply(QRect area) const;

private:
    struct Item {
        QWidget* widget;
        QRect rect;
        int anchors;
    };
    QSize designSize_;
    std::vector<Item> items_;
};

} // namespace framequill
