// Fuzz harnesses as tests: valid files pass through them (the write-side
// harnesses checking their properties), and every kept fuzz finding
// (tests/fuzz_regressions/<harness>/) runs without harm: a reader refuses it,
// a write-side harness keeps its properties.
#include "Harnesses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/ErrLogger.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/SdfFixture.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"
#include "trace/TRACE.h"

namespace {

using Entry = int (*)(const uint8_t*, size_t);

struct Harness {
    const char* name;
    Entry entry;
    bool refuses; // a reader: its kept findings are refused
};
const Harness kHarnesses[] = {
    {"options", vxfuzz::fuzzOptions, true},
    {"display", vxfuzz::fuzzDisplay, true},
    {"settings", vxfuzz::fuzzSettings, true},
    {"caparb", vxfuzz::fuzzCapArb, true},
    {"numbers", vxfuzz::fuzzNumberList, true},
    {"multidisk", vxfuzz::fuzzMultiDisk, true},
    {"traceout", vxfuzz::fuzzTraceWriters, true},
    {"sdf", vxfuzz::fuzzSdf, true},
    {"waterfall", vxfuzz::fuzzWaterfall, true},
    {"settingsfile", vxfuzz::fuzzSettingsFile, false},
    {"displayrt", vxfuzz::fuzzDisplayRoundTrip, false},
    {"sdfrt", vxfuzz::fuzzSdfRoundTrip, false},
    {"sdfout", vxfuzz::fuzzSdfOutputs, false},
    {"qlist", vxfuzz::fuzzReplacementList, false},
    {"spanning", vxfuzz::fuzzSpanning, false},
    {"ascii", vxfuzz::fuzzAsciiOptions, false},
    {"library", vxfuzz::fuzzLibrary, false},
    {"wfcopy", vxfuzz::fuzzWaterfallCopy, false},
};

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(dir + "/" + e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readAll(const std::string& name) {
    std::ostringstream s;
    s << std::ifstream(name, std::ios::binary).rdbuf();
    return s.str();
}

struct FuzzRegression : ::testing::Test {
    void SetUp() override {
        logName_ = vx::errLog().logFileName();
        vxfuzz::prepareProcess();
    }
    void TearDown() override {
        vx::platform::setReadCharFunction({});
        vx::platform::setFreeBytesFunction({});
        vxtest::resetCatalogue();
        vxtest::testModel().trace.reset();
        vx::resetJobOptions(vxtest::testModel().options);
        (void)vx::errLog().setLogFileName(logName_.c_str());
    }

    // The harness's status for the bytes; the console text is dropped.
    static int run(Entry entry, const std::string& bytes) {
        testing::internal::CaptureStdout();
        int st = entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        (void)testing::internal::GetCapturedStdout();
        return st;
    }

    std::string logName_;
};

TEST_F(FuzzRegression, ValidInputsPassThroughTheHarnesses) {
    vxtest::CapArbFixture capture;
    capture.padToLength();
    EXPECT_EQ(run(vxfuzz::fuzzCapArb, vxtest::capArbFile(capture)), 0);
    EXPECT_EQ(run(vxfuzz::fuzzNumberList, "0.1 -0.2\n0.3\r\n"), 0);
    std::string args = std::string(1, '\0') + "/oasc" + std::string(1, '\0') + "a.56d";
    EXPECT_EQ(run(vxfuzz::fuzzOptions, args), 0);
    // Options drawn from the table: /B1 taken, /B2 refused as out of range.
    EXPECT_EQ(run(vxfuzz::fuzzOptions, std::string("\0\x01\x01\x01", 4)), 0);
    EXPECT_EQ(run(vxfuzz::fuzzOptions, std::string("\0\x01\x01\x03", 4)), 6);
    vxtest::resetCatalogue();
    EXPECT_EQ(run(vxfuzz::fuzzTraceWriters, vxtest::groupDisplayFile(0)), 0);
    for (int group = 0; group <= 5; ++group)
        EXPECT_EQ(run(vxfuzz::fuzzSdf, vxtest::sdfFile(vxtest::sdfSampleOf(group))), 0) << group;
    EXPECT_EQ(run(vxfuzz::fuzzWaterfall, vxtest::waterfallFixture(true, true, 0, 2).file()), 0);
}

// The write-side harnesses abort when a property fails.
TEST_F(FuzzRegression, WriteSideKeepsItsPropertiesOnValidInputs) {
    for (int16_t group = 0; group <= 5; ++group) {
        vxtest::resetCatalogue();
        const std::string display = vxtest::groupDisplayFile(group);
        EXPECT_EQ(run(vxfuzz::fuzzDisplayRoundTrip, display), 0) << group;
        EXPECT_EQ(run(vxfuzz::fuzzSdfRoundTrip, display), 0) << group;
    }
    // Capture copy, Capture from a list, Waterfall copy; new disks, one
    // "no" at the second disk change, a full disk.
    for (const std::string& choices :
         {std::string("\0\x40\0\0\1", 5), std::string("\1\x10\0\3\3\0", 6),
          std::string("\2\x20\0\5\2\4\3\3\3", 9)})
        (void)run(vxfuzz::fuzzSpanning, choices);
    EXPECT_EQ(run(vxfuzz::fuzzAsciiOptions, std::string("\7\3\1\2\4\1\6\2\2\1\0", 11)), 0);
    (void)run(vxfuzz::fuzzLibrary, std::string("\0\1\0\0\1\3\0\3\2\3\6\2\1\0\0\3\2\3", 18));
}

// A damaged span that carries a trace's frequency count past 32 bits: the
// file converts, the count stopping at the edge, with no undefined behaviour
// (a finding of the sanitizer build's fuzzing, kept apart from the findings
// the harnesses must refuse).
TEST_F(FuzzRegression, FrequencyCountPastThirtyTwoBitsConverts) {
    const std::string file =
        std::string(VX_FUZZ_REGRESSIONS_DIR) + "/accepted/frequency-count-past-32-bits";
    EXPECT_EQ(run(vxfuzz::fuzzTraceWriters, readAll(file)), 0);
}

TEST_F(FuzzRegression, KeptFindingsRunWithoutHarm) {
    for (const Harness& h : kHarnesses) {
        for (const std::string& file :
             filesIn(std::string(VX_FUZZ_REGRESSIONS_DIR) + "/" + h.name)) {
            int st = run(h.entry, readAll(file));
            if (h.refuses) {
                EXPECT_NE(st, 0) << file;
            }
        }
    }
}

} // namespace
