// Time stamps from the local calendar time.
#include "trace/TimeStamp.h"

#include <cstring>

namespace vx {

void makeTimeStamp(uint8_t out[kTimeStampSize], std::time_t when) {
    std::tm t{};
    localtime_r(&when, &t);
    std::memset(out, 0, kTimeStampSize);
    out[0] = out[1] = static_cast<uint8_t>(t.tm_sec);
    out[2] = out[3] = static_cast<uint8_t>(t.tm_min);
    out[4] = out[5] = static_cast<uint8_t>(t.tm_hour);
    out[6] = static_cast<uint8_t>(t.tm_wday + 1);
    out[7] = static_cast<uint8_t>(t.tm_mday);
    out[8] = static_cast<uint8_t>(t.tm_mon + 1);
    out[9] = static_cast<uint8_t>(t.tm_year & 0xFF);
}

void makeTimeStamp(uint8_t out[kTimeStampSize]) { makeTimeStamp(out, std::time(nullptr)); }

} // namespace vx
