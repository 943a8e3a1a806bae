// Waterfall files: extraction of slice runs to ASCII (channels, /S, /R, /WB),
// the header and working-data framing with every damage the reader must
// refuse, slices of the wrong length, and copies joined from and split onto
// floppies.
#include "waterfall/Waterfall.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "base/ErrLogger.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "base/VX550.h"
#include "params/Catalog.h"
#include "support/Catalogue.h"
#include "support/Fixture.h"
#include "support/Floppies.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"
#include "trace/MeasDesc.h"
#include "trace/TRACE.h"

namespace {
// The settings of the shared test model.
vx::Catalogue& cat = vxtest::testModel().cat;
} // namespace

namespace fs = std::filesystem;
using vx::Status;
using vxtest::WaterfallFixture;
using vxtest::WfOffsets;

namespace {

constexpr int64_t kRoomy = 100000000;
// Reading past the end of a segment asks for the next disk; the tests answer no.
constexpr const char* kNextDisk = "Please insert disk number 2\nContinue? (y/n) \n";

std::string captured(const std::function<void()>& fn) {
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

size_t occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

struct WaterfallTest : ::testing::Test {
    vxtest::TempDir dir;

    void SetUp() override {
        vxtest::resetCatalogue();
        vx::resetMeasDescriptors();
        vxtest::testModel().trace.reset();
        vx::resetJobOptions(vxtest::testModel().options);
        vx::platform::setFreeBytesFunction([](const std::string&) { return kRoomy; });
        vx::platform::setReadCharFunction([] { return -1; });
    }
    void TearDown() override {
        vx::platform::setFreeBytesFunction(nullptr);
        vx::platform::setReadCharFunction(nullptr);
        vxtest::resetCatalogue();
        vx::resetMeasDescriptors();
        vxtest::testModel().trace.reset();
        vx::resetJobOptions(vxtest::testModel().options);
    }
    // Extracts w.56w to out.asc with the reader and writer of the run.
    Status extract(std::string* console = nullptr) {
        Status st = 1;
        std::string out = captured([&] {
            vx::CWaterFallReader reader(vxtest::testModel());
            vx::CWfAsciiWriter writer(vxtest::testModel(), &reader);
            st = reader.open("w.56w");
            if (st.ok()) st = writer.write("out.asc");
            writer.close();
            reader.close();
        });
        if (console) *console = out;
        EXPECT_FALSE(vx::bulkBufferInUse());
        return st;
    }
    // Opens a file and reads every slice; the first failure's status.
    Status openAndReadAll(const std::string& bytes, std::string* console = nullptr) {
        Status st = 1;
        std::string out = captured([&] { st = readAll(bytes); });
        if (console) *console = out;
        return st;
    }
    Status readAll(const std::string& bytes, const std::string& name = "w.56w") {
        std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
        vx::CWaterFallReader reader(vxtest::testModel());
        Status st = reader.open(name.c_str());
        for (int16_t n = reader.count(); st.ok() && n > 0; --n)
            st = reader.nextSlice();
        EXPECT_FALSE(vx::bulkBufferInUse());
        return st;
    }
};

// A data line of the x column 0 and one value, as "%14.6e" writes them.
std::string dataLine(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%14.6e %14.6e ", 0.0, v);
    return text;
}

// The first data line under "Trace # k".
std::string firstLineOfSlice(const std::string& out, int k) {
    size_t at = out.find("Trace # " + std::to_string(k) + "\r\n");
    if (at == std::string::npos) return "";
    size_t heading = out.find("\r\n", at) + 2;
    size_t line = out.find("\r\n", heading) + 2;
    return out.substr(line, out.find("\r\n", line) - line);
}

// ------------------------------------------------------------ extraction

TEST_F(WaterfallTest, DefaultsExtractEveryChannelASliceNumberedFromZero) {
    dir.write("w.56w", vxtest::waterfallFixture(true, true, 0, 4).file());
    vxtest::testModel().options.columns[0] = vx::eColX;
    vxtest::testModel().options.columns[1] = vx::eColReal;
    std::string console;
    ASSERT_EQ(extract(&console), 0) << console;
    EXPECT_EQ(console.find("Input File Type: VX560 waterfall file\n\n"), 0u) << console;
    EXPECT_NE(console.find("Extracting: Ch A\nStarting from Trace index 0\n"
                           "Extracting to Trace index 3\n\n"),
              std::string::npos)
        << console;
    std::string out = dir.read("out.asc");
    EXPECT_NE(out.find("\r\n\r\nExtracting: Ch A\r\nStarting from Trace index 0\r\n"
                       "Extracting to Trace index 3\r\n\r\nTrace # 0\r\n"),
              std::string::npos);
    EXPECT_EQ(occurrences(out, "Trace # "), 4u);
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(firstLineOfSlice(out, s), dataLine(s));
    // Every slice: its data lines (one per extracted point), then an empty line.
    EXPECT_EQ(occurrences(out, "e+00 \r\n"), 4u * 401u);
    EXPECT_EQ(out.substr(out.size() - 4), "\r\n\r\n");
    // The file's time stamp is the trace's.
    EXPECT_EQ(vxtest::testModel().trace.timeStamp.bytes,
              vxtest::timeStampBytes(30, 20, 10, 4, 9, 12, 126));
}

TEST_F(WaterfallTest, FirstAndCountChooseTheRunOfSlices) {
    dir.write("w.56w", vxtest::waterfallFixture(true, false, 1, 12).file());
    vxtest::testModel().options.columns[1] = vx::eColReal;
    struct Case {
        uint16_t first;
        int16_t count;
        int last;
    };
    for (Case c : {Case{5, 10, 11}, Case{2, 3, 4}, Case{11, -1, 11}}) {
        vxtest::testModel().options.wfFirst = c.first;
        vxtest::testModel().options.wfCount = c.count;
        ASSERT_EQ(extract(), 0);
        std::string out = dir.read("out.asc");
        EXPECT_NE(out.find("Starting from Trace index " + std::to_string(c.first) +
                           "\r\nExtracting to Trace index " + std::to_string(c.last) + "\r\n"),
                  std::string::npos);
        EXPECT_EQ(occurrences(out, "Trace # "), size_t(c.last - c.first + 1));
        for (int s = c.first; s <= c.last; ++s)
            EXPECT_EQ(firstLineOfSlice(out, s), dataLine(s));
        EXPECT_EQ(firstLineOfSlice(out, c.last + 1), "");
    }
}

TEST_F(WaterfallTest, FirstEqualToTheSliceCountWritesTheHeaderOnly) {
    dir.write("w.56w", vxtest::waterfallFixture(true, false, 0, 3).file());
    vxtest::testModel().options.wfFirst = 3;
    std::string console;
    EXPECT_EQ(extract(&console), 1);
    EXPECT_NE(console.find("Extracting to Trace index 2\n\nNo data to extract\n"),
              std::string::npos)
        << console;
    EXPECT_EQ(occurrences(dir.read("out.asc"), "Trace # "), 0u);
    // Beyond the count the file is refused.
    vxtest::testModel().options.wfFirst = 4;
    EXPECT_EQ(extract(&console), 1);
    EXPECT_EQ(console, "Input File Type: VX560 waterfall file\n\n");
}

TEST_F(WaterfallTest, DataOnlyAndHeaderOnly) {
    dir.write("w.56w", vxtest::waterfallFixture(true, false, 0, 2).file());
    vxtest::testModel().options.headerMode = 0;
    ASSERT_EQ(extract(), 0);
    std::string out = dir.read("out.asc");
    EXPECT_EQ(out.find("Trace # "), std::string::npos);
    EXPECT_EQ(out.find("Extracting"), std::string::npos);
    // 401 points a line each, then the empty line of the slice.
    EXPECT_EQ(occurrences(out, "\r\n"), 2u * (401u + 1u));
    vxtest::testModel().options.headerMode = 1;
    vxtest::testModel().options.writeData = 0;
    ASSERT_EQ(extract(), 0);
    out = dir.read("out.asc");
    EXPECT_NE(out.find("Extracting to Trace index 1\r\n\r\n"), std::string::npos);
    EXPECT_EQ(out.find("Trace # "), std::string::npos);
}

TEST_F(WaterfallTest, ChannelBPassesOverChannelAAndLoadsItsSettingsFirst) {
    // Channel B measures with 800 lines, channel A with the default 400.
    (void)cat.fftLines[1].setData(3, 0);
    WaterfallFixture f = vxtest::waterfallFixture(true, true, 2, 3);
    for (int s = 0; s < 3; ++s)
        f.channel[1].slices[size_t(s)] = vxtest::waterfallSlice(1, s, 1024);
    vxtest::resetCatalogue();
    dir.write("w.56w", f.file());
    vxtest::testModel().options.wfChannel = 1;
    vxtest::testModel().options.columns[1] = vx::eColReal;
    std::string console;
    ASSERT_EQ(extract(&console), 0) << console;
    EXPECT_NE(console.find("FFT Lines:  800 \n"), std::string::npos) << console;
    EXPECT_NE(console.find("Extracting: Ch B\n"), std::string::npos);
    EXPECT_EQ(cat.fftLines[0].getData(vx::ePaoEntry), 3);
    EXPECT_EQ(cat.fftLines[1].getData(vx::ePaoEntry), 2);
    std::string out = dir.read("out.asc");
    EXPECT_EQ(firstLineOfSlice(out, 2), dataLine(1002));
    EXPECT_EQ(occurrences(out, "e+03 \r\n"), 3u * 801u);
}

TEST_F(WaterfallTest, AChannelWithoutSliceHeadersHasNoBlocksDataOrVectors) {
    WaterfallFixture f = vxtest::waterfallFixture(false, true, 3, 2);
    WfOffsets at;
    std::string bytes = f.file(&at);
    EXPECT_EQ(at.dataLabels.size(), 1u);
    vxtest::testModel().options.wfChannel = 1;
    EXPECT_EQ(openAndReadAll(bytes), 0);
    EXPECT_EQ((*vxtest::testModel().trace.vector(0))[0].re, 1001.0f);
    // The absent channel cannot be chosen.
    vxtest::testModel().options.wfChannel = 0;
    std::string console;
    EXPECT_EQ(openAndReadAll(bytes, &console), 1);
    EXPECT_EQ(console, "Input File Type: VX560 waterfall file\n\n"
                       "No channel A slices in this waterfall file\n");
}

TEST_F(WaterfallTest, EverySelectorAndInputModeFramesItsWorkingBlocks) {
    for (int16_t mode = 0; mode < 2; ++mode) {
        for (int16_t selector = 0; selector < 6; ++selector) {
            vxtest::resetCatalogue();
            (void)cat.channelMode.setData(mode, 0);
            std::string bytes = vxtest::waterfallFixture(true, true, selector, 1).file();
            vxtest::resetCatalogue();
            EXPECT_EQ(openAndReadAll(bytes), 0) << "selector " << selector << " mode " << mode;
        }
    }
}

TEST_F(WaterfallTest, ManySliceHeadersTakeABlockPer204) {
    WaterfallFixture f = vxtest::waterfallFixture(true, false, 0, 1);
    f.channel[0].sliceHeaders = 409; // three blocks
    WfOffsets at;
    std::string bytes = f.file(&at);
    EXPECT_EQ(at.workingBlocks.size(), 3u + 1u + (f.inputMode == 1 ? 7u : 6u));
    EXPECT_EQ(openAndReadAll(bytes), 0);
}

TEST_F(WaterfallTest, AUserFunctionTakesItsDescriptorFromTheFile) {
    (void)cat.measurement[0].setData(14, 0); // the first FFT user function
    WaterfallFixture f;
    // The built-in entry of a user function has no frequency axis: reported.
    (void)captured([&] { f = vxtest::waterfallFixture(true, false, 0, 1); });
    f.channel[0].descriptor[3] = 11; // a waterfall time slice
    f.channel[0].descriptor[7] = 6;  // counts
    f.channel[0].descriptor[8] = 1;
    vxtest::resetCatalogue();
    dir.write("w.56w", f.file());
    vxtest::testModel().options.wfFirst = 0;
    std::string console;
    (void)extract(&console);
    EXPECT_EQ(vx::measDescriptor(14).axisKind(), 11);
    EXPECT_EQ(vx::measDescriptor(14).unitCode(0), 6);
    EXPECT_NE(console.find("A waterfall slice at: 0\n"), std::string::npos) << console;
}

TEST_F(WaterfallTest, TheProgramExtractsToAsciiAndCopiesThroughItsPairings) {
    const std::string original = vxtest::waterfallFixture(true, true, 0, 6).file();
    dir.write("w.56w", original);
    vxtest::RunResult r =
        vxtest::runProgram(VX_CONV_PATH, {"w.56w", "/S2", "/R3", "/Cx,r", "/WB"}, dir.path(), "");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("Processing w.56w ==> w.asc\nInput File Type: VX560 waterfall file\n"), 0u)
        << r.out;
    std::string out = dir.read("w.asc");
    EXPECT_NE(out.find("Extracting: Ch B\r\nStarting from Trace index 2\r\n"
                       "Extracting to Trace index 4\r\n"),
              std::string::npos);
    EXPECT_EQ(occurrences(out, "Trace # "), 3u);
    EXPECT_EQ(firstLineOfSlice(out, 4), dataLine(1004));
    r = vxtest::runProgram(VX_CONV_PATH, {"w.56w", "c.56w", "/Owat"}, dir.path(), "");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(dir.read("c.56w").substr(20), original.substr(20));
    r = vxtest::runProgram(VX_CONV_PATH, {"w.56w", "/Omat"}, dir.path(), "");
    EXPECT_EQ(r.status, 1);
}

// A run of slices writes each slice as its own extraction does: "v" stays the
// saved view after a slice's last column (here real) was written.
TEST_F(WaterfallTest, EverySliceOfARunExpandsTheViewAsSaved) {
    dir.write("w.56w", vxtest::waterfallFixture(true, false, 0, 3).file());
    auto slice = [&](const char* first, const char* count) {
        vxtest::RunResult r = vxtest::runProgram(
            VX_CONV_PATH, {"w.56w", "o.asc", "/Cv,r", "/D", first, count}, dir.path(), "");
        EXPECT_EQ(r.status, 0) << r.out;
        return dir.read("o.asc");
    };
    EXPECT_EQ(slice("/S0", "/R3"), slice("/S0", "/R1") + slice("/S1", "/R1") + slice("/S2", "/R1"));
}

// ------------------------------------------------------------ slice lengths

TEST_F(WaterfallTest, ASliceOfAnotherLengthIsReportedAndNeverStoredPastTheTrace) {
    WaterfallFixture f = vxtest::waterfallFixture(true, false, 0, 3);
    f.channel[0].slices[0] = vxtest::waterfallSlice(0, 0, 700);
    f.channel[0].slices[1] = vxtest::waterfallSlice(0, 1, 100);
    std::string console;
    dir.write("w.56w", f.file());
    console = captured([&] {
        vx::CWaterFallReader reader(vxtest::testModel());
        ASSERT_EQ(reader.open("w.56w"), 0);
        ASSERT_EQ(reader.nextSlice(), 0);
        const auto* v = vxtest::testModel().trace.vector(0);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->size(), 512u); // the trace length, not the slice's 700
        EXPECT_EQ((*v)[511].im, 511.0f);
        ASSERT_EQ(reader.nextSlice(), 0);
        v = vxtest::testModel().trace.vector(0);
        EXPECT_EQ((*v)[99].im, 99.0f);
        EXPECT_EQ((*v)[100].im, 0.0f); // not the point of the slice before
        EXPECT_EQ((*v)[100].re, 0.0f);
        // The next slice is read from its own place.
        ASSERT_EQ(reader.nextSlice(), 0);
        EXPECT_EQ((*vxtest::testModel().trace.vector(0))[511].im, 511.0f);
        EXPECT_EQ((*vxtest::testModel().trace.vector(0))[0].re, 2.0f);
        EXPECT_EQ(reader.nextSlice(), 1);
    });
    EXPECT_EQ(occurrences(console, "nPts == (int)tArryLen FAILED: "), 2u) << console;
}

// ------------------------------------------------------------ damaged files

TEST_F(WaterfallTest, DamagedFramingIsRefusedWithItsMessage) {
    WfOffsets at;
    const std::string good = vxtest::waterfallFixture(true, true, 0, 2).file(&at);
    const std::string typed = "Input File Type: VX560 waterfall file\n\n";
    auto refused = [&](std::string bytes, const std::string& message, const char* what) {
        std::string console;
        EXPECT_NE(openAndReadAll(bytes, &console), 0) << what;
        EXPECT_EQ(console, message) << what;
    };
    auto flipped = [&](size_t at) {
        std::string b = good;
        b[at] = char(b[at] ^ 0x40);
        return b;
    };
    refused(flipped(vxtest::kMultiDiskHeaderSize + 3), "Error reading file header\n", "tag");
    std::string otherType = good;
    otherType[vxtest::kMultiDiskHeaderSize + 21] = 1;
    refused(otherType, "Error reading file header\n", "tag index");
    refused(flipped(at.headerBlock + 4 + 100), "Error reading file header\n", "header check");
    std::string selector = good;
    selector[at.headerBlock + 4 + 8 + 2 * 262] = 6;
    selector[at.headerBlock + 4 + 8 + 2 * 262 + 1] = 0;
    // The check byte follows the change.
    selector[at.headersLabel - 1] = char(selector[at.headersLabel - 1] ^ 6);
    refused(selector, "Error reading file header\n", "selector 6");
    refused(flipped(at.headersLabel + 2), typed + "Error reading header\n", "headers label");
    for (size_t b : at.workingBlocks)
        refused(flipped(b + 4), typed, "working block");
    for (size_t l : at.dataLabels)
        refused(flipped(l + 1), typed + "Error reading header\n", "data label");
    for (size_t l : at.vectorLabels) {
        vxtest::testModel().options.wfChannel = 1; // both sections are read
        refused(flipped(l + 5), typed + "Error reading header\n", "vectors label");
        vxtest::testModel().options.wfChannel = 0;
    }
}

TEST_F(WaterfallTest, CountsLargerThanTheFileFailWithoutReadingPastIt) {
    WfOffsets at;
    WaterfallFixture f = vxtest::waterfallFixture(true, false, 0, 2);
    const std::string good = f.file(&at);
    const std::string typed = "Input File Type: VX560 waterfall file\n\n";
    std::string console;

    std::string slices = good; // N = 30000
    slices[at.vectorLabels[0] + 19] = char(0x30);
    slices[at.vectorLabels[0] + 20] = char(0x75);
    EXPECT_EQ(openAndReadAll(slices, &console), 2);
    EXPECT_EQ(console, typed + kNextDisk + "File Read Error: process aborted\n");

    std::string points = good; // P = 30000 in the first record
    points[at.firstSlices[0]] = char(0x30);
    points[at.firstSlices[0] + 1] = char(0x75);
    EXPECT_EQ(openAndReadAll(points, &console), 2);
    vxtest::testModel().options.wfFirst = 1; // passed over instead of read
    EXPECT_EQ(openAndReadAll(points, &console), 1);
    EXPECT_EQ(console, typed + kNextDisk);
    vxtest::testModel().options.wfFirst = 0;

    std::string raw = good; // 100000 raw blocks
    raw[at.headerBlock + 4 + 2] = char(0x01);
    raw[at.headersLabel - 1] = char(raw[at.headersLabel - 1] ^ 0x01);
    EXPECT_EQ(openAndReadAll(raw, &console), 1);
    EXPECT_EQ(console, typed + kNextDisk);
    raw[at.headerBlock + 4 + 3] = char(0x80); // negative
    raw[at.headersLabel - 1] = char(raw[at.headersLabel - 1] ^ 0x80);
    EXPECT_EQ(openAndReadAll(raw, &console), 1);
    EXPECT_EQ(console, "Error reading file header\n");

    std::string blockLength = good; // a header block longer than 20000 bytes
    blockLength[at.headerBlock + 2] = char(0x01);
    EXPECT_EQ(openAndReadAll(blockLength, &console), 1);
    EXPECT_EQ(console, "Error reading file header\n");
}

TEST_F(WaterfallTest, TruncationAtEveryByteIsRefused) {
    (void)cat.fftLines[0].setData(0, 0); // 128 points a slice: a small file
    WaterfallFixture f = vxtest::waterfallFixture(true, true, 2, 1);
    f.channel[0].rawBlocks = f.channel[1].rawBlocks = 0;
    vxtest::resetCatalogue();
    WfOffsets at;
    const std::string good = f.file(&at);
    // Thousands of files and log lines: in memory when the machine has a tmpfs
    // and TMPDIR does not name another place.
    const bool tmpfs = !std::getenv("TMPDIR") && fs::is_directory("/dev/shm");
    const vxtest::ScratchDir scratch("vxwat", tmpfs ? "/dev/shm" : "");
    const std::string& where = scratch.path();
    std::string savedLog = vx::errLog().logFileName();
    (void)vx::errLog().setLogFileName((where + "/log.txt").c_str());
    // Channel A's slices end where channel B's section begins.
    const size_t needed[2] = {at.vectorLabels[1], good.size()};
    testing::internal::CaptureStdout();
    for (int16_t channel = 0; channel < 2; ++channel) {
        vxtest::testModel().options.wfChannel = uint8_t(channel);
        for (size_t n = 1; n <= good.size(); ++n) {
            Status st = readAll(good.substr(0, n), where + "/w.56w");
            EXPECT_EQ(st.ok(), n >= needed[channel]) << "channel " << channel << " cut at " << n;
        }
    }
    (void)testing::internal::GetCapturedStdout();
    (void)vx::errLog().setLogFileName(savedLog.c_str());
}

// ------------------------------------------------------------ copies

TEST_F(WaterfallTest, CopyKeepsThePayloadAndRefusesAnEmptyTotal) {
    const std::string original = vxtest::waterfallFixture(true, true, 0, 3).file();
    dir.write("w.56w", original);
    std::string console = captured([&] {
        vx::CWfCopyReader reader;
        vx::CWfCopyWriter writer(&reader);
        ASSERT_EQ(reader.open("w.56w"), 0);
        EXPECT_EQ(reader.totalSize(), original.size());
        ASSERT_EQ(writer.write("copy.56w"), 0);
    });
    EXPECT_EQ(console, "Input File Type: VX560 waterfall file\n\n");
    std::string copy = dir.read("copy.56w");
    EXPECT_EQ(copy.substr(20), original.substr(20));
    EXPECT_EQ(copy.substr(0, 12), original.substr(0, 12));

    std::string empty = original;
    empty.replace(8, 4, std::string(4, '\0'));
    dir.write("e.56w", empty);
    console = captured([&] {
        vx::CWfCopyReader reader;
        EXPECT_EQ(reader.open("e.56w"), 1);
    });
    EXPECT_EQ(console, "");

    std::string longer = original;
    longer[10] = 1; // 65536 bytes more than there are
    dir.write("l.56w", longer);
    console = captured([&] {
        vx::CWfCopyReader reader;
        vx::CWfCopyWriter writer(&reader);
        ASSERT_EQ(reader.open("l.56w"), 0);
        EXPECT_NE(writer.write("copy2.56w"), 0);
    });
    EXPECT_EQ(console, "Input File Type: VX560 waterfall file\n\n" + std::string(kNextDisk) +
                           "File Read Error: process aborted\n");
    EXPECT_FALSE(vx::bulkBufferInUse());
}

TEST_F(WaterfallTest, CopySplitsOntoFloppiesAndJoinsBack) {
    constexpr int64_t kFloppy = 20000;
    (void)cat.fftLines[0].setData(3, 0);
    const std::string original = vxtest::waterfallFixture(true, true, 0, 3).file(); // ~70 kB
    vxtest::resetCatalogue();
    fs::create_directories("hd");
    dir.write("hd/in.56w", original);
    vxtest::simulateFloppyDrive(kFloppy, kRoomy);
    int disk = 0;
    std::function<void()> swap;
    bool lineOpen = false;
    int answers = 0;
    vx::platform::setReadCharFunction([&]() -> int {
        if (lineOpen) return lineOpen = false, '\n';
        if (answers-- <= 0) return -1;
        swap();
        lineOpen = true;
        return 'y';
    });
    auto store = [](int k) { vxtest::storeOnDisk("fl.56w", k); };
    auto load = [](int k) { vxtest::loadFromDisk("fl.56w", k); };
    auto copy = [](const char* from, const char* to) {
        vx::CWfCopyReader reader;
        vx::CWfCopyWriter writer(&reader);
        EXPECT_EQ(reader.open(from), 0);
        EXPECT_EQ(writer.write(to), 0);
    };

    answers = 100;
    swap = [&] { store(++disk); };
    std::string console = captured([&] { copy("hd/in.56w", "fl.56w"); });
    store(++disk);
    int disks = disk;
    ASSERT_GE(disks, 4);
    EXPECT_EQ(occurrences(console, "Please insert another disk\n"), size_t(disks - 1));
    std::string payload;
    for (int k = 1; k <= disks; ++k) {
        std::string seg = dir.read("disk" + std::to_string(k) + "/fl.56w");
        ASSERT_LE(seg.size(), size_t(kFloppy));
        EXPECT_EQ(uint8_t(seg[6]), k);
        EXPECT_EQ(seg.substr(8, 4), original.substr(8, 4));
        payload += seg.substr(20);
    }
    EXPECT_EQ(payload, original.substr(20));

    load(1);
    disk = 1;
    answers = disks - 1;
    swap = [&] { load(++disk); };
    console = captured([&] { copy("fl.56w", "hd/joined.56w"); });
    EXPECT_EQ(occurrences(console, "Please insert disk number "), size_t(disks - 1));
    EXPECT_EQ(dir.read("hd/joined.56w").substr(20), original.substr(20));
    // The joined file reads as a waterfall.
    EXPECT_EQ(openAndReadAll(dir.read("hd/joined.56w")), 0);
}

} // namespace
