// The bulk buffer and its in-use flag.
#include "base/VX550.h"

#include "base/ErrLogger.h"

namespace vx {

namespace {
// One per thread: a second thread converting at once has its own.
alignas(double) thread_local uint8_t bigBuff[kBulkBufferBytes];
thread_local bool bigBuffInUse = false;
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
