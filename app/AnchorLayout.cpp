#include "AnchorLayout.h"

#include <QWidget>

namespace framequill {

void AnchorLayout::Add(QWidget* widget, QRect designRect, int anchors) {
    items_.push_back({widget, designRect, anchors});
    widget->setGeometry(designRect);
}

void AnchorLayout::Apply(QRect area) const {
    const int grownWidth = area.width() - designSize_.width();
    const int grownHeight = area.height() - designSize_.height();
    // One axis: stretch when anchored to both sides, move with the far side when anchored to it alone.
    auto place = [](int start, int length, bool nearSide, bool farSide, int grown) {
        if (nearSide && farSide)
            return std::pair{start, length + grown};
        if (farSide)
            return std::pair{start + grown, length};
        return std::pair{start, length};
    };
    for (const auto& item : items_) {
        const auto [x, w] = place(item.rect.x(), item.rect.width(), item.anchors & AnchorLeft,
                                  item.anchors & AnchorRight, grownWidth);
        const auto [y, h] = place(item.rect.y(), item.rect.height(), item.anchors & AnchorTop,
                                  item.anchors & AnchorBottom, grownHeight);
        item.widget->setGeometry(area.x() + x, area.y() + y, std::max(0, w), std::max(0, h));
    }
}

} // namespace framequill
