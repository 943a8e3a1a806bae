// Unit formatting and frequency counts.
#include "params/UTIL.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "params/ACTION.h"

namespace vx {

const UNIT_SPEC freqUnits[] = {{"MHz", 1e6},  {"kHz", 1e3},      {"Hz", 1},
                               {"mHz", 1e-3}, {"microHz", 1e-6}, {"Hz", 0}};
const UNIT_SPEC timeUnits[] = {{"Ms", 1e6},  {"ks", 1e3},       {"s", 1},
                               {"ms", 1e-3}, {"micro s", 1e-6}, {"s", 0}};
const UNIT_SPEC prefixUnits[] = {{"G", 1e9},      {"M", 1e6},  {"k", 1e3},   {"", 1}, {"m", 1e-3},
                                 {"micro", 1e-6}, {"n", 1e-9}, {"p", 1e-12}, {"", 0}};
const UNIT_SPEC rpmUnits[] = {{"MRPM", 1e6},      {"kRPM", 1e3},  {"RPM", 1}, {"mRPM", 1e-3},
                              {"microRPM", 1e-6}, {"nRPM", 1e-9}, {"RPM", 0}};

namespace {

// A value of at least scale x G[p] rounds up to 1 or more of that unit when
// printed with p significant digits.
constexpr double kRoundUpFactor[] = {0.5,         0.95,         0.995,         0.9995,
                                     0.99995,     0.999995,     0.9999995,     0.99999995,
                                     0.999999995, 0.9999999995, 0.99999999995, 0.999999999995};
constexpr int16_t kMaxFactorIndex = 11;

constexpr double kCountResolution102k = 1.0 / 4096.0;
constexpr double kCountResolution100k = 1.0 / 4096.0 * 1000.0 / 1024.0;

} // namespace

const char* formatWithUnits(char* buffer, size_t size, double x, const UNIT_SPEC* table,
                            int16_t precision, int16_t flags) {
    // Zero prints without a sign: only values below zero are negative.
    const bool negative = x < 0;
    x = std::fabs(x);
    if (x == static_cast<double>(FLT_MAX)) {
        std::snprintf(buffer, size, "%cinf", negative ? '-' : '+');
        return "";
    }
    const double threshold = x / kRoundUpFactor[std::clamp<int16_t>(precision, 0, kMaxFactorIndex)];
    const UNIT_SPEC* unit = table;
    while (unit->scale != 0 && !(unit->scale <= threshold))
        ++unit;
    if (unit->scale != 0) {
        x /= unit->scale;
    } else if (x != 0 && unit != table) {
        --unit; // below the smallest unit: shown in the smallest one
        x /= unit->scale;
    }
    if (negative) x = -x;

    const int prec = precision;
    const bool withUnit = !(flags & eUnitsOmitted);
    if (flags & eUnitsFixed) {
        if (withUnit)
            std::snprintf(buffer, size, "%.*f %s", prec, x, unit->text);
        else
            std::snprintf(buffer, size, "%.*f", prec, x);
    } else {
        if (withUnit)
            std::snprintf(buffer, size, "%.*g %s", prec, x, unit->text);
        else
            std::snprintf(buffer, size, "%.*g", prec, x);
    }
    return unit->text;
}

double freqResolution(int16_t baseFreq) {
    return baseFreq == 0 ? kCountResolution100k : kCountResolution102k;
}

int32_t hzToCount(double hz, int16_t baseFreq) {
    const double counts = std::round(hz / freqResolution(baseFreq));
    if (!(counts > INT32_MIN)) return counts < 0 ? INT32_MIN : 0; // NaN gives 0
    if (counts >= INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(counts);
}

void formatFrequency(FreqValue* value, char* buffer, size_t size, int16_t baseFreq,
                     int16_t precision, bool units, const enumParAction* rpmSwitch) {
    value->hz = value->count * freqResolution(baseFreq);
    if (rpmSwitch && rpmSwitch->getRealData(ePaoEntry) != 0) {
        precision = std::min<int16_t>(precision, 5);
        const double rpm = value->hz * 60;
        if (units)
            formatWithUnits(buffer, size, rpm, rpmUnits, precision, eUnitsShown);
        else
            std::snprintf(buffer, size, "%.*g", precision, rpm);
        return;
    }
    if (units)
        formatWithUnits(buffer, size, value->hz, freqUnits, precision, eUnitsShown);
    else
        std::snprintf(buffer, size, "%.*g", precision, value->hz);
}

} // namespace vx
