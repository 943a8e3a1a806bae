// Unit formatting: the unit tables, values printed in the unit that suits their
// size, and the instrument's frequency counts.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vx {

class enumParAction;

// One unit of a table. A table lists its units from the largest scale down and
// ends with an entry of scale 0 whose text is the unit's base name.
struct UNIT_SPEC {
    const char* text;
    double scale;
};

extern const UNIT_SPEC freqUnits[];   // MHz .. microHz
extern const UNIT_SPEC timeUnits[];   // Ms .. micro s
extern const UNIT_SPEC prefixUnits[]; // G .. p
extern const UNIT_SPEC rpmUnits[];    // MRPM .. nRPM

// Flags of formatWithUnits: bit 0 leaves the unit out, bit 1 prints fixed-point.
enum : int16_t { eUnitsShown = 0, eUnitsOmitted = 1, eUnitsFixed = 2 };

// Prints x scaled to the largest unit of the table in which it shows as at
// least 1 after rounding to the precision, into buffer (at most size bytes,
// always terminated). Returns the unit text chosen; the largest finite float
// prints as "+inf" or "-inf" with an empty unit text.
const char* formatWithUnits(char* buffer, size_t size, double x, const UNIT_SPEC* table,
                            int16_t precision, int16_t flags);

// The instrument's frequency: a count of resolution steps, and the same value
// in Hz, recomputed from the count before every use.
struct FreqValue {
    int32_t count;
    double hz;
};

// Hz per count for a Base Freq. index: 0 is 100 kHz, any other value 102.4 kHz.
double freqResolution(int16_t baseFreq);
// The count nearest to hz (half away from zero), clamped to the 32-bit range.
int32_t hzToCount(double hz, int16_t baseFreq);

// Refreshes value->hz from its count and prints it, in Hz or (with the RPM
// display switch rpmSwitch given and on) in RPM, with the unit table when
// units is set.
void formatFrequency(FreqValue* value, char* buffer, size_t size, int16_t baseFreq,
                     int16_t precision, bool units, const enumParAction* rpmSwitch);

} // namespace vx
