// Every row of the table of output formats, checked alike: it converts from
// every input kind it accepts, the files it writes read back as their kind,
// it has its help, and a conversion that cannot write leaves no file behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <string>

#include "base/ErrLogger.h"
#include "base/Platform.h"
#include "run/ConvRun.h"
#include "run/FileKind.h"
#include "run/OptionMgr.h"
#include "run/Pairing.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/SdfFixture.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"

namespace {

using vx::OutputFormat;

// An input file of the type, as the fixture builders make it.
std::string inputOf(int32_t type) {
    switch (type) {
    case vx::eInDisplay:
        return vxtest::groupDisplayFile(0);
    case vx::eInCapArb: {
        vxtest::CapArbFixture f;
        return vxtest::capArbFile(f.padToLength());
    }
    case vx::eInWaterfall:
        return vxtest::waterfallFixture(true, true, 0, 2).file();
    case vx::eInNumberList:
        return "0.5\n-0.25\n1\n";
    case vx::eInSdfOld: {
        vxtest::SdfFixture f = vxtest::sdfSampleOf(0);
        f.revision = 2;
        return vxtest::sdfFile(f);
    }
    default:
        return vxtest::sdfFile(vxtest::sdfSampleOf(0));
    }
}

std::set<std::string> entries(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

struct FormatRegistry : ::testing::Test {
    vxtest::TempDir dir;
    void SetUp() override {
        vx::errLog().setConsoleSink([](const char*, void*) {}, nullptr);
    }
    void TearDown() override {
        vx::errLog().setConsoleSink(nullptr, nullptr);
        vx::platform::setFreeBytesFunction(nullptr);
        vxtest::resetCatalogue();
    }

    // Runs the conversion of `in` to `out` in the row's format, as vxconv
    // does; `detected` receives the input type that detection found.
    vx::Status convert(const OutputFormat& f, std::string in, std::string out,
                       int32_t* detected = nullptr) {
        char program[] = "vxconv";
        char* argv[] = {program, in.data(), out.data(), nullptr};
        vx::COptionMgr job(vxtest::testModel(), 3, argv, nullptr);
        job.setOutputFormat(f.number);
        vx::applyDefaultColumns(vx::formatBit(f.number), vxtest::testModel().options);
        vx::Status st = vx::runConversion(job);
        if (detected) *detected = job.inputType();
        return st;
    }

    // Each input type the row converts from, with its input file written.
    template <class Body> void forEachConversion(Body body) {
        for (const OutputFormat& f : vx::outputFormats()) {
            for (int32_t type = vx::eInDisplay; type <= vx::eInSdf; ++type) {
                if (!vx::converts(type, f.number)) continue;
                SCOPED_TRACE(std::to_string(f.number) + " from type " + std::to_string(type));
                dir.write("in.src", inputOf(type));
                vxtest::resetCatalogue();
                body(f, type);
            }
        }
    }
};

TEST_F(FormatRegistry, WritesFromEveryInputItPairsWithAndReadsBack) {
    forEachConversion([&](const OutputFormat& f, int32_t type) {
        const std::string out = std::string("out.") + f.extension;
        int32_t detected = -1;
        ASSERT_EQ(convert(f, "in.src", out, &detected).code(), 0);
        EXPECT_EQ(detected, type);
        ASSERT_TRUE(dir.exists(out));
        if (f.writesType < 0) return;
        int32_t written = vx::existingFileType(out.c_str());
        EXPECT_EQ(written == vx::eInSdfOld ? vx::eInSdf : written, f.writesType);
        std::unique_ptr<vx::CFileReader> reader =
            vx::readerFor(vxtest::testModel(), written, vx::eFmtAsc);
        ASSERT_TRUE(reader);
        vxtest::resetCatalogue();
        EXPECT_EQ(reader->open(out.c_str()).code(), 0);
        reader->close();
    });
}

TEST_F(FormatRegistry, EveryFormatHasItsHelpAndEveryKeywordItsLineOfTheList) {
    for (const OutputFormat& f : vx::outputFormats()) {
        int lines = 0;
        vx::errLog().setConsoleSink([](const char*, void* n) { ++*static_cast<int*>(n); }, &lines);
        f.helpPage(vxtest::testModel().options);
        EXPECT_GT(lines, 3) << f.number;
        EXPECT_EQ(f.keyword != nullptr, f.listText != nullptr) << f.number;
    }
}

// A folder that cannot take the output, a folder that does not exist, a
// "folder" that is a file, and a full disk: each fails, and leaves nothing.
TEST_F(FormatRegistry, FailsCleanlyWhereItCannotWrite) {
    dir.write("plain", "x");
    ASSERT_EQ(mkdir("ro", 0555), 0);
    std::vector<std::string> places = {"missing/", "plain/"};
    if (geteuid() != 0) places.push_back("ro/"); // root writes anywhere
    forEachConversion([&](const OutputFormat& f, int32_t) {
        std::set<std::string> before = entries(".");
        before.erase("qrblog.txt");
        for (const std::string& place : places) {
            EXPECT_NE(convert(f, "in.src", place + "out." + f.extension).code(), 0) << place;
            EXPECT_EQ(entries("ro").size(), 2u);
        }
        vx::platform::setFreeBytesFunction([](const std::string&) { return int64_t(0); });
        EXPECT_NE(convert(f, "in.src", std::string("out.") + f.extension).code(), 0);
        vx::platform::setFreeBytesFunction(nullptr);
        std::set<std::string> after = entries(".");
        after.erase("qrblog.txt");
        EXPECT_EQ(after, before);
    });
}

// What the leading bytes say agrees with detection over the whole file: every
// file detection takes (whole or cut anywhere in its first bytes, segments
// too) may be an instrument file by its leading bytes, and text files are
// surely none.
TEST(LeadingBytes, MayBeInstrumentFileWheneverDetectionTakesIt) {
    auto example = [](const char* name) {
        std::ifstream in(std::string(VX_EXAMPLES_DIR) + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    vxtest::CapArbFixture capture;
    const std::string body = vxtest::capArbBody(capture.padToLength());
    const std::string instrumentFiles[] = {
        example("fft1.56d"),
        example("meas.dat"),
        example("run.56w"),
        body,
        vxtest::multiDiskHeader(1, uint32_t(body.size() + 20), 0, 3000) + body.substr(0, 3000),
        vxtest::multiDiskHeader(2, uint32_t(body.size() + 20), 3000, 1400000) + body.substr(3000)};
    vxtest::TempDir dir;
    for (const std::string& bytes : instrumentFiles) {
        std::vector<size_t> cuts{bytes.size()};
        for (size_t cut = 0; cut < 48; ++cut)
            cuts.push_back(cut);
        for (size_t cut : cuts) {
            dir.write("in.src", bytes.substr(0, cut));
            const int32_t detected = vx::existingFileType("in.src");
            const bool taken = detected != -1;
            const auto* lead = reinterpret_cast<const uint8_t*>(bytes.data());
            EXPECT_TRUE(vx::mayBeInstrumentFile(lead, cut) || !taken) << cut;
            EXPECT_TRUE(taken || cut < bytes.size()) << "whole file not detected";
            // The type by the leading bytes is detection's, or none (behind a header).
            const int32_t byBytes = vx::leadingBytesType(lead, cut);
            EXPECT_TRUE(byBytes == detected || (byBytes == -1 && bytes.compare(0, 3, "QRB") == 0))
                << cut;
        }
    }
    for (const std::string& text : {example("sine.txt"), example("host.c"), std::string(),
                                    std::string("VX560 Display File")}) {
        EXPECT_FALSE(
            vx::mayBeInstrumentFile(reinterpret_cast<const uint8_t*>(text.data()), text.size()))
            << text.substr(0, 20);
    }
}

} // namespace
