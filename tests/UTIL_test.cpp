// Unit formatting: unit choice and rounding over every table, the special
// values, and frequency counts.
#include "params/UTIL.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdlib>
#include <cstring>
#include <string>

#include "params/ACTION.h"

namespace {

using vx::formatWithUnits;
using vx::UNIT_SPEC;

std::string fmt(double x, const UNIT_SPEC* table, int16_t precision = 4, int16_t flags = 0) {
    char buf[40];
    formatWithUnits(buf, sizeof buf, x, table, precision, flags);
    return buf;
}

const UNIT_SPEC* const kTables[] = {vx::freqUnits, vx::timeUnits, vx::prefixUnits, vx::rpmUnits};

TEST(FormatWithUnits, ValuesThatRoundUpMoveToTheLargerUnit) {
    char buf[40];
    EXPECT_STREQ(formatWithUnits(buf, sizeof buf, 999.9996, vx::freqUnits, 4, 0), "kHz");
    EXPECT_STREQ(buf, "1 kHz");
    EXPECT_EQ(fmt(999.94, vx::freqUnits), "999.9 Hz");
    EXPECT_EQ(fmt(0.96, vx::timeUnits, 1), "1 s");
    EXPECT_EQ(fmt(-1500, vx::freqUnits), "-1.5 kHz");
}

// Every unit of every table: a value inside the unit, one that rounds up into
// it from the unit below, and one that stays below it.
TEST(FormatWithUnits, EveryUnitOfEveryTable) {
    for (const UNIT_SPEC* table : kTables) {
        for (const UNIT_SPEC* u = table; u->scale != 0; ++u) {
            SCOPED_TRACE(u->text);
            const std::string unit = std::string(" ") + u->text;
            EXPECT_EQ(fmt(1.5 * u->scale, table), "1.5" + unit);
            EXPECT_EQ(fmt(0.99999 * u->scale, table), "1" + unit);
            if (u != table) {
                EXPECT_EQ(fmt(250 * u->scale, table), "250" + unit);
            }
            if (u[1].scale != 0) {
                EXPECT_EQ(fmt(0.999 * u->scale, table), std::string("999 ") + u[1].text);
            }
        }
    }
}

// Across the whole range a shown number lies in [1, 1000) except beyond the
// largest and below the smallest unit.
TEST(FormatWithUnits, ShownNumberStaysWithinItsUnit) {
    for (const UNIT_SPEC* table : kTables) {
        const UNIT_SPEC* last = table;
        while (last[1].scale != 0)
            ++last;
        for (double x = 1e-14; x < 1e13; x *= 1.0173) {
            char buf[40];
            const std::string unit = formatWithUnits(buf, sizeof buf, x, table, 4, 0);
            const double shown = std::strtod(buf, nullptr);
            if (unit != table->text) {
                EXPECT_LT(shown, 1000) << buf;
            }
            if (unit != last->text) {
                EXPECT_GE(shown, 1) << buf;
            }
        }
    }
}

TEST(FormatWithUnits, SpecialValuesAndFlags) {
    char buf[40];
    EXPECT_STREQ(formatWithUnits(buf, sizeof buf, FLT_MAX, vx::freqUnits, 4, 0), "");
    EXPECT_STREQ(buf, "+inf");
    EXPECT_EQ(fmt(-FLT_MAX, vx::timeUnits), "-inf");
    EXPECT_EQ(fmt(0, vx::freqUnits), "0 Hz"); // no negative zero
    EXPECT_EQ(fmt(0, vx::prefixUnits), "0 ");
    EXPECT_EQ(fmt(5e-10, vx::freqUnits), "0.0005 microHz");
    EXPECT_EQ(fmt(2e9, vx::freqUnits), "2000 MHz");
    EXPECT_EQ(fmt(1500, vx::freqUnits, 2, vx::eUnitsOmitted), "1.5");
    EXPECT_EQ(fmt(1500, vx::freqUnits, 2, vx::eUnitsFixed), "1.50 kHz");
    EXPECT_EQ(fmt(1500, vx::freqUnits, 2, vx::eUnitsFixed | vx::eUnitsOmitted), "1.50");
}

TEST(FormatWithUnits, ShortBufferIsCutAndTerminated) {
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    formatWithUnits(buf, 5, 1234.5678, vx::freqUnits, 6, 0);
    EXPECT_STREQ(buf, "1.23");
    EXPECT_EQ(buf[5], 'x');
}

TEST(FreqValue, CountsAtBothBaseFrequencies) {
    EXPECT_EQ(vx::freqResolution(1), 0.000244140625);
    EXPECT_EQ(vx::freqResolution(0), 0.0002384185791015625);
    EXPECT_EQ(vx::hzToCount(10240, 1), 41943040);
    EXPECT_EQ(vx::hzToCount(1.5 * 0.000244140625, 1), 2);
    EXPECT_EQ(vx::hzToCount(-1.5 * 0.000244140625, 1), -2);
    EXPECT_EQ(vx::hzToCount(1e12, 1), INT32_MAX);
    EXPECT_EQ(vx::hzToCount(-1e12, 1), INT32_MIN);
}

TEST(FormatFrequency, HzOrRpmFromTheCount) {
    vx::FreqValue value{41943040, 0};
    char buf[20];
    vx::formatFrequency(&value, buf, sizeof buf, 1, 5, true, nullptr);
    EXPECT_STREQ(buf, "10.24 kHz");
    EXPECT_EQ(value.hz, 10240);
    vx::formatFrequency(&value, buf, sizeof buf, 0, 5, false, nullptr);
    EXPECT_STREQ(buf, "10000");

    static const char* const offOn[] = {"Off", "On"};
    vx::enumParAction rpm(1, 1, offOn, nullptr, 15u << 16, 0, 0, 0);
    vx::formatFrequency(&value, buf, sizeof buf, 1, 8, true, &rpm);
    EXPECT_STREQ(buf, "614.4 kRPM");
    value.count = 41943041; // precision is capped at 5 digits in RPM
    vx::formatFrequency(&value, buf, sizeof buf, 1, 8, false, &rpm);
    EXPECT_STREQ(buf, "6.144e+05");
    (void)rpm.setData(0, 0);
    vx::formatFrequency(&value, buf, sizeof buf, 1, 4, true, &rpm);
    EXPECT_STREQ(buf, "10.24 kHz");
}

} // namespace
