#pragma once

#include <QRect>

// Where the cursor read-out box goes in the plot: beside the cursor, at the top of the plot
// area, and never past its edges, so that every value in it can be read.
namespace readoutplacement {

// Right of cursorX when the box fits there, else left of it; then moved inside area. A box
// larger than area keeps its top-left corner in it.
QRect boxRect(const QRect &area, const QSize &box, int cursorX);

}  // namespace readoutplacement
