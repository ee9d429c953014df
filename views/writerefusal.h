#pragma once

#include <QString>
#include <functional>

// Asked by a table at each edit before it requests a write: empty lets the write go, otherwise
// it is the reason the write does not go (the table then takes the edit back and reports it).
using WriteRefusal = std::function<QString()>;
