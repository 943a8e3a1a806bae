// Writes the instrument files that the Python package's tests read: the six
// group Display files g0.56d ... g5.56d, a Waterfall file w.56w of both
// channels (slice s of channel c holds the real part 1000 c + s) and a
// channel-2 Capture file c2.56c.
//   vx_make_test_files DIR
#include <cstdio>
#include <fstream>
#include <string>

#include "params/Catalog.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"

namespace {
// The settings of the shared test model.
vx::Catalogue& cat = vxtest::testModel().cat;
} // namespace

namespace {

bool save(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx_make_test_files DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    for (int16_t g = 0; g < 6; ++g) {
        vxtest::resetCatalogue();
        ok = save(dir + "/g" + std::to_string(g) + ".56d", vxtest::groupDisplayFile(g)) && ok;
    }
    vxtest::resetCatalogue();
    (void)cat.fftLines[0].setData(0, 0); // 100 lines keep the slices small
    (void)cat.fftLines[1].setData(0, 0);
    ok = save(dir + "/w.56w", vxtest::waterfallFixture(true, true, 0, 12).file()) && ok;

    vxtest::CapArbFixture f;
    f.kpts = 4;
    f.inputRange[0] = -10;
    f.inputRange[1] = 20;
    f.kind = 1; // channel 2
    f.samples = {858993459, -(1 << 30), 0, 85899346, 123456789};
    ok = save(dir + "/c2.56c", vxtest::capArbFile(f.padToLength())) && ok;
    return ok ? 0 : 1;
}
