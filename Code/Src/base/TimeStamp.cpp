// Time stamps from calendar fields and from the local time.
#include "base/TimeStamp.h"

namespace vx {

TimeStamp makeTimeStamp(int seconds, int minutes, int hours, int dayOfWeek, int day, int month,
                        int yearsSince1900) {
    TimeStamp ts;
    ts.bytes[0] = ts.bytes[1] = static_cast<uint8_t>(seconds);
    ts.bytes[2] = ts.bytes[3] = static_cast<uint8_t>(minutes);
    ts.bytes[4] = ts.bytes[5] = static_cast<uint8_t>(hours);
    ts.bytes[6] = static_cast<uint8_t>(dayOfWeek);
    ts.bytes[7] = static_cast<uint8_t>(day);
    ts.bytes[8] = static_cast<uint8_t>(month);
    ts.bytes[9] = static_cast<uint8_t>(yearsSince1900 & 0xFF);
    return ts;
}

TimeStamp timeStampFromTime(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return TimeStamp();
    return makeTimeStamp(tm.tm_sec, tm.tm_min, tm.tm_hour, tm.tm_wday + 1, tm.tm_mday,
                         tm.tm_mon + 1, tm.tm_year);
}

TimeStamp currentTimeStamp() {
    return timeStampFromTime(std::time(nullptr));
}

} // namespace vx
