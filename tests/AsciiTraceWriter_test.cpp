// ASCII output of traces end to end: fixture Display files of every measure
// group converted by the built vxconv, compared with golden files; and the
// data options on one trace.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "trace/MeasDesc.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct AsciiOutput : ::testing::Test {
    vxtest::TempDir dir;
    void SetUp() override {
        vxtest::writeGroupDisplayFiles(dir);
    }
    // Converts a fixture file with the options; the output text.
    std::string convert(const std::string& input, std::vector<std::string> options) {
        options.insert(options.begin(), {input, "out.asc"});
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, options, dir.path(), "");
        EXPECT_EQ(r.status, 0) << r.out;
        return dir.read("out.asc");
    }
    // Compares with a golden file; VX_UPDATE_GOLDEN=1 rewrites it instead.
    static void expectGolden(const std::string& name, const std::string& text) {
        std::string path = std::string(VX_GOLDEN_DIR) + "/" + name;
        if (std::getenv("VX_UPDATE_GOLDEN")) std::ofstream(path, std::ios::binary) << text;
        EXPECT_EQ(text, readFile(path)) << name;
    }
};

TEST_F(AsciiOutput, EveryGroupMatchesItsGoldenFilesWithStandardAndExhaustiveHeaders) {
    for (int g = 0; g < 6; ++g) {
        std::string in = "g" + std::to_string(g) + ".56d";
        expectGolden("ascii_group" + std::to_string(g) + ".asc", convert(in, {}));
        expectGolden("ascii_group" + std::to_string(g) + "_exhaustive.asc", convert(in, {"/H2"}));
    }
}

TEST_F(AsciiOutput, LinesEndInCrLfAndDataOnlyHasNoHeader) {
    std::string data = convert("g0.56d", {"/D"});
    EXPECT_EQ(data.substr(0, 32), "  0.000000e+00   7.958800e+00 \r\n");
    size_t lines = 0;
    for (size_t p = data.find("\r\n"); p != std::string::npos; p = data.find("\r\n", p + 2)) ++lines;
    EXPECT_EQ(lines, 401u);
    std::string header = convert("g0.56d", {"/H1"});
    EXPECT_EQ(header.find("e+00"), std::string::npos);
    EXPECT_NE(header.find("Measure Group: FFT\r\n"), std::string::npos);
}

TEST_F(AsciiOutput, PointsPerLineRepeatTheHeadingsAndSeparatorsFollowTheList) {
    std::string out = convert("g0.56d", {"/P4", "/K1", "/Cx,r"});
    size_t heading = out.find("X[Hz]");
    ASSERT_NE(heading, std::string::npos);
    std::string line = out.substr(out.rfind("\r\n", heading) + 2);
    line = line.substr(0, line.find("\r\n"));
    EXPECT_EQ(std::count(line.begin(), line.end(), 'X'), 4);
    // Every field is followed by a comma: the list "x,r" needs no expansion.
    std::string first = out.substr(out.find("\r\n", heading) + 2);
    first = first.substr(0, first.find("\r\n"));
    EXPECT_EQ(std::count(first.begin(), first.end(), ','), 8);
}

TEST_F(AsciiOutput, RmsAndPeakToPeakScaleTheMagnitude) {
    auto firstValue = [](const std::string& out) {
        std::istringstream in(out);
        double x = 0, v = 0;
        in >> x >> v;
        return v;
    };
    double pk = firstValue(convert("g0.56d", {"/D", "/Cx,mag", "/Ulin,pk"}));
    double rms = firstValue(convert("g0.56d", {"/D", "/Cx,mag", "/Ulin,rms"}));
    double pp = firstValue(convert("g0.56d", {"/D", "/Cx,mag", "/Ulin,pp"}));
    EXPECT_NEAR(pk, 2.5, 1e-6);
    EXPECT_NEAR(rms, 2.5 * 0.707106781, 1e-5);
    EXPECT_NEAR(pp, 5.0, 1e-5);
}

// Measurement 62 is shown as real and imaginary parts: each "v" expands into
// two fields, and with two of them every value must still stand apart.
TEST_F(AsciiOutput, TwoExpandedColumnsKeepEveryValueApart) {
    const int16_t m = 62;
    vxtest::resetCatalogue();
    dir.write("c.56d", vxtest::measurementDisplayFile(int16_t(vx::groupOfMeasurement(m)), m));
    vxtest::resetCatalogue();
    std::string line = convert("c.56d", {"/D", "/F%.3e", "/Cv,v", "/K1"});
    line = line.substr(0, line.find("\r\n"));
    EXPECT_EQ(std::count(line.begin(), line.end(), 'e'), 4) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 3) << line; // none after the last
}

TEST_F(AsciiOutput, AppendAddsConversionsToOneFile) {
    convert("g0.56d", {"/D"});
    std::string once = dir.read("out.asc");
    std::string twice = convert("g0.56d", {"/D", "/A"});
    EXPECT_EQ(twice, once + once);
}

} // namespace
