#include "app/drivecommands.h"

namespace drivecommands {

namespace {
constexpr uint16_t kNotConfigured = 65535;
}

int stopRegister(uint16_t stopIndex) {
    return (stopIndex == 0 || stopIndex == kNotConfigured) ? kDefaultStopRegister : int(stopIndex);
}

bool stop(bool connected, uint16_t stopIndex, const WriteHolding &write) {
    if (!connected || !write) {
        return false;
    }
    write(stopRegister(stopIndex), 0, true);
    return true;
}

bool reset(bool connected, const WriteHolding &write) {
    if (!connected || !write) {
        return false;
    }
    write(kResetRegister, 1, true);
    return true;
}

}  // namespace drivecommands
