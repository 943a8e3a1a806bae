// Builds HP SDF files byte by byte (big-endian) for reader tests: one vector
// with its channel headers, a scan structure and the Y data, every field that
// the translation reads settable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vxtest {

struct SdfChannel {
    int16_t windowType = 0;
    int16_t windowCorrMode = 0;
    float narrowBandCorr = 1.0f;
    float range = 0.0f; // dBV
    std::string unitLabel = "V";
    float unitScale = 1.0f;
    int8_t unitExponents[8] = {2, 4, -6, -2, 0, 0, 0, 0};
    float engUnitCal = 1.0f;
};

struct SdfFixture {
    int16_t revision = 3; // 2 writes the older record sizes and fields
    int16_t year = 2021, monthDay = 315, hourMinute = 1207;
    // Measurement header.
    int32_t blockSize = 512; // its low 16 bits are the histogram length
    int16_t averageType = 0;
    int32_t averageCount = 1;
    float overlap = 0.0f; // the octave integration time x 2
    double center = 51200, span = 102400 / 0.78125;
    int16_t measType = 0;
    int32_t startIndex = 0;
    // Data header.
    int16_t xDomain = 0, dataType = 2, xResolution = 0;
    int16_t yPerPoint = 1, yComplex = 0;
    double xStart = 0, xStep = 256;
    int16_t windowApplied = 0;
    int32_t points = 401, lastValidIndex = 400;
    // Vector header.
    int16_t vectorChannels[2] = {0, -1};
    int16_t powers[2] = {48, 0};
    std::vector<SdfChannel> channels = {SdfChannel(), SdfChannel()};
    // The Y data as stored; the octave record's size counts 4 bytes more.
    std::vector<float> y;
    bool octaveRecord = false;

    // y filled with `count` values 1, 2, 3 ...
    SdfFixture& ramp(size_t count);
};

// A valid file of a measure group (0 FFT ... 5 Time Histogram).
SdfFixture sdfSampleOf(int group);

// The whole file: "B", 0, then file, measurement, data and vector header, the
// channel headers, the scan structure and the Y-data record.
std::string sdfFile(const SdfFixture& f);

// Offsets in the file of sdfFile (revision 3) for damaging it.
struct SdfLayout {
    size_t fileHdr, measHdr, dataHdr, vectorHdr, channelHdr, scan, yData;
};
SdfLayout sdfLayout(const SdfFixture& f);

// The bytes with a big-endian field of width 2 or 4 replaced.
std::string patchBe(std::string bytes, size_t at, uint32_t v, int width);

} // namespace vxtest
