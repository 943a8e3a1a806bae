// Writes the Display files the benchmarks convert:
//   vxbench_inputs DIR [COPIES]
// DIR/fft800.56d   an 800-line FFT spectrum (801 values, 1024 points stored)
// DIR/time2048.56d a 2048-point baseband time record at 800 lines
// DIR/many/fNNNN.56d COPIES 400-line FFT spectra (none when COPIES is 0)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "BenchInputs.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"

namespace {

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vxbench_inputs DIR [COPIES]\n");
        return 2;
    }
    std::string dir = argv[1];
    long copies = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 0;
    bool ok = writeFile(dir + "/fft800.56d", vxbench::fft800File()) &&
              writeFile(dir + "/time2048.56d", vxbench::time2048File());
    if (ok && copies > 0) {
        ::mkdir((dir + "/many").c_str(), 0755);
        std::string spectrum = vxbench::fft400File();
        char name[32];
        for (long i = 0; ok && i < copies; ++i) {
            std::snprintf(name, sizeof name, "/many/f%04ld.56d", i);
            ok = writeFile(dir + name, spectrum);
        }
    }
    return ok ? 0 : 1;
}
