// The four benchmark jobs at a small size, run through the built vxconv: the
// bytes of every output file and of the console against golden digests
// (tests/golden/workloads.txt), so that a faster path cannot change a byte.
// VX_UPDATE_GOLDEN=1 rewrites the digests instead.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>

#include "params/Catalog.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"

namespace {
// The settings of the shared test model.
vx::Catalogue& cat = vxtest::testModel().cat;
} // namespace

namespace {

constexpr const char* kGolden = VX_GOLDEN_DIR "/workloads.txt";

// The byte count and the 64-bit FNV-1a digest of the bytes, as one word.
std::string digest(const std::string& bytes) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    char text[40];
    std::snprintf(text, sizeof text, "%zu:%016llx", bytes.size(),
                  static_cast<unsigned long long>(h));
    return text;
}

std::map<std::string, std::string> readGolden() {
    std::map<std::string, std::string> golden;
    std::ifstream in(kGolden);
    std::string name, value;
    while (in >> name >> value)
        golden[name] = value;
    return golden;
}

struct WorkloadOutputs : ::testing::Test {
    vxtest::TempDir dir;
    std::map<std::string, std::string> got;

    void run(const std::vector<std::string>& args, const std::string& console) {
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, args, dir.path(), "");
        ASSERT_EQ(r.status, 0) << r.out;
        got[console] = digest(r.out);
    }
    void record(const std::string& file) { got[file] = digest(dir.read(file)); }

    void TearDown() override {
        if (std::getenv("VX_UPDATE_GOLDEN")) {
            std::map<std::string, std::string> all = readGolden();
            for (const auto& [name, value] : got)
                all[name] = value;
            std::ofstream out(kGolden);
            for (const auto& [name, value] : all)
                out << name << ' ' << value << '\n';
            return;
        }
        std::map<std::string, std::string> golden = readGolden();
        for (const auto& [name, value] : got)
            EXPECT_EQ(value, golden[name]) << name;
    }
};

TEST_F(WorkloadOutputs, NumberListToCaptureAndCaptureToAscii) {
    std::string list;
    char line[32];
    for (int i = 0; i < 2048; ++i) {
        std::snprintf(line, sizeof line, "%.6f\n", std::sin(i * 0.001) * 0.9);
        list += line;
    }
    dir.write("list.txt", list);
    run({"list.txt", "w.56c", "/Ocap", "/L2"}, "list2cap.console");
    // The header's time stamp is the time of the run: give it a fixed one,
    // keeping the block's check byte (the XOR of its bytes) right.
    std::string capture = dir.read("w.56c");
    ASSERT_GT(capture.size(), vxtest::kCapArbSamplesAt);
    const std::array<uint8_t, 14> stamp = vxtest::timeStampBytes(5, 4, 3, 2, 1, 12, 99);
    for (size_t i = 0; i < stamp.size(); ++i) {
        char& byte = capture[vxtest::kCapArbBlockAt + 4 + 10 + i];
        capture[vxtest::kCapArbCheckAt] ^= static_cast<char>(byte ^ stamp[i]);
        byte = static_cast<char>(stamp[i]);
    }
    dir.write("w.56c", capture);
    got["w.56c"] = digest(capture);
    run({"w.56c", "w.asc"}, "cap2asc.console");
    record("w.asc");
}

TEST_F(WorkloadOutputs, DisplayFilesToAsciiWithAWildcard) {
    vxtest::resetCatalogue();
    std::string spectrum = vxtest::groupDisplayFile(0);
    vxtest::resetCatalogue();
    ::mkdir((dir.path() + "/many").c_str(), 0755);
    for (const char* name : {"f0000", "f0001", "f0002"})
        dir.write(std::string("many/") + name + ".56d", spectrum);
    // A file whose name differs from an output's only in case is another file.
    dir.write("many/F0001.ASC", "old");
    run({"many/*.56d"}, "disp2asc.console");
    for (const char* name : {"many/f0000.asc", "many/f0001.asc", "many/f0002.asc"})
        record(name);
    EXPECT_EQ(dir.read("many/F0001.ASC"), "old");
}

TEST_F(WorkloadOutputs, WaterfallToAscii) {
    vxtest::resetCatalogue();
    (void)cat.fftLines[0].setData(3, 0); // 800 lines, 1024 points a slice
    (void)cat.fftLines[1].setData(3, 0);
    dir.write("w.56w", vxtest::waterfallFixture(true, false, 0, 3).file());
    vxtest::resetCatalogue();
    run({"w.56w", "wat.asc"}, "wat2asc.console");
    record("wat.asc");
}

} // namespace
