// The 14-byte time stamp of instrument files, filled from local time.
#pragma once
#include <array>
#include <cstdint>
#include <ctime>

namespace vx {

// Bytes 0/1 seconds (twice), 2/3 minutes (twice), 4/5 hours 0-23 (twice),
// 6 day of the week (1 = Sunday ... 7), 7 day of the month, 8 month 1-12,
// 9 years since 1900 (low 8 bits), 10-13 two zero words.
struct TimeStamp {
    static constexpr size_t kSize = 14;
    std::array<uint8_t, kSize> bytes{};

    int seconds() const { return bytes[0]; }
    int minutes() const { return bytes[2]; }
    int hours() const { return bytes[4]; }
    int dayOfWeek() const { return bytes[6]; }
    int day() const { return bytes[7]; }
    int month() const { return bytes[8]; }
    int year() const { return bytes[9]; } // years since 1900, low 8 bits
    // The year's last two digits, as the date lines print it (112 -> 12).
    int yearOfCentury() const { return bytes[9] % 100; }
};

// From calendar fields: dayOfWeek 1 = Sunday, month 1-12, years since 1900.
TimeStamp makeTimeStamp(int seconds, int minutes, int hours, int dayOfWeek, int day, int month,
                        int yearsSince1900);
// The local time of t (localtime_r).
TimeStamp timeStampFromTime(std::time_t t);
// The local time now.
TimeStamp currentTimeStamp();

} // namespace vx
