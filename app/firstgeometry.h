#pragma once

#include <QRect>

// Where the window opens when no geometry was saved: centred on 90 % of the available area
// (95 % of each side), or all of a screen too narrow for the tables beside the Time Graph.
QRect firstStartGeometry(const QRect &available);
