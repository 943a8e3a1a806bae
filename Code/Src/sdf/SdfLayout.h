// HP SDF record layouts shared by the reader and the writer: the record
// types, the numeric fields of each header record, and their conversion
// between big-endian file order and host order.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vx {

// Record types.
enum ESdfRecord : int16_t {
    eFileRec = 10,
    eMeasRec,
    eDataRec,
    eVectorRec,
    eChannelRec,
    eScanRec,
    eXDataRec,
    eYDataRec
};

// A numeric field of a record: its offset and width in bytes. Text and byte
// fields are not listed; they keep their bytes.
struct SdfField {
    uint8_t at;
    uint8_t width;
};

struct SdfLayout {
    const SdfField* fields;
    size_t count;
};

template <size_t N> constexpr SdfLayout sdfLayoutOf(const SdfField (&f)[N]) {
    return {f, N};
}

inline constexpr SdfField kSdfFileFields[] = {
    {0, 2},  {2, 4},  {6, 2},  {8, 2},  {10, 2}, {12, 2}, {14, 2}, {24, 2}, {26, 2},
    {28, 2}, {30, 2}, {32, 2}, {34, 2}, {36, 4}, {40, 4}, {44, 4}, {48, 4}, {52, 4},
    {56, 4}, {60, 4}, {64, 2}, {66, 2}, {68, 4}, {72, 4}, {76, 4}};
inline constexpr SdfField kSdfMeasFields[] = {
    {0, 2},   {2, 4},   {6, 4},   {10, 4},  {14, 4},  {18, 4},  {22, 2},  {24, 2},
    {26, 2},  {28, 2},  {30, 4},  {34, 4},  {98, 4},  {102, 8}, {110, 8}, {118, 8},
    {126, 2}, {128, 2}, {130, 2}, {132, 8}, {140, 4}, {144, 4}, {148, 8}};
inline constexpr SdfField kSdfDataFields[] = {
    {0, 2},   {2, 4},   {6, 4},   {26, 2},  {28, 2},  {30, 2}, {32, 2},  {34, 4},
    {38, 4},  {42, 2},  {44, 2},  {46, 2},  {48, 2},  {50, 2}, {52, 2},  {54, 2},
    {56, 2},  {58, 2},  {60, 4},  {64, 2},  {66, 2},  {78, 4}, {100, 4}, {112, 2},
    {114, 8}, {122, 8}, {130, 2}, {132, 2}, {134, 4}, {138, 4}};
inline constexpr SdfField kSdfVectorFields[] = {{0, 2},  {2, 4},  {6, 4}, {10, 2},
                                                {12, 2}, {14, 2}, {16, 2}};
inline constexpr SdfField kSdfChannelFields[] = {
    {0, 2},   {2, 4},   {6, 4},   {64, 2},  {66, 2},  {68, 4},  {72, 4},  {76, 4},
    {80, 4},  {84, 4},  {88, 2},  {90, 4},  {94, 4},  {98, 2},  {100, 2}, {102, 2},
    {104, 2}, {126, 4}, {138, 4}, {142, 4}, {146, 2}, {148, 2}, {150, 2}, {152, 8},
    {160, 8}, {168, 8}, {176, 8}, {184, 8}, {192, 8}};
inline constexpr SdfField kSdfScanFields[] = {{0, 2},  {2, 4},  {6, 2}, {8, 2},
                                              {10, 2}, {12, 2}, {24, 4}};

// Turns the listed fields within the first len bytes of a record from
// big-endian into host order (sdfFieldsToHost) or back (sdfFieldsToBig).
void sdfFieldsToHost(uint8_t* rec, size_t len, SdfLayout layout);
void sdfFieldsToBig(uint8_t* rec, size_t len, SdfLayout layout);

} // namespace vx
