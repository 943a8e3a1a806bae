// Writes a Waterfall file for the benchmark: channel A only, 800 lines, the
// given number of slices (default 2048), built by the test fixture.
//   make_waterfall FILE [SLICES]
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "params/Catalog.h"
#include "support/Catalogue.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_waterfall FILE [SLICES]\n");
        return 2;
    }
    int slices = argc > 2 ? std::atoi(argv[2]) : 2048;
    vxtest::resetCatalogue();
    vx::Catalogue& cat = vxtest::testModel().cat;
    (void)cat.fftLines[0].setData(3, 0); // 800 lines, 1024 points a slice
    (void)cat.fftLines[1].setData(3, 0);
    vxtest::WaterfallFixture f =
        vxtest::waterfallFixture(true, false, 0, static_cast<int16_t>(slices));
    std::ofstream(argv[1], std::ios::binary | std::ios::trunc) << f.file();
    return 0;
}
