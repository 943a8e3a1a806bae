// UFF output of fixture traces: golden datasets of every measure group, the
// values parsed back by field width against the ASCII output, the function
// and data types, the modal records, refusals and appended datasets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/Options.h"
#include "display/DisplayFile.h"
#include "params/Catalog.h"
#include "support/AsciiValues.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "uff/UffWriter.h"

namespace {

using namespace vx;

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, p - start));
        start = p + 2;
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

// Fields of a line at fixed widths.
std::vector<double> fixedFields(const std::string& line, size_t width) {
    std::vector<double> out;
    for (size_t p = 0; p + width <= line.size(); p += width)
        out.push_back(std::strtod(line.substr(p, width).c_str(), nullptr));
    return out;
}

// A dataset split into its parts: lines 1 to 7, records 6 to 11, data lines.
struct Dataset {
    std::vector<std::string> lines;
    const std::string& record(int r) const { return lines.at(7 + (r - 6)); }
    int field(int r, size_t pos, size_t width) const {
        return std::atoi(record(r).substr(pos, width).c_str());
    }
    int functionType() const { return field(6, 0, 5); }
    int dataType() const { return field(7, 0, 10); }
    int points() const { return field(7, 10, 10); }
    double x0() const { return std::strtod(record(7).substr(30, 13).c_str(), nullptr); }
    double dx() const { return std::strtod(record(7).substr(43, 13).c_str(), nullptr); }
    std::vector<std::string> dataLines() const {
        return std::vector<std::string>(lines.begin() + 13, lines.end() - 1);
    }
    std::vector<double> values() const {
        std::vector<double> v;
        for (const std::string& l : dataLines())
            for (double x : fixedFields(l, 13)) v.push_back(x);
        return v;
    }
};

struct UffOutput : ::testing::Test {
    vxtest::TempDir dir;
    void SetUp() override {
        vxtest::writeGroupDisplayFiles(dir);
    }
    void TearDown() override { vxtest::resetCatalogue(); }
    // A fixture of a measurement after the settings change `tweak` (if any).
    void make(const std::string& name, int16_t group, int16_t meas, void (*tweak)() = nullptr,
              void (*edit)(std::array<uint8_t, 47>&) = nullptr) {
        vxtest::resetCatalogue();
        if (tweak) tweak();
        dir.write(name, vxtest::measurementDisplayFile(group, meas, edit));
        vxtest::resetCatalogue();
    }
    vxtest::RunResult run(const std::string& input, std::vector<std::string> options) {
        options.insert(options.begin(), {input, "out.uff", "/Ouff"});
        return vxtest::runProgram(VX_CONV_PATH, options, dir.path(), "");
    }
    Dataset convert(const std::string& input, std::vector<std::string> options = {}) {
        vxtest::RunResult r = run(input, options);
        EXPECT_EQ(r.status, 0) << r.out;
        return Dataset{crlfLines(dir.read("out.uff"))};
    }
    static std::string golden(const std::string& name) {
        std::ifstream in(std::string(VX_GOLDEN_DIR) + "/" + name, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // Compares with a golden file line by line; VX_UPDATE_GOLDEN=1 rewrites it.
    static void expectGolden(const std::string& name, const std::string& text) {
        if (std::getenv("VX_UPDATE_GOLDEN"))
            std::ofstream(std::string(VX_GOLDEN_DIR) + "/" + name, std::ios::binary) << text;
        std::vector<std::string> want = crlfLines(golden(name)), got = crlfLines(text);
        ASSERT_EQ(got.size(), want.size()) << name;
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i], want[i]) << name << " line " << i + 1;
    }
    // The dataset's x values and data agree with the ASCII output (pk, linear).
    void expectAsciiValues(const std::string& input, const Dataset& d) {
        const bool complex = d.dataType() == 5;
        auto ascii =
            vxtest::asciiValues(dir.path(), input, complex ? "x,r,i" : "x,r", {"/Ulin,pk"});
        ASSERT_EQ(int(ascii.size()), d.points());
        EXPECT_NEAR(d.x0(), ascii[0][0], 1e-5 * std::abs(ascii[0][0]) + 1e-30);
        const double dx = ascii[1][0] - ascii[0][0];
        EXPECT_NEAR(d.dx(), dx, 1e-5 * std::abs(dx));
        std::vector<double> values = d.values();
        ASSERT_EQ(values.size(), ascii.size() * (complex ? 2 : 1));
        for (size_t i = 0; i < values.size(); ++i) {
            double want = complex ? ascii[i / 2][1 + i % 2] : ascii[i][1];
            EXPECT_NEAR(values[i], want, 5e-6 * std::abs(want) + 1e-37) << "value " << i;
        }
    }
};

TEST_F(UffOutput, EveryGroupMatchesItsGoldenDatasetOrLeavesTheLastOutput) {
    for (int g = 0; g < 6; ++g) {
        std::string in = "g" + std::to_string(g) + ".56d";
        vxtest::RunResult r = run(in, {});
        // Only the FFT and Correlation fixtures hold measurements UFF takes; a
        // refused one leaves the previous output as it was.
        EXPECT_EQ(r.status, g < 2 ? 0 : 1) << in;
        if (g >= 2) {
            EXPECT_NE(r.out.find("Translation of this measurement type to UFF is not supported\n"),
                      std::string::npos)
                << r.out;
        }
        expectGolden("uff_group" + std::to_string(g < 2 ? g : 1) + ".uff", dir.read("out.uff"));
        EXPECT_FALSE(dir.exists("out.uff.vxconv-part"));
    }
}

TEST_F(UffOutput, DatasetLinesAndValuesAgreeWithTheAsciiOutput) {
    for (const char* in : {"g0.56d", "g1.56d"}) {
        Dataset d = convert(in);
        ASSERT_GE(d.lines.size(), 14u);
        EXPECT_EQ(d.lines[0], "    -1");
        EXPECT_EQ(d.lines[1], "    58");
        // The fixtures are time-stamped 8 December 2026 (year byte 126).
        EXPECT_EQ(d.lines[4], "08-Dec-26 12:34:56");
        EXPECT_EQ(d.lines.back(), "    -1");
        expectAsciiValues(in, d);
    }
    // A baseband spectrum is complex, a baseband correlation real.
    EXPECT_EQ(convert("g0.56d").functionType(), 12);
    EXPECT_EQ(convert("g0.56d").dataType(), 5);
    EXPECT_EQ(convert("g1.56d").functionType(), 7);
    EXPECT_EQ(convert("g1.56d").dataType(), 2);
    EXPECT_EQ(convert("g0.56d").record(8).substr(0, 10), "        18");
    EXPECT_EQ(convert("g1.56d").record(8).substr(0, 10), "        17");
}

TEST_F(UffOutput, PowerSpectrumIsRealAndBecomesAComplexPsd) {
    make("pwr.56d", 0, 2);
    make("psd.56d", 0, 2, [] { (void)cat::psdUnits[0].setData(1, 0); });
    Dataset pwr = convert("pwr.56d");
    EXPECT_EQ(pwr.functionType(), 2);
    EXPECT_EQ(pwr.dataType(), 2);
    EXPECT_EQ(pwr.dataLines().front().size(), 6u * 13);
    expectAsciiValues("pwr.56d", pwr);
    Dataset psd = convert("psd.56d");
    EXPECT_EQ(psd.functionType(), 9);
    EXPECT_EQ(psd.dataType(), 5);
    EXPECT_EQ(psd.dataLines().front().size(), 6u * 13);
    expectAsciiValues("psd.56d", psd);
    // PSD units scale the values.
    EXPECT_NE(psd.values()[2], pwr.values()[1]);
}

TEST_F(UffOutput, PsdIsSwitchedOffForOtherFunctions) {
    make("fft.56d", 0, 0, [] { (void)cat::psdUnits[0].setData(1, 0); });
    Dataset d = convert("fft.56d");
    EXPECT_EQ(d.functionType(), 12);
    // The values are those without PSD scaling (the plain fixture's).
    EXPECT_EQ(d.values(), convert("g0.56d").values());
}

TEST_F(UffOutput, BasebandTimeIsRealAndZoomedTimeComplex) {
    make("base.56d", 0, 4);
    make("zoom.56d", 0, 4, [] { (void)cat::startFreq[0].setHz(startFreqAction::eStart, 1000.0); });
    Dataset base = convert("base.56d");
    EXPECT_EQ(base.functionType(), 1);
    EXPECT_EQ(base.dataType(), 2);
    expectAsciiValues("base.56d", base);
    Dataset zoom = convert("zoom.56d");
    EXPECT_EQ(zoom.functionType(), 1);
    EXPECT_EQ(zoom.dataType(), 5);
    EXPECT_EQ(zoom.dataLines().front().size(), 6u * 13);
    expectAsciiValues("zoom.56d", zoom);
}

TEST_F(UffOutput, ModalRecordWithDefaultsAndOptions) {
    EXPECT_EQ(convert("g0.56d").record(6),
              "   12         0    0         0 NONE               1   0 NONE               1   0");
    Dataset d = convert("g0.56d", {"/Msd9", "/Mrd0", "/Msipoint_with_long_name", "/Msn12",
                                   "/Mrihammer", "/Mrn-3"});
    EXPECT_EQ(d.record(6),
              "   12         0    0         0 point_with        12   3 hammer            -3  -6");
}

TEST_F(UffOutput, ForceOverForceIsAReactionForce) {
    make("frf.56d", 0, 11, [] {
        for (auto* eu : {&cat::engUnits1[0], &cat::engUnits2[0]}) (void)eu->setData(1, 0);
        for (auto* label : {&cat::euLabel1[0], &cat::euLabel2[0]}) (void)label->setData(10, 0);
    });
    Dataset d = convert("frf.56d");
    EXPECT_EQ(d.functionType(), 4);
    EXPECT_EQ(d.dataType(), 5);
    EXPECT_EQ(d.field(9, 0, 10), 9);
    EXPECT_EQ(d.field(10, 0, 10), 13);
    EXPECT_EQ(d.record(11), "         0    0    0    0 NONE                 NONE                ");
}

TEST_F(UffOutput, SingleChannelOrdinateTakesItsOwnChannelsUnit) {
    // Channel 1 in g, channel 2 without engineering units.
    make("acc.56d", 0, 0, [] {
        (void)cat::engUnits1[0].setData(1, 0);
        (void)cat::euLabel1[0].setData(7, 0);
    });
    Dataset d = convert("acc.56d");
    EXPECT_EQ(d.field(9, 0, 10), 12);
    EXPECT_EQ(d.record(10), "         0    0    0    0 NONE                 NONE                ");
}

TEST_F(UffOutput, WaterfallSliceIsRefusedAndNothingIsWritten) {
    make("slice.56d", 0, 0, nullptr, [](std::array<uint8_t, 47>& desc) { desc[3] = 11; });
    vxtest::RunResult r = run("slice.56d", {});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Translation of this waterfall slice to UFF is not supported\n"),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(dir.exists("out.uff"));
}

// A refused dataset appended to a collection adds nothing to it, so every
// dataset in it stays readable.
TEST_F(UffOutput, AppendCollectsDatasetsAndARefusedOneAddsNothing) {
    run("g0.56d", {});
    std::string once = dir.read("out.uff");
    run("g1.56d", {"/A"});
    std::string both = dir.read("out.uff");
    std::string second = both.substr(once.size());
    EXPECT_EQ(run("g2.56d", {"/A"}).status, 1);
    EXPECT_EQ(dir.read("out.uff"), both);
    run("g1.56d", {});
    EXPECT_EQ(second, dir.read("out.uff"));
}

// Writes the loaded trace, cut to n points, in this process.
TEST_F(UffOutput, SevenRealValuesMakeTwoDataLines) {
    vx::resetJobOptions(vxtest::testModel().options);
    CTraceReader reader(vxtest::testModel());
    ASSERT_EQ(reader.open("g1.56d"), 0);
    vxtest::testModel().trace.nPts = 7;
    CUffWriter writer(vxtest::testModel());
    EXPECT_EQ(writer.write("seven.uff"), 0);
    writer.close();
    std::string text = dir.read("seven.uff");
    Dataset d{crlfLines(text)};
    ASSERT_EQ(d.dataLines().size(), 2u);
    EXPECT_EQ(d.dataLines()[0].size(), 6u * 13);
    EXPECT_EQ(d.dataLines()[1].size(), 13u);
    EXPECT_EQ(text.substr(text.size() - 23), d.dataLines()[1] + "\r\n    -1\r\n");
    vxtest::testModel().trace.reset();
}

} // namespace
