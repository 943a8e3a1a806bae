#include "BenchInputs.h"

#include "support/Catalogue.h"
#include "params/Catalog.h"
#include "support/DisplayFixture.h"
#include "support/TestModel.h"
#include "trace/AXIS.h"
#include "trace/MeasDesc.h"

namespace vxbench {

namespace {

constexpr int16_t kFftGroup = 0;
constexpr int16_t k400Lines = 2;
constexpr int16_t k800Lines = 3;

// The first measurement of the FFT group shown on a time axis.
int16_t timeRecordMeasurement() {
    int16_t m = 0;
    while (vx::groupOfMeasurement(m) == kFftGroup && vx::measDescriptor(m).axisKind() != vx::eTimeAxis) ++m;
    return m;
}

std::string build(int16_t measurement, int16_t lines) {
    vxtest::resetCatalogue();
    vx::Catalogue& cat = vxtest::testModel().cat;
    (void)cat.fftLines[0].setData(lines, 0);
    cat.fftLines[0].setParam(0);
    std::string file = vxtest::measurementDisplayFile(kFftGroup, measurement);
    vxtest::resetCatalogue();
    return file;
}

} // namespace

std::string fft400File() { return build(vxtest::groupMeasurement(kFftGroup), k400Lines); }
std::string fft800File() { return build(vxtest::groupMeasurement(kFftGroup), k800Lines); }
std::string time2048File() { return build(timeRecordMeasurement(), k800Lines); }

} // namespace vxbench
