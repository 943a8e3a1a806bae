// Capture/Arb. files: sample conversions, the reader on built files (damaged
// ones included), number lists, the writer in list and copy mode, and a copy
// spread over three floppies and joined again.
#include "timebuf/CapArb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "base/Options.h"
#include "base/Platform.h"
#include "base/VX550.h"
#include "support/Fixture.h"
#include "support/Floppies.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "timebuf/CapArbWriter.h"
#include "timebuf/NumberList.h"

namespace fs = std::filesystem;
using vx::Status;
using vxtest::CapArbFixture;

namespace {

constexpr int64_t kRoomy = 1000000;

std::string captured(const std::function<void()>& fn) {
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

struct CapArbTest : ::testing::Test {
    vxtest::TempDir dir;
    std::vector<uint8_t> block = std::vector<uint8_t>(vx::kBlockBytes);

    void SetUp() override {
        vx::resetJobOptions(vxtest::testModel().options);
        vx::platform::setFreeBytesFunction([](const std::string&) { return kRoomy; });
        vx::platform::setReadCharFunction([] { return -1; });
    }
    void TearDown() override {
        vx::platform::setFreeBytesFunction(nullptr);
        vx::platform::setReadCharFunction(nullptr);
    }
    static CapArbFixture sampleFixture() {
        CapArbFixture f;
        f.kpts = 4;
        f.baseFreqId = 0;
        f.spanCode = 16;
        f.inputRange[0] = -10;
        f.inputRange[1] = 20;
        f.timeStamp = vxtest::timeStampBytes(5, 4, 3, 2, 1, 12, 99);
        f.kind = 1;
        for (int i = 0; i < 4096; ++i)
            f.samples.push_back(i * 524287 - 1073741824);
        return f;
    }
    // The header a written file must have on a disk of kRoomy free bytes.
    static std::string writtenFile(const CapArbFixture& f) {
        std::string body = vxtest::capArbBody(f);
        return vxtest::multiDiskHeader(1, uint32_t(4096 * f.kpts + 77), 0, kRoomy - 20) + body;
    }
};

// ------------------------------------------------------------ conversions

TEST(CapArbConversion, SamplesAndFractionsOfFullScale) {
    EXPECT_EQ(vx::sampleToFraction(1 << 30), 1.25f);
    EXPECT_EQ(vx::sampleToFraction(-(1 << 30)), -1.25f);
    EXPECT_EQ(vx::sampleToFraction(0), 0.0f);
    EXPECT_EQ(vx::sampleToFraction(858993459),
              static_cast<float>(858993459 * std::ldexp(1.0, -30) * 1.25));
    // The multiplier is 858993458.4, rounded half away from zero and truncated.
    EXPECT_EQ(vx::fractionToSample(1.0), 858993458);
    EXPECT_EQ(vx::fractionToSample(-1.0), -858993458);
    EXPECT_EQ(vx::fractionToSample(1.25), 1073741823);
    EXPECT_EQ(vx::fractionToSample(-1.25), -1073741823);
    EXPECT_EQ(vx::fractionToSample(0.0), 0);
    EXPECT_EQ(vx::fractionToSample(1.0 / 858993458.4), 1);
    EXPECT_EQ(vx::fractionToSample(-0.6 / 858993458.4), -1);
}

TEST(CapArbConversion, HeaderFieldsInFileOrder) {
    CapArbFixture f = CapArbTest::sampleFixture();
    f.reserved = 0x1234;
    std::string raw = vxtest::capArbHeaderBytes(f);
    vx::CapArbHeader h = vx::decodeCapArbHeader(reinterpret_cast<const uint8_t*>(raw.data()));
    EXPECT_EQ(h.recordKpts, 4);
    EXPECT_EQ(h.baseFreqId, 0);
    EXPECT_EQ(h.spanCode, 16);
    EXPECT_EQ(h.inputRange[0], -10);
    EXPECT_EQ(h.inputRange[1], 20);
    EXPECT_EQ(h.timeStamp.hours(), 3);
    EXPECT_EQ(h.timeStamp.year(), 99);
    EXPECT_EQ(h.reserved, 0x1234);
    uint8_t back[vx::kCapArbHeaderSize];
    vx::encodeCapArbHeader(h, back);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back), sizeof back), raw);
}

// ------------------------------------------------------------ reader

TEST_F(CapArbTest, ReaderLoadsHeaderKindAndBlocks) {
    CapArbFixture f = sampleFixture();
    dir.write("in.56c", vxtest::capArbFile(f));
    vx::CCapArbReader reader;
    Status st = 1;
    EXPECT_EQ(captured([&] { st = reader.open("in.56c"); }),
              "Input File Type: VX560 Capture buffer\n\n");
    ASSERT_EQ(st, 0);
    EXPECT_EQ(reader.kind(), 1);
    const vx::CapArbHeader& h = reader.header();
    EXPECT_EQ(h.recordKpts, 4);
    EXPECT_EQ(h.spanCode, 16);
    EXPECT_EQ(h.inputRange[1], 20);
    EXPECT_EQ(h.timeStamp.minutes(), 4);

    ASSERT_EQ(reader.readBlock(block.data(), false), 0);
    EXPECT_EQ(vx::blockSample(block.data(), 0), f.samples[0]);
    EXPECT_EQ(vx::blockSample(block.data(), 2047), f.samples[2047]);
    ASSERT_EQ(reader.readBlock(block.data(), true), 0);
    EXPECT_EQ(vx::blockFraction(block.data(), 5), vx::sampleToFraction(f.samples[2053]));
    EXPECT_EQ(reader.readBlock(block.data(), false), 1); // no block left
    reader.close();
}

TEST_F(CapArbTest, ReaderTellsArbSourceAndTreatsOtherKindsAsCapture) {
    for (int16_t kind : {2, 7, -1}) {
        CapArbFixture f;
        f.kind = kind;
        dir.write("in.56a", vxtest::capArbFile(f.padToLength()));
        vx::CCapArbReader reader;
        std::string out = captured([&] { ASSERT_EQ(reader.open("in.56a"), 0); });
        EXPECT_EQ(out, kind == 2 ? "Input File Type: VX560 Arb. Source buffer\n\n"
                                 : "Input File Type: VX560 Capture buffer\n\n");
        EXPECT_EQ(reader.kind(), kind);
    }
}

TEST_F(CapArbTest, DamagedHeadersAreRefused) {
    const std::string good = vxtest::capArbFile(CapArbFixture().padToLength());
    std::vector<std::pair<const char*, std::string>> cases;
    std::string s = good;
    s[20 + 6] = 'x'; // tag text
    cases.push_back({"tag text", s});
    s = good;
    s[20 + 21] = 0; // tag index 0: a Display file
    cases.push_back({"tag index", s});
    s = good;
    s[vxtest::kCapArbCheckAt] ^= 1;
    cases.push_back({"check byte", s});
    s = good;
    s[vxtest::kCapArbSamplesAt - 10] ^= 0x40; // a time-stamp byte
    cases.push_back({"header byte", s});
    // A block longer than the reader's 200 bytes, though present and checked.
    std::string big(201, 'a');
    cases.push_back({"oversized block", vxtest::behindMultiDiskHeader(vxtest::fileTag(1) +
                                                                      vxtest::checkedBlock(big))});
    // A block too short for the header and kind word.
    cases.push_back({"short block", vxtest::behindMultiDiskHeader(vxtest::fileTag(1) +
                                                                  vxtest::checkedBlock("abcd"))});
    for (const auto& [what, bytes] : cases) {
        dir.write("bad.56c", bytes);
        vx::CCapArbReader reader;
        Status st = 0;
        EXPECT_EQ(captured([&] { st = reader.open("bad.56c"); }), "Error reading file header\n")
            << what;
        EXPECT_EQ(st, 1) << what;
    }
}

TEST_F(CapArbTest, FileWithoutMultiDiskHeaderOrTooShortFails) {
    dir.write("plain.56c", vxtest::capArbBody(CapArbFixture().padToLength()));
    vx::CCapArbReader reader;
    Status st = 0;
    (void)captured([&] { st = reader.open("plain.56c"); });
    EXPECT_EQ(st, 1);

    CapArbFixture f;
    f.kpts = 4;
    f.samples.resize(3000); // one block and a part
    dir.write("short.56c", vxtest::capArbFile(f));
    (void)captured([&] { ASSERT_EQ(reader.open("short.56c"), 0); });
    EXPECT_EQ(reader.readBlock(block.data(), false), 0);
    // The segment ends early: the next disk is asked for, and none comes.
    EXPECT_EQ(captured([&] { st = reader.readBlock(block.data(), false); }),
              "Please insert disk number 2\nContinue? (y/n) \nFile Read Error: process aborted\n");
    EXPECT_EQ(st, 2);
}

// ------------------------------------------------------------ number lists

struct ListRead {
    Status status = 0;
    std::string out;
    std::vector<int32_t> samples;
};

ListRead readList(const std::string& text, int blocks = 1) {
    std::ofstream("list.txt", std::ios::binary) << text;
    ListRead r;
    vx::CAsciiReader reader(vxtest::testModel().options);
    std::vector<uint8_t> block(vx::kBlockBytes);
    r.out = captured([&] {
        if ((r.status = reader.open("list.txt")).failed()) return;
        for (int b = 0; b < blocks && r.status.ok(); ++b) {
            r.status = reader.readBlock(block.data());
            for (int i = 0; i < vx::kBlockSamples && r.status.ok(); ++i)
                r.samples.push_back(vx::blockSample(block.data(), i));
        }
    });
    return r;
}

TEST_F(CapArbTest, ListValuesAtDefaultFullScaleAndZeroPadding) {
    ListRead r = readList("1.0 -1.0,,\t1.25\r\n\n   -1.25 0.5");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Input File Type: Ascii float data\n\n");
    ASSERT_EQ(r.samples.size(), 2048u);
    EXPECT_EQ(r.samples[0], 858993458);
    EXPECT_EQ(r.samples[1], -858993458);
    EXPECT_EQ(r.samples[2], 1073741823); // separators in a row give no empty token
    EXPECT_EQ(r.samples[3], -1073741823);
    EXPECT_EQ(r.samples[4], 429496729);
    for (size_t i = 5; i < r.samples.size(); ++i)
        ASSERT_EQ(r.samples[i], 0) << i;
    // The end of the data stays: a second block is all zeros.
    r = readList("0.25\n", 2);
    ASSERT_EQ(r.samples.size(), 4096u);
    EXPECT_EQ(r.samples[0], 214748365);
    EXPECT_EQ(r.samples[1], 0);
    EXPECT_EQ(r.samples[4095], 0);
}

TEST_F(CapArbTest, ListFullScaleFollowsChannelOneRange) {
    vxtest::testModel().options.listCapture.inputRange[0] = 20; // 10 V
    vxtest::testModel().options.listCapture.inputRange[1] = -40;
    ListRead r = readList("10 -12.5 5");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.samples[0], 858993458);
    EXPECT_EQ(r.samples[1], -1073741823);
    EXPECT_EQ(r.samples[2], 429496729);
}

TEST_F(CapArbTest, ListTokensOfEverySyntaxReadAsStrtodReadsThem) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> within(-1.25, 1.25);
    const char* formats[] = {"%.6f", "%.17g", "%.9e", "%a", "%+.3f", "%.0e"};
    std::string text = "+0.5 0x1p-1 .5e0 5E-1 1e-400 -0 4.9e-324 0.50000000000000000000000000001\n";
    for (int i = 8; i < vx::kBlockSamples; ++i) {
        char token[64];
        std::snprintf(token, sizeof token, formats[i % 6], within(random));
        text += std::string(token) + (i % 5 ? " " : "\n");
    }
    ListRead r = readList(text);
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_EQ(r.samples.size(), static_cast<size_t>(vx::kBlockSamples));
    std::istringstream tokens(text);
    std::string token;
    for (int32_t sample : r.samples) {
        ASSERT_TRUE(tokens >> token);
        ASSERT_EQ(sample, vx::fractionToSample(std::strtod(token.c_str(), nullptr))) << token;
    }
    EXPECT_EQ(r.samples[0], 429496729);
    EXPECT_EQ(r.samples[1], 429496729);
    EXPECT_EQ(r.samples[4], 0); // below the smallest double: strtod's 0
}

TEST_F(CapArbTest, BadListValuesStopTheRead) {
    struct Case {
        const char* text;
        int status;
        const char* message;
    };
    const std::string tooLong(49, '1');
    const Case cases[] = {
        {"0.5 1.2500001", 1, "Value out of range\n"},
        {"0.5 -1.26", 1, "Value out of range\n"},
        {"inf", 1, "Value out of range\n"},
        {"nan", 1, "Value out of range\n"}, // NaN has no sample
        {"0.5 1.0x 2", 1, "invalid float encountered: 1.0x\n"},
        {"--1", 1, "invalid float encountered: --1\n"},
        {tooLong.c_str(), 3, "Error reading file\n"},
    };
    for (const Case& c : cases) {
        ListRead r = readList(c.text);
        EXPECT_EQ(r.status, c.status) << c.text;
        EXPECT_EQ(r.out, std::string("Input File Type: Ascii float data\n\n") + c.message)
            << c.text;
    }
    // 48 characters are a token.
    ListRead r = readList("0." + std::string(46, '5'));
    EXPECT_EQ(r.status, 0);
}

// ------------------------------------------------------------ writer

std::string listOf(int n, double step) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += std::to_string(std::fmod(i * step, 2.0) - 1.0) + (i % 7 ? " " : "\n");
    return text;
}

TEST_F(CapArbTest, ListModeWritesHeaderFromOptionsSamplesAndFinalByte) {
    vx::CapArbHeader& h = vxtest::testModel().options.listCapture;
    h.recordKpts = 4;
    h.spanCode = 12;
    h.inputRange[0] = h.inputRange[1] = 6;
    h.timeStamp = vx::makeTimeStamp(59, 58, 23, 7, 31, 12, 125);
    const std::string text = listOf(5000, 0.001); // longer than 4096: cut silently
    dir.write("list.txt", text);

    CapArbFixture expect;
    expect.kpts = 4;
    expect.spanCode = 12;
    expect.inputRange[0] = expect.inputRange[1] = 6;
    expect.timeStamp = vxtest::timeStampBytes(59, 58, 23, 7, 31, 12, 125);
    expect.kind = 2;
    const double fullScale = std::pow(10.0, 0.3);
    size_t at = 0;
    for (int i = 0; i < 4096; ++i) {
        size_t end = text.find_first_of(" \n", at);
        double e = std::stod(text.substr(at, end - at)) / fullScale;
        expect.samples.push_back(int32_t(e > 0 ? e * 858993458.4 + 0.5 : e * 858993458.4 - 0.5));
        at = end + 1;
    }

    vx::CAsciiReader reader(vxtest::testModel().options);
    vx::CCapArbWriter writer(&reader, vx::eKindArb);
    std::string out = captured([&] {
        ASSERT_EQ(reader.open("list.txt"), 0);
        ASSERT_EQ(writer.write("out.56a"), 0);
        writer.close();
    });
    EXPECT_EQ(out, "Input File Type: Ascii float data\n\n");
    EXPECT_EQ(dir.read("out.56a"), writtenFile(expect));
    EXPECT_FALSE(vx::bulkBufferInUse());
}

TEST_F(CapArbTest, CopyModeKeepsHeaderAndSamplesAndReplacesKind) {
    const CapArbFixture source = sampleFixture(); // a channel-2 capture
    dir.write("in.56c", vxtest::capArbFile(source));
    for (int16_t kind : {vx::eKindCaptureCh1, vx::eKindArb}) {
        vx::resetJobOptions(vxtest::testModel().options);
        vx::CCapArbReader reader;
        vx::CCapArbWriter writer(&reader, kind);
        (void)captured([&] {
            ASSERT_EQ(reader.open("in.56c"), 0);
            ASSERT_EQ(writer.write("out.56c"), 0);
        });
        writer.close();
        reader.close();
        CapArbFixture expect = source;
        expect.kind = kind;
        EXPECT_EQ(dir.read("out.56c"), writtenFile(expect)) << kind;
    }
}

TEST_F(CapArbTest, WriteFailuresAreReportedAndReleaseTheBulkBuffer) {
    CapArbFixture f;
    f.kpts = 4;
    f.samples.resize(2048); // the second block is missing
    dir.write("short.56c", vxtest::capArbFile(f));
    vx::CCapArbReader reader;
    vx::CCapArbWriter copy(&reader, 0);
    Status st = 0;
    std::string out = captured([&] {
        ASSERT_EQ(reader.open("short.56c"), 0);
        st = copy.write("out.56c");
    });
    EXPECT_EQ(st, 1);
    EXPECT_EQ(out, "Input File Type: VX560 Capture buffer\n\n"
                   "Please insert disk number 2\nContinue? (y/n) \n"
                   "File Read Error: process aborted\nError writing file\n");
    EXPECT_FALSE(vx::bulkBufferInUse());
    copy.close();
    // What was written stays: header, tag, block and the first block of samples.
    EXPECT_EQ(dir.read("out.56c").size(), 20u + 23 + 33 + 8192);

    dir.write("list.txt", "0.5 0.7 abc");
    vx::CAsciiReader list(vxtest::testModel().options);
    vx::CCapArbWriter fromList(&list, 0);
    out = captured([&] {
        ASSERT_EQ(list.open("list.txt"), 0);
        st = fromList.write("out.56c");
    });
    EXPECT_EQ(st, 1);
    EXPECT_EQ(out, "Input File Type: Ascii float data\n\n"
                   "invalid float encountered: abc\nError writing file\n");
    EXPECT_FALSE(vx::bulkBufferInUse());

    vx::platform::setFreeBytesFunction([](const std::string&) { return int64_t(99); });
    out = captured([&] { st = fromList.write("out2.56c"); });
    EXPECT_EQ(st, 1);
    EXPECT_EQ(out, "Insufficient Disk Space:\n");
}

// ------------------------------------------------------------ floppies

TEST_F(CapArbTest, CopyOntoFloppiesSpansThreeSegmentsAndJoinsBack) {
    constexpr int64_t kFloppy = 12000;
    CapArbFixture f;
    f.kpts = 6; // 24576 sample bytes: more than two floppies hold
    f.timeStamp = vxtest::timeStampBytes(1, 2, 3, 4, 5, 6, 107);
    for (int i = 0; i < 6144; ++i)
        f.samples.push_back(int32_t(uint32_t(i) * 2654435761u));
    fs::create_directories("hd");
    dir.write("hd/in.56c", vxtest::capArbFile(f));

    vxtest::simulateFloppyDrive(kFloppy, kRoomy);
    int disk = 0;
    std::vector<std::string> answers;
    size_t answer = 0, pos = 0;
    std::function<void()> swap;
    vx::platform::setReadCharFunction([&]() -> int {
        if (answer >= answers.size()) return -1;
        if (pos == 0) swap();
        char c = answers[answer][pos++];
        if (pos == answers[answer].size()) ++answer, pos = 0;
        return c;
    });
    auto store = [](int k) { vxtest::storeOnDisk("fl.56c", k); };
    auto load = [](int k) { vxtest::loadFromDisk("fl.56c", k); };

    answers = {"y\n", "y\n"};
    swap = [&] { store(++disk); };
    std::string out = captured([&] {
        vx::CCapArbReader reader;
        vx::CCapArbWriter writer(&reader, 0);
        ASSERT_EQ(reader.open("hd/in.56c"), 0);
        ASSERT_EQ(writer.write("fl.56c"), 0);
    });
    EXPECT_EQ(out, "Input File Type: VX560 Capture buffer\n\n"
                   "Please insert another disk\n(number 2 )\nContinue? (y/n) \n"
                   "Please insert another disk\n(number 3 )\nContinue? (y/n) \n");
    store(3);
    std::string joinedSegments;
    for (int k = 1; k <= 3; ++k) {
        std::string seg = dir.read("disk" + std::to_string(k) + "/fl.56c");
        ASSERT_LE(seg.size(), size_t(kFloppy));
        EXPECT_EQ(seg.substr(0, 6), std::string("QRB\x1A\0\0", 6));
        EXPECT_EQ(uint8_t(seg[6]), k);
        EXPECT_EQ(seg.substr(8, 4), std::string("\x4D\x60\0\0", 4)); // 4096 x 6 + 77
        joinedSegments += seg.substr(20);
    }
    const std::string original = dir.read("hd/in.56c");
    EXPECT_EQ(joinedSegments, original.substr(20));

    load(1);
    disk = 1;
    answers = {"y\n", "y\n"};
    answer = pos = 0;
    swap = [&] { load(++disk); };
    out = captured([&] {
        vx::CCapArbReader reader;
        vx::CCapArbWriter writer(&reader, 0);
        ASSERT_EQ(reader.open("fl.56c"), 0);
        ASSERT_EQ(writer.write("hd/joined.56c"), 0);
    });
    EXPECT_EQ(out, "Input File Type: VX560 Capture buffer\n\n"
                   "Please insert disk number 2\nContinue? (y/n) \n"
                   "Please insert disk number 3\nContinue? (y/n) \n");
    const std::string joined = dir.read("hd/joined.56c");
    EXPECT_EQ(joined,
              vxtest::multiDiskHeader(1, 4096 * 6 + 77, 0, kRoomy - 20) + original.substr(20));
}

} // namespace
