// The fixed tables of SDF writing: the default headers, each group's
// measurement to data type table, the data titles and the unit records.
#pragma once
#include <cstdint>

#include "sdf/SdfParse.h"

namespace vx {

// Data type of the unsupported and of user functions.
constexpr int16_t kSdfUnknownType = -99;

// A complete set of default headers: the store holds them after the call.
void loadSdfDefaultHeaders(CSdfHdrs& hdrs);

// The data type of a measurement in its group's table (the first match; in
// the Octave group shifted by the octave resolution); false when the table
// has no entry for it.
bool sdfDataTypeOf(int group, int16_t measurement, int16_t octaveResolution, int16_t& dataType);

// The data title of a data type; for types without one, "Tracked Ord" for
// the order tracks, else the measurement's name.
const char* sdfDataTitle(int16_t dataType, int16_t measurement);

// A unit record: a 10-character label, a scale and eight exponents counted in halves.
struct SdfUnit {
    const char* label;
    float scale;
    int8_t exponents[8];
};

// The engineering units by id, 0 "m/s^2" ... 13 "bar", 14 the volt.
const SdfUnit& sdfEngineeringUnit(int16_t id);
extern const SdfUnit kSdfHertz, kSdfSeconds, kSdfVolts, kSdfCounts, kSdfOrders, kSdfRpm,
    kSdfRevolutions, kSdfNoUnit;

// Writes a unit record (22 bytes) at the offset of the store.
void putSdfUnit(CSdfHdrs& hdrs, size_t at, const SdfUnit& unit);

} // namespace vx
