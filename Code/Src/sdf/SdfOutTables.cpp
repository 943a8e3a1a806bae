// The default SDF headers and the lookup tables of the writer.
#include "sdf/SdfOutTables.h"

#include <cstring>

#include "params/CatalogTexts.h"
#include "trace/MeasDesc.h"

namespace vx {

namespace {

using H = CSdfHdrs;

void defaultFileHeader(H& h) {
    const size_t f = H::kFileHdr;
    h.setI16(f, 10);
    h.setI32(f + 2, 80);
    h.setI16(f + 6, 3);
    h.setI16(f + 8, -99);
    h.setText(f + 16, 8, "QRB");
    h.setI16(f + 24, 1); // data headers
    h.setI16(f + 26, 1); // vector headers
    h.setI16(f + 28, 2); // channel headers
    h.setI16(f + 30, 0); // unique records
    h.setI16(f + 32, 1); // scan structures
    h.setI16(f + 34, 0); // X-data records
    h.setI32(f + 36, 238);
    h.setI32(f + 40, 386);
    h.setI32(f + 44, 404);
    h.setI32(f + 48, -1);
    h.setI32(f + 52, 828);
    h.setI32(f + 56, -1);
    h.setI32(f + 60, 868);
    h.setI16(f + 64, 0);
    h.setI16(f + 66, 0);
    h.setI32(f + 68, -1);
    h.setI32(f + 72, -1);
    h.setI32(f + 76, -1);
}

void defaultMeasurementHeader(H& h) {
    const size_t m = H::kMeasHdr;
    h.setI16(m, 11);
    h.setI32(m + 2, 156);
    h.setI32(m + 6, -1);
    h.setF32(m + 10, 16384.0f);
    h.setF32(m + 14, 32768.0f);
    h.setI32(m + 18, 512);
    h.setI16(m + 26, 400);
    h.setI16(m + 28, 0);
    h.setI32(m + 30, 1);
    h.setF32(m + 34, 0.0f);
    h.setF64(m + 102, 16384.0);
    h.setF64(m + 110, 32768.0);
    h.setI16(m + 126, -99);
    h.setI32(m + 140, 0);
    h.setI32(m + 144, 400);
    h.setF64(m + 148, 1.0);
}

void defaultDataHeader(H& h) {
    const size_t d = H::kDataHdr;
    h.setI16(d, 12);
    h.setI32(d + 2, 148);
    h.setI32(d + 6, -1);
    h.setText(d + 10, 16, "QRB");
    h.setI16(d + 26, -99);
    h.setI16(d + 28, -99);
    h.setI16(d + 30, 512);
    h.setI16(d + 32, 511);
    h.setF32(d + 38, 64.0f);
    h.setI16(d + 42, 0);
    h.setI16(d + 44, 3);
    h.setI16(d + 46, 0);
    h.setI16(d + 48, 3);
    h.setI16(d + 50, 1);
    h.setI16(d + 52, 1);
    h.setF64(d + 114, 0.0);
    h.setF64(d + 122, 64.0);
    h.setI32(d + 134, 512);
    h.setI32(d + 138, 511);
}

void defaultVectorHeader(H& h) {
    const size_t v = H::kVectorHdr;
    h.setI16(v, 13);
    h.setI32(v + 2, 18);
    h.setI32(v + 6, -1);
    h.setI16(v + 10, -1);
    h.setI16(v + 12, -1);
    h.setI16(v + 14, 0);
    h.setI16(v + 16, 0);
}

struct DataTypeEntry {
    int16_t dataType;
    int16_t measurement; // -1 ends the reading part, -2 the table
};

// Each group's table: the reading part, then the measurements that only
// the writer needs (second inputs, windowed time records ...).
constexpr DataTypeEntry kFftTypes[] = {{0, 4}, {2, 2},  {1, 0},    {3, 10},  {4, 11},
                                       {8, 9}, {22, 8}, {-99, -1}, {0, 5},   {0, 6},
                                       {0, 7}, {2, 3},  {1, 1},    {-99, -2}};
constexpr DataTypeEntry kCorrTypes[] = {{0, 22}, {5, 19}, {6, 21}, {-99, -1}, {0, 23},
                                        {0, 24}, {0, 25}, {5, 20}, {-99, -2}};
constexpr DataTypeEntry kOctTypes[] = {{11, 33}, {12, 33}, {39, 33}, {-99, -1},
                                       {11, 34}, {12, 34}, {39, 34}, {-99, -2}};
constexpr DataTypeEntry kSweptTypes[] = {{1, 42},   {25, 44}, {3, 46},  {4, 47},
                                         {-99, -1}, {1, 43},  {25, 45}, {-99, -2}};
constexpr DataTypeEntry kOrderTypes[] = {{21, 55},  {0, 57},   {22, 62},  {-99, -1}, {21, 56},
                                         {0, 58},   {0, 59},   {0, 60},   {1, 53},   {1, 54},
                                         {-99, 61}, {-99, 63}, {-99, 64}, {-99, -2}};
constexpr DataTypeEntry kHistTypes[] = {{14, 72}, {15, 74}, {16, 76}, {-99, -1}, {14, 73},
                                        {15, 75}, {16, 77}, {0, 78},  {0, 79},   {-99, -2}};

const DataTypeEntry* const kGroupTypes[] = {kFftTypes,   kCorrTypes,  kOctTypes,
                                            kSweptTypes, kOrderTypes, kHistTypes};

struct Title {
    int16_t dataType;
    const char* text;
};

constexpr Title kTitles[] = {
    {0, "Time"},       {1, "Lin Spec"},   {2, "Pwr Spec"},  {3, "Cross Spec"}, {4, "Freq Resp"},
    {5, "Auto Corr"},  {6, "Cross Corr"}, {8, "Coherence"}, {11, "Pwr Spec"},  {12, "Pwr Spec"},
    {14, "Histogram"}, {15, "PDF"},       {16, "CDF"},      {21, "Pwr Spec"},  {25, "Nmrl Var"},
    {39, "Pwr Spec"},  {22, "Orbit"}};

constexpr SdfUnit kEngineeringUnits[] = {
    {"m/s^2", 1.0f, {0, 2, -4}},     {"m/s", 1.0f, {0, 2, -2}},      {"m", 1.0f, {0, 2, 0}},
    {"in/s^2", 0.0254f, {0, 2, -4}}, {"in/s", 0.0254f, {0, 2, -2}},  {"in", 0.0254f, {0, 2, 0}},
    {"mil", 0.0000254f, {0, 2, 0}},  {"g", 9.80665f, {0, 2, -4}},    {"kg", 1.0f, {2, 0, 0}},
    {"lbs", 4.4482f, {2, 0, 0}},     {"N", 1.0f, {2, 2, -4}},        {"dyne", 0.00001f, {2, 2, -4}},
    {"Pas", 1.0f, {-2, 2, -4}},      {"bar", 0.00001f, {-2, 2, -4}}, {"V", 1.0f, {2, 4, -6, -2}}};

} // namespace

const SdfUnit kSdfHertz = {"Hz", 1.0f, {0, 0, -2}};
const SdfUnit kSdfSeconds = {"s", 1.0f, {0, 0, 2}};
const SdfUnit kSdfVolts = {"V", 1.0f, {2, 4, -6, -2}};
const SdfUnit kSdfCounts = {"count", 1.0f, {}};
const SdfUnit kSdfOrders = {"Order", 1.0f, {}};
const SdfUnit kSdfRpm = {"RPM", 1.0f / 60.0f, {0, 0, -2}};
const SdfUnit kSdfRevolutions = {"Rev", 1.0f, {}};
const SdfUnit kSdfNoUnit = {"", 1.0f, {}};

void loadSdfDefaultHeaders(CSdfHdrs& hdrs) {
    hdrs.clear();
    defaultFileHeader(hdrs);
    defaultMeasurementHeader(hdrs);
    defaultDataHeader(hdrs);
    defaultVectorHeader(hdrs);
    hdrs.setDefaultChannelHeader(0);
    hdrs.setDefaultChannelHeader(1);
    hdrs.setDefaultScanStructure();
}

bool sdfDataTypeOf(int group, int16_t measurement, int16_t octaveResolution, int16_t& dataType) {
    if (group < 0 || group > 5) return false;
    const DataTypeEntry* table = kGroupTypes[group];
    for (int i = 0; table[i].measurement != -2; ++i) {
        if (table[i].measurement != measurement) continue;
        int pick = i;
        // The three resolutions of an octave measurement follow each other.
        if (group == 2) pick += octaveResolution < 0 || octaveResolution > 2 ? 0 : octaveResolution;
        dataType = table[pick].dataType;
        return true;
    }
    return false;
}

const char* sdfDataTitle(int16_t dataType, int16_t measurement) {
    for (const Title& t : kTitles)
        if (t.dataType == dataType) return t.text;
    if (measurement == 63 || measurement == 64) return "Tracked Ord";
    if (measurement < 0 || measurement >= kMeasurementCount) return "Unknown";
    return texts::measurements[measurement];
}

const SdfUnit& sdfEngineeringUnit(int16_t id) {
    constexpr int16_t kVoltId = 14;
    return kEngineeringUnits[id < 0 || id > kVoltId ? kVoltId : id];
}

void putSdfUnit(CSdfHdrs& hdrs, size_t at, const SdfUnit& unit) {
    hdrs.setText(at, 10, unit.label);
    hdrs.setF32(at + 10, unit.scale);
    if (at + 22 <= CSdfHdrs::kSize) std::memcpy(hdrs.data() + at + 14, unit.exponents, 8);
}

} // namespace vx
