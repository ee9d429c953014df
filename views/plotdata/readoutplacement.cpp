#include "views/plotdata/readoutplacement.h"

#include <algorithm>

namespace readoutplacement {

namespace {
constexpr int kGap = 6;  // between the cursor line and the box, and the box and the area's edge
}

QRect boxRect(const QRect &area, const QSize &box, int cursorX) {
    const int inset = kGap / 2;
    int left = cursorX + kGap;
    if (left + box.width() > area.right() - inset) {
        left = cursorX - kGap - box.width();
    }
    left = std::max(std::min(left, area.right() - inset - box.width() + 1), area.left() + inset);
    return QRect(QPoint(left, area.top() + inset), box);
}

}  // namespace readoutplacement
