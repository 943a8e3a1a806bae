// The example files bundled in examples/ are what the project's own tools make:
// the HP SDF file is the SDF writer's output for the bundled Display file, the
// Waterfall file comes from the fixture builder. VX_UPDATE_GOLDEN=1 rewrites them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "params/Catalog.h"
#include "support/Catalogue.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"

namespace {
// The settings of the shared test model.
vx::Catalogue& cat = vxtest::testModel().cat;
} // namespace

namespace {

std::string bundled(const std::string& name) {
    std::ifstream in(std::string(VX_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void expectBundled(const std::string& name, const std::string& bytes) {
    if (std::getenv("VX_UPDATE_GOLDEN"))
        std::ofstream(std::string(VX_EXAMPLES_DIR) + "/" + name, std::ios::binary) << bytes;
    EXPECT_TRUE(bundled(name) == bytes)
        << "examples/" << name << " differs from what the tools make";
}

TEST(Examples, SdfFileIsTheDisplayFileWrittenAsSdf) {
    vxtest::TempDir dir;
    vxtest::RunResult r = vxtest::runProgram(
        VX_CONV_PATH, {VX_EXAMPLES_DIR "/fft1.56d", "meas.dat", "/Osdf"}, dir.path(), "");
    ASSERT_EQ(r.status, 0) << r.out;
    expectBundled("meas.dat", dir.read("meas.dat"));
}

// Fifteen slices of 100 FFT lines on both channels: slices 5 to 14 of channel B
// make the README's example.
TEST(Examples, WaterfallFileIsTheFixtures) {
    vxtest::resetCatalogue();
    for (int display = 0; display < 2; ++display)
        (void)cat.fftLines[display].setData(0, 0); // 100 lines: a small file
    vxtest::WaterfallFixture f = vxtest::waterfallFixture(true, true, 0, 15);
    f.channel[0].rawBlocks = f.channel[1].rawBlocks = 0;
    vxtest::resetCatalogue();
    expectBundled("run.56w", f.file());
}

} // namespace
