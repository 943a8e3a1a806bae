// Display files: reading fixture-built files, writing and reading back,
// damaged files, lengths from the settings, vectors and the /Q replacement.
#include "trace/TRACE.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>

#include "base/Options.h"
#include "display/DataReplacement.h"
#include "display/DisplayFile.h"
#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "trace/Model.h"

using namespace vx;
using vxtest::DisplayFixture;
using vxtest::MemStream;

namespace {

struct TraceTest : ::testing::Test {
    void SetUp() override {
        vxtest::prepareCatalogue();
        vxtest::resetCatalogue();
        vxtest::testModel().options.transducer[0] = vxtest::testModel().options.transducer[1] = -1;
    }
    void TearDown() override { vxtest::resetCatalogue(); }

    // The parameter lists of a settings block as the list serializer writes them.
    static std::string listBytes() {
        MemStream s;
        const int16_t lists[][2] = {{1, 1},  {2, 1}, {3, 1}, {4, 0},
                                    {14, 0}, {5, 1}, {7, 0}, {8, 0}};
        for (const auto& l : lists)
            EXPECT_EQ(serializeList(l[0], &s, 1, 0, ePaoEntry, l[1]), 0);
        return s.bytes();
    }

    // A VX560 FFT 1 file with the default settings and n points.
    static DisplayFixture fftFile(uint32_t n = 512) {
        vxtest::Vx560Settings settings;
        settings.lists = listBytes();
        std::memcpy(settings.descriptor.data(), measDescriptor(0).bytes, MeasDesc::kSize);
        DisplayFixture f;
        f.settings = settings.bytes();
        f.vectors.push_back(vxtest::rampVector(n));
        f.vectors[0].header[12] = 1;
        return f;
    }

    // Reads the bytes; returns the status and leaves the console text in out.
    static int read(const std::string& bytes, std::string& out) {
        MemStream in(bytes);
        testing::internal::CaptureStdout();
        int st = readDisplayFile(vxtest::testModel(), in).code();
        out = testing::internal::GetCapturedStdout();
        return st;
    }
};

TEST_F(TraceTest, ReadsAFixtureBuiltVx560File) {
    std::string out;
    ASSERT_EQ(read(fftFile().bytes(), out), 0) << out;
    EXPECT_EQ(out, "Input File Type: VX560 Display file\n\n");
    TraceMgr& t = vxtest::testModel().trace;
    EXPECT_EQ(t.oldFormat, 0);
    EXPECT_EQ(t.vectorCode, 0);
    ASSERT_NE(t.vector(0), nullptr);
    EXPECT_EQ(t.vector(1), nullptr);
    ASSERT_EQ(t.vector(0)->size(), 512u);
    EXPECT_EQ((*t.vector(0))[7].re, 7.0f);
    EXPECT_EQ((*t.vector(0))[7].im, -7.0f);
    EXPECT_EQ(t.nPts, 512);
    EXPECT_EQ(t.xDispLen, 400);
    EXPECT_EQ(t.measDesc.axisKind(), 1);
}

TEST_F(TraceTest, WrittenFileReadsBackWithTheSameDataAndVersionText) {
    std::string out;
    ASSERT_EQ(read(fftFile().bytes(), out), 0);
    MemStream written;
    ASSERT_EQ(writeDisplayFile(vxtest::testModel(), written), 0);
    const std::string& bytes = written.bytes();
    // Tag, label, block length, then the marker and the version text.
    EXPECT_EQ(bytes.substr(0, 18), "VX560 Display File");
    EXPECT_EQ(bytes.substr(23, 16), "Settings Header:");
    EXPECT_EQ(bytes.substr(43 + 2, 20), std::string("plat218 pao5\0\0\0\0\0\0\0\0", 20));
    ASSERT_EQ(read(bytes, out), 0) << out;
    ASSERT_NE(vxtest::testModel().trace.vector(0), nullptr);
    EXPECT_EQ((*vxtest::testModel().trace.vector(0))[511].re, 511.0f);
    MemStream again;
    ASSERT_EQ(writeDisplayFile(vxtest::testModel(), again), 0);
    EXPECT_EQ(again.bytes(), bytes);

    std::strcpy(vxtest::testModel().options.platformVersion, "210");
    MemStream older;
    ASSERT_EQ(writeDisplayFile(vxtest::testModel(), older), 0);
    EXPECT_EQ(older.bytes().substr(45, 12), "plat210 pao5");
    std::strcpy(vxtest::testModel().options.platformVersion, "218");
}

TEST_F(TraceTest, DamagedFilesAreRefusedWithTheirMessages) {
    const std::string good = fftFile().bytes();
    std::string out;

    std::string flipped = good;
    flipped[43 + 30] ^= 0x40; // a byte inside the settings block
    EXPECT_EQ(read(flipped, out), 26);
    EXPECT_EQ(out, "Invalid file format: process aborted\n");

    DisplayFixture badCheck = fftFile();
    badCheck.vectors[0].goodCheck = false;
    EXPECT_EQ(read(badCheck.bytes(), out), 26);
    EXPECT_NE(out.find("Invalid checksum: process aborted\nInvalid file format: process aborted\n"),
              std::string::npos);
    EXPECT_EQ(vxtest::testModel().trace.vector(0), nullptr);

    std::string noDataLabel = good;
    size_t at = noDataLabel.find("Vector Data:");
    noDataLabel[at] = 'v';
    EXPECT_EQ(read(noDataLabel, out), 26);
    EXPECT_NE(
        out.find("Invalid file format: process aborted\nInvalid file format: process aborted\n"),
        std::string::npos);

    std::string noHeaderLabel = good;
    noHeaderLabel[noHeaderLabel.find("Vector Header:")] = 'v';
    EXPECT_EQ(read(noHeaderLabel, out), 26);
    EXPECT_NE(out.find("Data Field Id invalid\n"), std::string::npos);

    EXPECT_EQ(read(good.substr(0, good.size() - 100), out), 26); // truncated points
    std::string captureTag = good;
    captureTag[21] = 1;
    EXPECT_EQ(read(captureTag, out), 26);
    EXPECT_EQ(out, "Invalid file format: process aborted\n");
}

TEST_F(TraceTest, EveryTruncationIsRefused) {
    const std::string good = fftFile(4).bytes();
    std::string out;
    for (size_t cut = 0; cut < good.size(); ++cut) {
        ASSERT_EQ(read(good.substr(0, cut), out), 26) << cut;
        EXPECT_NE(out.find("Invalid file format: process aborted"), std::string::npos) << cut;
    }
    EXPECT_EQ(read(good, out), 0);
}

TEST_F(TraceTest, AChangedListTitleFailsTheSettingsWithStatusOne) {
    vxtest::Vx560Settings settings;
    settings.lists = listBytes();
    settings.lists[settings.lists.find("Filter List:")] = 'f';
    DisplayFixture f;
    f.settings = settings.bytes();
    f.vectors.push_back(vxtest::rampVector(512));
    std::string out;
    EXPECT_EQ(read(f.bytes(), out), 1);
    EXPECT_NE(out.find("Filter List:"), std::string::npos);
    EXPECT_EQ(out.find("Input File Type"), std::string::npos);
}

TEST_F(TraceTest, NewerPaoVersionIsRefused) {
    vxtest::Vx560Settings settings;
    settings.versionText = "plat218 pao6";
    settings.lists = listBytes();
    DisplayFixture f;
    f.settings = settings.bytes();
    f.vectors.push_back(vxtest::rampVector(512));
    std::string out;
    EXPECT_EQ(read(f.bytes(), out), 26);
    EXPECT_EQ(out, "Invalid file version: process aborted\n");
}

// Each model holds what was read into it: a second model's read, and its
// options, leave the first as it was, and a write takes its own model's trace.
TEST_F(TraceTest, TwoModelsKeepTheirOwnTraceAndOptions) {
    CModel a, b;
    std::snprintf(a.options.dataFormat, sizeof a.options.dataFormat, "%s", "%8.2f");
    MemStream inA(fftFile(512).bytes()), inB(fftFile(256).bytes());
    testing::internal::CaptureStdout();
    ASSERT_EQ(readDisplayFile(a, inA), 0);
    ASSERT_EQ(readDisplayFile(b, inB), 0);
    MemStream out;
    ASSERT_EQ(writeDisplayFile(a, out), 0);
    CModel back;
    MemStream again(out.bytes());
    ASSERT_EQ(readDisplayFile(back, again), 0);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(a.trace.vector(0) && b.trace.vector(0) && back.trace.vector(0));
    EXPECT_EQ(a.trace.vector(0)->size(), 512u);
    EXPECT_EQ(b.trace.vector(0)->size(), 256u);
    EXPECT_EQ(back.trace.vector(0)->size(), 512u);
    EXPECT_EQ((*back.trace.vector(0))[511].re, (*a.trace.vector(0))[511].re);
    EXPECT_STREQ(a.options.dataFormat, "%8.2f");
    EXPECT_STREQ(b.options.dataFormat, "%14.6e");
}

TEST_F(TraceTest, RpmBasedTracesAreWrittenWithTwoVectors) {
    (void)cat::measureGroup[0].setData(4, 0);
    (void)cat::measurement[0].setRange(4);
    (void)cat::measurement[0].setData(61, 0);
    TraceMgr& t = vxtest::testModel().trace;
    t.nPts = 100;
    std::vector<float> values(200, 1.5f);
    t.loadVector(values.data(), 100, 0);
    MemStream out;
    EXPECT_EQ(writeDisplayFile(vxtest::testModel(), out), 26); // the second vector is missing
    t.loadVector(values.data(), 100, 1);
    ASSERT_EQ(writeDisplayFile(vxtest::testModel(), out), 0);
    EXPECT_EQ(t.vectorCode, 2);
    size_t code = out.bytes().find("Vector Header:") - 2;
    EXPECT_EQ(out.bytes()[code], 2);
    EXPECT_EQ(out.bytes().find("Vector Header:", code + 20) != std::string::npos, true);
}

TEST_F(TraceTest, LoadVectorReportsOnlyDifferencesAboveOnePoint) {
    TraceMgr& t = vxtest::testModel().trace;
    t.nPts = 10;
    std::vector<float> v(40);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = float(i);
    struct Case {
        int16_t len;
        const char* message;
    };
    const Case cases[] = {{10, ""},
                          {11, ""},
                          {9, ""},
                          {12, "ignoring data: input len 12  saved Len 10\n"},
                          {8, "zero padding data: input len 8  saved Len 10\n"}};
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        t.loadVector(v.data(), c.len, 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message) << c.len;
        ASSERT_EQ(t.vector(0)->size(), 10u);
    }
    EXPECT_EQ((*t.vector(0))[7].re, 14.0f);
    EXPECT_EQ((*t.vector(0))[8].re, 0.0f); // zero padded
    t.loadVector(v.data(), 9, 0);
    EXPECT_EQ((*t.vector(0))[9].re, (*t.vector(0))[8].re); // one short repeats the last point
}

TEST_F(TraceTest, ReplacementListZeroFillsOrRefuses) {
    vxtest::TempDir dir;
    std::string out;
    ASSERT_EQ(read(fftFile(4).bytes(), out), 0);
    dir.write("short.txt", "2\n1.5\n-1.5\n2.5\n-2.5\n9\n9\n");
    EXPECT_EQ(replaceData(vxtest::testModel().trace, "short.txt"), 0);
    const std::vector<Point>& p = *vxtest::testModel().trace.vector(0);
    EXPECT_EQ(p[0].re, 1.5f);
    EXPECT_EQ(p[1].im, -2.5f);
    EXPECT_EQ(p[2].re, 0.0f);
    EXPECT_EQ(p[3].im, 0.0f);
    dir.write("bad.txt", "2\n1.5\nabc\n");
    testing::internal::CaptureStdout();
    EXPECT_NE(replaceData(vxtest::testModel().trace, "bad.txt"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid Ascii Data Format\n");
}

// A count line and `values` value lines of -(i + 0.5) * 1000 in `format`
// (which carries the line end).
std::string replacementList(const char* countLine, int values, const char* format) {
    std::string list = countLine;
    char line[64];
    for (int i = 0; i < values; ++i) {
        std::snprintf(line, sizeof line, format, -(i + 0.5) * 1000);
        list += line;
    }
    return list;
}

// Each list through the Display writer: taken whole, or refused with the
// message, no output file and the trace's points as they were (a ramp).
TEST_F(TraceTest, ReplacementListsSayWhatTheyMean) {
    const float kMax = std::numeric_limits<float>::max();
    struct Case {
        const char* what;
        std::string list;
        bool taken;
        float re0, re3, re400; // the real parts of points 0, 3 and 400 after it
    };
    const Case cases[] = {
        {"numpy count", replacementList("4.010000000000000000e+02\n", 802, "%.18e\n"), true, -500,
         -6500, -800500},
        {"integral count, CR LF", replacementList("401.0\r\n", 802, "%g\r\n"), true, -500, -6500,
         -800500},
        {"fields of 40", replacementList("401\n", 802, "%40.6e\n"), true, -500, -6500, -800500},
        {"count beyond the trace", replacementList("1000\n", 802, "%g\n"), true, -500, -6500,
         -800500},
        {"short count", replacementList("2\n", 6, "%g\n"), true, -500, 0, 0},
        {"float limits", "1\n3.4028235e+38\n-1e-50\n", true, kMax, 0, 0},
        {"negative count", replacementList("-401\n", 802, "%g\n"), false, 0, 3, 400},
        {"zero count", "0\n", false, 0, 3, 400},
        {"fractional count", replacementList("1.5\n", 4, "%g\n"), false, 0, 3, 400},
        {"count and text", replacementList("401 points\n", 802, "%g\n"), false, 0, 3, 400},
        {"infinite count", replacementList("1e400\n", 802, "%g\n"), false, 0, 3, 400},
        {"empty list", "", false, 0, 3, 400},
        {"too few values", replacementList("401\n", 801, "%g\n"), false, 0, 3, 400},
        {"value overflows", "1\n1e400\n0\n", false, 0, 3, 400},
        {"value above float", "1\n1e39\n0\n", false, 0, 3, 400},
        {"nan", "1\nnan\n0\n", false, 0, 3, 400},
        {"garbage", "1\n1.5abc\n0\n", false, 0, 3, 400},
        {"empty line", "1\n\n0\n", false, 0, 3, 400},
        {"line longer than any number", "1\n" + std::string(2000, ' ') + "1\n0\n", false, 0, 3,
         400},
    };
    vxtest::TempDir dir;
    for (const Case& c : cases) {
        std::string out;
        ASSERT_EQ(read(fftFile(401).bytes(), out), 0);
        dir.write("list.txt", c.list);
        std::remove("out.56d");
        CTraceWriter writer(vxtest::testModel());
        writer.setReplacementFile("list.txt");
        testing::internal::CaptureStdout();
        const Status st = writer.write("out.56d");
        writer.close();
        const std::string console = testing::internal::GetCapturedStdout();
        EXPECT_EQ(st.ok(), c.taken) << c.what;
        EXPECT_EQ(dir.exists("out.56d"), c.taken) << c.what;
        EXPECT_EQ(console.find("Invalid Ascii Data Format") != std::string::npos, !c.taken)
            << c.what;
        const std::vector<Point>& p = *vxtest::testModel().trace.vector(0);
        EXPECT_EQ(p[0].re, c.re0) << c.what;
        EXPECT_EQ(p[3].re, c.re3) << c.what;
        EXPECT_EQ(p[400].re, c.re400) << c.what;
    }
}

TEST_F(TraceTest, ReadVectorFromChecksTheCountAndKeepsTheVectorSize) {
    TraceMgr& t = vxtest::testModel().trace;
    t.nPts = 4;
    std::vector<float> zeros(8, 0.0f);
    t.loadVector(zeros.data(), 4, 0);
    vxtest::FixtureVector v = vxtest::rampVector(6);
    vxtest::LeBuilder b;
    for (uint32_t w : v.header)
        b.le32(w);
    for (const auto& pt : v.points)
        b.f32(pt.re).f32(pt.im);
    MemStream in(b.str());
    testing::internal::CaptureStdout();
    EXPECT_EQ(readVectorFrom(t, in), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("nPts == (int)tArryLen FAILED: "),
              std::string::npos);
    EXPECT_EQ(t.vector(0)->size(), 4u);
    EXPECT_EQ((*t.vector(0))[3].re, 3.0f);
    EXPECT_EQ(in.position(), in.bytes().size()); // the whole slice was consumed
}

TEST_F(TraceTest, LengthsFollowTheSettings) {
    TraceMgr& t = vxtest::testModel().trace;
    (void)cat::fftLines[0].setData(3, 0);
    t.computeLengths();
    EXPECT_EQ(t.nPts, 1024);
    EXPECT_EQ(t.xDispLen, 800);
    (void)cat::measurement[0].setData(4, 0); // a baseband time record doubles
    t.computeLengths();
    EXPECT_EQ(t.nPts, 2048);
    EXPECT_EQ(t.xDispLen, 2047);
    (void)cat::measureGroup[0].setData(3, 0);
    (void)cat::measurement[0].setRange(3);
    (void)cat::measurement[0].setData(42, 0);
    (void)cat::sweptPoints[0].setData(123);
    t.computeLengths();
    EXPECT_EQ(t.nPts, 123);
    EXPECT_EQ(t.xDispLen, 123);
}

TEST_F(TraceTest, TransducerOptionSelectsTheOutputUnit) {
    (void)cat::engUnits1[0].setData(1, 0);
    (void)cat::euLabel1[0].setData(0, 0); // m/s^2
    std::string out;
    ASSERT_EQ(read(fftFile().bytes(), out), 0);
    EXPECT_EQ(cat::transducerOut1[0].getData(ePaoEntry), 0); // no /T: the EU label
    vxtest::testModel().options.transducer[0] = 2;           // /T1,3: metres
    ASSERT_EQ(read(fftFile().bytes(), out), 0);
    EXPECT_EQ(cat::transducerOut1[0].getData(ePaoEntry), 2);
    EXPECT_EQ(cat::transducerOut2[0].getData(ePaoEntry),
              cat::euLabel2[0].getData(ePaoEntry) > 7 ? 0 : cat::euLabel2[0].getData(ePaoEntry));
}

} // namespace
