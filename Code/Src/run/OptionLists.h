// Parsers for the list-valued options: output columns (/C), default units
// (/U), and the check of the data format (/F).
#pragma once
#include <cstdint>

namespace vx {

// Parses "x,v", "mag m2" ... into 0-terminated column codes (at most 19 kept;
// out needs 20 entries). False for an invalid list; out is then unchanged.
bool parseColumnList(const char* text, int32_t* out);

struct UnitChoice {
    int16_t peakUnits;
    int16_t dbMode;
    int16_t phaseUnits;
};
// Parses "rms,db,rad" ... into the choice, keeping what the list does not name.
bool parseUnitList(const char* text, UnitChoice& choice);

// True for a printf format with exactly one floating conversion (flags, and
// width and precision of at most two digits each; no '*', no length modifier)
// and "%%" escapes only.
bool isSafeDataFormat(const char* format);

} // namespace vx
