// The bulk buffer and its in-use flag.
#include "base/VX550.h"

#include "base/ErrLogger.h"

namespace vx {

namespace {
alignas(double) uint8_t bigBuff[kBulkBufferBytes];
bool bigBuffInUse = false;
} // namespace

uint8_t* claimBulkBuffer() {
    VX_ASSERT(!bigBuffInUse, "!bigBuffInUse");
    bigBuffInUse = true;
    return bigBuff;
}

void releaseBulkBuffer() {
    bigBuffInUse = false;
}

bool bulkBufferInUse() {
    return bigBuffInUse;
}

} // namespace vx
