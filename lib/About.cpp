// What the library says about itself: the text of each status and its version.
// Plain data, no engine state: a host may ask from inside a hook or another
// thread, so these entry points take no call guard.
#include "base/Status.h"
#include "vxcore.h"

namespace {

struct StatusText {
    int status;
    const char* text;
};

// One text per status of vxcore.h, as its comment on VX560_STRERROR lists them.
constexpr StatusText kStatusTexts[] = {
    {VX560_STATUS_OK, "OK"},
    {VX560_STATUS_FAILED, "the call failed"},
    {VX560_STATUS_READ_ERROR, "a Capture block or Waterfall slice could not be read"},
    {VX560_STATUS_TOKEN_TOO_LONG, "a number in an ASCII list is longer than 48 characters"},
    {VX560_STATUS_NO_DISK_SPACE, "not enough free space for the output"},
    {VX560_STATUS_CANNOT_READ, "a file could not be read (missing or empty)"},
    {VX560_STATUS_ACCESS_DENIED, "access denied: a read-only output, or a disk prompt declined"},
    {VX560_STATUS_BAD_FILE,
     "a damaged Display, Waterfall or HP SDF file, or an output that could not be written"},
    {VX560_STATUS_BUFFER_TOO_SMALL, "the buffer is too small for the data"},
    {VX560_STATUS_BUSY, "another call is running: this one was refused and changed nothing"},
};

constexpr bool hasText(int status) {
    for (const StatusText& s : kStatusTexts)
        if (s.status == status) return true;
    return false;
}

constexpr bool everyEngineStatusHasText() {
    for (int16_t status : vx::kFailureStatuses)
        if (!hasText(status)) return false;
    return true;
}
static_assert(everyEngineStatusHasText(), "a failure status of the engine lacks its text");

} // namespace

extern "C" {

VX560_API const char* VX560_STRERROR(int status) {
    for (const StatusText& s : kStatusTexts)
        if (s.status == status) return s.text;
    return "unknown status";
}

VX560_API const char* VX560_VERSION(void) {
    return VXCORE_VERSION_STRING;
}

} // extern "C"
