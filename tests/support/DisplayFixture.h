// Display files built byte by byte for reader tests: the settings block in
// the VX560 or VX550 layout, and the vectors with their headers.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace vxtest {

struct FixturePoint {
    float re = 0.0f;
    float im = 0.0f;
};

struct FixtureVector {
    std::array<uint32_t, 32> header{}; // word 0 is the point count
    std::vector<FixturePoint> points;
    bool goodCheck = true; // false: the header check word is wrong
};

// The settings block of a VX560 file (inside the checked block).
struct Vx560Settings {
    std::string versionText = "plat218 pao5";
    int16_t measGroup = 0;
    int16_t xDispLen = 400;
    int32_t nPts = 512;
    std::array<uint8_t, 47> descriptor{};
    std::array<uint8_t, 14> timeStamp{};
    std::string lists; // the serialized parameter lists, in file order
    std::string bytes() const;
};

// The settings block of a VX550 file: the first word is the measure group
// (or the -1 marker and a version text), then the old records as given.
struct Vx550Settings {
    bool marker = false; // true: -1 and the version text come first
    std::string versionText = "plat210 pao4";
    int16_t measGroup = 0;
    int16_t oldTraceKind = 0;
    int16_t xDispLen = 400;
    int32_t nPts = 512;
    int16_t windowSelector = 0;
    std::string records;
    std::string bytes() const;
};

struct DisplayFixture {
    std::string settings;   // the block's contents
    int16_t vectorCode = 0; // as stored (a VX550 file stores the count + 1)
    std::vector<FixtureVector> vectors;
    std::string bytes() const;
};

// A vector of n points whose values are i and -i.
FixtureVector rampVector(uint32_t n);

} // namespace vxtest

namespace vxtest {

// A VX560 Display file of a representative measurement of the measure group
// (0 FFT ... 5 Time Histogram) with the catalogue defaults, its lists written
// by the list serializer and a vector of smooth values. Leaves the catalogue
// set to that measurement; call resetCatalogue afterwards.
std::string groupDisplayFile(int16_t group);
// The measurement that groupDisplayFile uses for a group.
int16_t groupMeasurement(int16_t group);
// Prepares the catalogue and writes groupDisplayFile(g) of every group as
// "g0.56d" ... "g5.56d" into the directory; the catalogue is reset afterwards.
void writeGroupDisplayFiles(const TempDir& dir);
// The same for any measurement of the group, with the other settings as the
// caller left them in the catalogue; `edit` may change the stored descriptor
// (a waterfall slice's axis kind, for example).
std::string measurementDisplayFile(int16_t group, int16_t measurement,
                                   void (*edit)(std::array<uint8_t, 47>&) = nullptr);

} // namespace vxtest
