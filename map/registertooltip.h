#pragma once

#include <QString>

#include "map/descriptors.h"

// The tool tip of a register row: what the register is for, what it accepts, who may change
// it, where it lives on the bus and, for list registers, what its numbers mean.
namespace registertooltip {

// "user", "distributor", "developer"; "anyone" for 0 and for levels the drive does not know.
QString levelName(int level);

// Label, help text, "Range: min .. max unit", "Access level: n (name)", "Address: 0x... (n)" and the
// list choices, one per line. address is the register's bus address.
QString forHolding(const holding_t &holding, int address);
// Input registers carry no help, range or level: label, unit, address and list choices.
QString forInput(const input_reg_t &input, int address);

}  // namespace registertooltip
