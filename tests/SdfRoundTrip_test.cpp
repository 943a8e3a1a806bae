// Display -> SDF -> Display with the built vxconv for a fixture file of a
// measure group: the values of the ASCII output and the settings that SDF
// carries come back.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "display/DisplayFile.h"
#include "params/Catalog.h"
#include "support/AsciiValues.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

namespace {

using namespace vx;
using Settings = std::map<std::string, std::string>;

// The settings that an SDF file carries for the group, as the instrument shows them.
Settings carriedSettings(int16_t group) {
    Settings s;
    auto put = [&s](const char* name, paramActionObj& p) { s[name] = p.getStr(ePaoEntry); };
    put("measurement", cat::measurement[0]);
    put("EU 1", cat::engUnits1[0]);
    put("EU 2", cat::engUnits2[0]);
    put("EU label 1", cat::euLabel1[0]);
    put("EU factor 1", cat::euPerVolt1[0]);
    switch (group) {
    case 0:
    case 1:
        put("span", cat::span[0]);
        put("start", cat::startFreq[0]);
        put("lines", cat::fftLines[0]);
        put("averaging type", cat::measAveragingType[0]);
        put("averaging mode", cat::linearAvgMode[0]);
        put("averages", cat::numAverages[0]);
        put("increment", cat::timeRecordIncr[0]);
        // Correlation reads only its own windows back.
        if (group == 0) put("window", cat::window[0]);
        break;
    case 2:
        put("resolution", cat::octaveResolution[0]);
        put("bands", cat::octaveSpan[0]);
        put("integration", cat::octIntegrationTime[0]);
        put("averaging type", cat::octAveragingType[0]);
        break;
    case 3:
        put("start", cat::sweptStart[0]);
        put("stop", cat::sweptStop[0]);
        put("points", cat::sweptPoints[0]);
        put("sweep", cat::sweptType[0]);
        break;
    case 4:
        put("delta order", cat::deltaOrder[0]);
        put("max order", cat::maxOrder[0]);
        break;
    default:
        put("span", cat::span[0]);
        put("bins", cat::histogramBins[0]);
        put("range 1", cat::inputRange1);
        break;
    }
    return s;
}

Settings readBack(const std::string& file) {
    vxtest::resetCatalogue();
    CTraceReader reader(vxtest::testModel());
    testing::internal::CaptureStdout();
    Status st = reader.open(file.c_str());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(st, 0) << file;
    return carriedSettings(cat::measureGroup[0].getData(ePaoEntry));
}

struct SdfRoundTrip : ::testing::TestWithParam<int16_t> {
    vxtest::TempDir dir;
    void SetUp() override {
        vxtest::prepareCatalogue();
        vxtest::resetCatalogue();
    }
    void TearDown() override {
        vxtest::testModel().trace.reset();
        vxtest::resetCatalogue();
    }
};

TEST_P(SdfRoundTrip, ValuesAndCarriedSettingsComeBack) {
    const int16_t group = GetParam();
    // The Order group as "Pwr Spec 1": SDF has no data type that reads back as
    // an order linear spectrum.
    constexpr int16_t kOrderPowerSpectrum1 = 55;
    dir.write("g.56d", group == 4 ? vxtest::measurementDisplayFile(group, kOrderPowerSpectrum1)
                                  : vxtest::groupDisplayFile(group));
    vxtest::RunResult r =
        vxtest::runProgram(VX_CONV_PATH, {"g.56d", "g.dat", "/Osdf"}, dir.path(), "");
    ASSERT_EQ(r.status, 0) << r.out;
    r = vxtest::runProgram(VX_CONV_PATH, {"g.dat", "back.56d"}, dir.path(), "");
    ASSERT_EQ(r.status, 0) << r.out;

    // Octave, power spectrum and histogram data are real in SDF: only their
    // real parts come back.
    const std::string columns = group == 2 || group == 4 || group == 5 ? "x,r" : "x,r,i";
    const auto before = vxtest::asciiValues(dir.path(), "g.56d", columns);
    const auto after = vxtest::asciiValues(dir.path(), "back.56d", columns);
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(after[i].size(), before[i].size()) << "line " << i;
        for (size_t c = 0; c < before[i].size(); ++c) {
            const double tol = 1e-5 * std::max(1.0, std::fabs(before[i][c]));
            EXPECT_NEAR(after[i][c], before[i][c], tol) << "line " << i << " column " << c;
        }
    }

    const Settings original = readBack("g.56d");
    const Settings returned = readBack("back.56d");
    for (const auto& [name, value] : original)
        EXPECT_EQ(returned.at(name), value) << "group " << group << ": " << name;
}

INSTANTIATE_TEST_SUITE_P(Groups, SdfRoundTrip, ::testing::Values<int16_t>(0, 1, 2, 3, 4, 5));

} // namespace
