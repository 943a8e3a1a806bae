// VX550 settings records are refused until their translation is built.
#include "driver/DISK_M.h"

namespace vx {
int16_t readOldSettings(socket&) { return 1; }
} // namespace vx
