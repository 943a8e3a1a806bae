// The 14-byte time stamp that instrument files carry.
#pragma once
#include <cstdint>
#include <ctime>

namespace vx {

constexpr int kTimeStampSize = 14;

// Fills the record from a calendar time: seconds, minutes and hours each twice,
// day of the week (1 = Sunday), day, month 1-12, years since 1900, two zero words.
void makeTimeStamp(uint8_t out[kTimeStampSize], std::time_t when);
// The same from the local time now.
void makeTimeStamp(uint8_t out[kTimeStampSize]);

} // namespace vx
