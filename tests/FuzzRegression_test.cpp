// Fuzz harnesses as tests: valid files pass through them, and every kept fuzz
// finding (tests/fuzz_regressions/<harness>/) is refused without harm.
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
#include "support/WaterfallFixture.h"
#include "trace/TRACE.h"

namespace {

using Entry = int (*)(const uint8_t*, size_t);

struct Harness {
    const char* name;
    Entry entry;
};
const Harness kHarnesses[] = {
    {"options", vxfuzz::fuzzOptions},    {"display", vxfuzz::fuzzDisplay},
    {"settings", vxfuzz::fuzzSettings},  {"caparb", vxfuzz::fuzzCapArb},
    {"numbers", vxfuzz::fuzzNumberList}, {"multidisk", vxfuzz::fuzzMultiDisk},
    {"traceout", vxfuzz::fuzzTraceWriters},
    {"sdf", vxfuzz::fuzzSdf},
    {"waterfall", vxfuzz::fuzzWaterfall},
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
        vx::traceMgr().reset();
        vx::resetJobOptions();
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
    vxtest::resetCatalogue();
    EXPECT_EQ(run(vxfuzz::fuzzTraceWriters, vxtest::groupDisplayFile(0)), 0);
    for (int group = 0; group <= 5; ++group)
        EXPECT_EQ(run(vxfuzz::fuzzSdf, vxtest::sdfFile(vxtest::sdfSampleOf(group))), 0) << group;
    EXPECT_EQ(run(vxfuzz::fuzzWaterfall, vxtest::waterfallFixture(true, true, 0, 2).file()), 0);
}

TEST_F(FuzzRegression, KeptFindingsAreRefused) {
    for (const Harness& h : kHarnesses) {
        for (const std::string& file : filesIn(std::string(VX_FUZZ_REGRESSIONS_DIR) + "/" + h.name))
            EXPECT_NE(run(h.entry, readAll(file)), 0) << file;
    }
}

} // namespace
