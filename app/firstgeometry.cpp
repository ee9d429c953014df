#include "app/firstgeometry.h"

namespace {
const int kSidePercent = 95;
const int kSmallScreenWidth = 1600;
}  // namespace

QRect firstStartGeometry(const QRect &available) {
    if (available.width() < kSmallScreenWidth) {
        return available;
    }
    const QSize size = available.size() * kSidePercent / 100;
    QRect placed(QPoint(), size);
    placed.moveCenter(available.center());
    return placed;
}
