#pragma once

#include <cstdint>
#include <functional>

#include "comm/driveregisters.h"

// The drive commands of the Time Graph's buttons.
namespace drivecommands {

// Queues one single-register write: address, value, echo to the log area.
using WriteHolding = std::function<void(int address, int value, bool echo)>;

constexpr int kDefaultStopRegister = driveregisters::kStop;
constexpr int kResetRegister = 0;

// The register the Stop button writes 0 to: the map option StopIndex, or register 66 when
// the option is 0 or absent (65535), so that Stop always reaches the drive's stop register.
int stopRegister(uint16_t stopIndex);

// Stop: writes 0 to the stop register, with echo. Nothing while disconnected; returns
// whether the write was queued.
bool stop(bool connected, uint16_t stopIndex, const WriteHolding &write);

// Reset: writes 1 to register 0, with echo. Nothing while disconnected.
bool reset(bool connected, const WriteHolding &write);

}  // namespace drivecommands
