#pragma once

#include <QString>

// A float in general format with the fewest digits that read back as the same float
// (0.1f is "0.1", not "0.100000001").
QString shortestFloatText(float value);
