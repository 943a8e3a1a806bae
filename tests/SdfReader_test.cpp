// HP SDF reading and translation: the two analyzer files, built files of
// every measure group (settings, trace layout, units, data), and damaged
// files that must be refused with a message.
#include "sdf/SdfReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "base/BeBytes.h"
#include "display/DisplayFile.h"
#include "params/Catalog.h"
#include "sdf/SdfTrans.h"
#include "support/Catalogue.h"
#include "support/RunProgram.h"
#include "support/SdfFixture.h"
#include "support/SharedFiles.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

using namespace vx;
using namespace vx::cat;
using vxtest::SdfChannel;
using vxtest::SdfFixture;

namespace {

constexpr const char* kInvalid = "Invalid file format: process aborted";
constexpr const char* kSweptSine = "testdata/sdf/HP35665A.DAT";
constexpr const char* kWideFft = "testdata/sdf/HP35670A.DAT";

int16_t entry(const enumParAction& p) {
    return p.getData(ePaoEntry);
}

uint32_t word(int w) {
    return vxtest::testModel().trace.headerWord(0, w);
}

float floatWordOf(int w) {
    uint32_t bits = word(w);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

struct SdfReaderTest : ::testing::Test {
    vxtest::TempDir dir;
    std::string out;

    void SetUp() override {
        vxtest::prepareCatalogue();
        vxtest::resetCatalogue();
        resetMeasDescriptors();
        vxtest::testModel().trace.reset();
    }
    void TearDown() override { vxtest::resetCatalogue(); }

    Status read(const std::string& bytes) {
        dir.write("t.dat", bytes);
        CSdfReader reader(vxtest::testModel());
        testing::internal::CaptureStdout();
        Status st = reader.open("t.dat");
        out = testing::internal::GetCapturedStdout();
        return st;
    }
    Status read(const SdfFixture& f) { return read(vxtest::sdfFile(f)); }

    // Refused with the message, the reader's status nonzero.
    void expectRefused(const std::string& bytes, const std::string& message) {
        EXPECT_TRUE(read(bytes).failed()) << message;
        EXPECT_NE(out.find(message), std::string::npos) << out;
    }

    const std::vector<Point>& points() {
        static const std::vector<Point> none;
        const std::vector<Point>* v = vxtest::testModel().trace.vector(0);
        return v ? *v : none;
    }
};

// A 400-line baseband power spectrum of channel 1: 401 real values.
SdfFixture fftSpectrum() {
    SdfFixture f;
    f.ramp(401);
    return f;
}

// ------------------------------------------------------------ analyzer files

TEST_F(SdfReaderTest, SweptSineFileBecomesALogSweepWithTheFilesValues) {
    VX_SHARED_FILE_OR_SKIP(bytes, kSweptSine);
    ASSERT_TRUE(read(bytes).ok()) << out;
    EXPECT_EQ(out, "Input File Type: HP SDF(tm) Vers 2\n\n");
    EXPECT_EQ(entry(measureGroup[0]), 3);
    EXPECT_EQ(entry(measureGroup[1]), 3);
    EXPECT_EQ(entry(measurement[0]), 47); // "Freq. Resp."
    EXPECT_EQ(entry(baseFreq[0]), 1);
    EXPECT_EQ(sweptStart[0].getData(ePaoEntry), 20.0f);
    EXPECT_EQ(sweptStop[0].getData(ePaoEntry), 20000.0f);
    EXPECT_EQ(sweptPoints[0].getData(ePaoEntry), 401);
    EXPECT_EQ(entry(sweptType[0]), 1);
    EXPECT_EQ(vxtest::testModel().trace.nPts, 401);
    // 2020-01-11 16:02 from the file header.
    const TimeStamp& t = vxtest::testModel().trace.timeStamp;
    EXPECT_EQ(std::vector<int>({t.seconds(), t.minutes(), t.hours(), t.dayOfWeek(), t.day(),
                                t.month(), t.year()}),
              std::vector<int>({0, 2, 16, 2, 11, 1, 120}));

    // The values are the Y-data record's floats times the correction factor.
    CSdfHdrs h;
    {
        userdiskPrt in("t.dat");
        in.setMode(socket::eRead);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(in.openWithChecks(0).ok());
        ASSERT_TRUE(readSdfHeaders(in, h).ok());
        testing::internal::GetCapturedStdout();
    }
    const float factor = sdfCorrectionFactor(h);
    const size_t at = size_t(h.yDataOffset()) + 6;
    ASSERT_EQ(points().size(), 401u);
    for (size_t i = 0; i < 401; ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + at + 8 * i);
        ASSERT_EQ(points()[i].re, getBeFloat(p) * factor) << i;
        ASSERT_EQ(points()[i].im, getBeFloat(p + 4) * factor) << i;
    }

    // The x values follow the sweep: 20 Hz, then the file's ratio.
    std::unique_ptr<xAxisT> axis = vxtest::testModel().trace.makeAxis();
    ASSERT_TRUE(axis);
    EXPECT_FLOAT_EQ(axis->x(0), 20.0f);
    EXPECT_NEAR(axis->x(400), 20000.0f, 0.05f);
    for (int16_t i = 1; i <= 400; ++i)
        ASSERT_NEAR(double(axis->x(i)) / axis->x(int16_t(i - 1)), 1.0174193661806048, 1e-5) << i;
    EXPECT_FLOAT_EQ(floatWordOf(17), 1.0174193661806048f);
    EXPECT_EQ(word(16), 3u);
}

TEST_F(SdfReaderTest, SweptSineFileSurvivesADisplayFileUnchanged) {
    VX_SHARED_FILE_OR_SKIP(sweep, kSweptSine);
    dir.write("sweep.dat", sweep);
    vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, {"sweep.dat"}, dir.path(), "");
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_TRUE(dir.exists("sweep.56d"));
    r = vxtest::runProgram(VX_CONV_PATH, {"sweep.dat", "direct.asc", "/oasc"}, dir.path(), "");
    ASSERT_EQ(r.status, 0) << r.out;
    r = vxtest::runProgram(VX_CONV_PATH, {"sweep.56d", "again.asc", "/oasc"}, dir.path(), "");
    ASSERT_EQ(r.status, 0) << r.out;
    // The same lines after the input file's name.
    std::string direct = dir.read("direct.asc"), again = dir.read("again.asc");
    direct = direct.substr(direct.find('\n'));
    again = again.substr(again.find('\n'));
    EXPECT_EQ(direct, again);
    EXPECT_NE(direct.find("  2.000000e+01 "), std::string::npos);

    // And the Display file holds the very points that the SDF file gave.
    ASSERT_TRUE(read(sweep).ok());
    const std::vector<Point> fromSdf = points();
    CTraceReader display(vxtest::testModel());
    testing::internal::CaptureStdout();
    ASSERT_TRUE(display.open("sweep.56d").ok());
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(points().size(), fromSdf.size());
    for (size_t i = 0; i < fromSdf.size(); ++i) {
        ASSERT_EQ(points()[i].re, fromSdf[i].re);
        ASSERT_EQ(points()[i].im, fromSdf[i].im);
    }
}

TEST_F(SdfReaderTest, A1600LineSpectrumIsRefusedWithItsReason) {
    VX_SHARED_FILE_OR_SKIP(wide, kWideFft);
    dir.write("wide.dat", wide);
    vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, {"wide.dat"}, dir.path(), "");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("FFT lines not supported: 2049 points (the instrument has 100 to 800 "
                         "lines)"),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(dir.exists("wide.56d"));
}

// ------------------------------------------------------------ FFT

TEST_F(SdfReaderTest, RealSpectrumIsWidenedAndPaddedToTheLineCount) {
    SdfFixture f = fftSpectrum();
    f.averageType = 1;
    f.averageCount = 1; // raised to the least the instrument allows
    f.overlap = 0.25f;
    f.channels[0].windowType = 2;
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_NE(out.find("zero padding data: input len 401  saved Len 512"), std::string::npos)
        << out;
    EXPECT_EQ(entry(measureGroup[0]), 0);
    EXPECT_EQ(entry(measurement[0]), 2); // "Pwr Spec 1"
    EXPECT_EQ(entry(span[0]), 19);
    EXPECT_EQ(entry(fftLines[0]), 2);
    EXPECT_EQ(startFreq[0].value(startFreqAction::eStart, ePaoEntry).count, 0);
    EXPECT_EQ(entry(window[0]), 1);            // "Flattop"
    EXPECT_EQ(entry(measAveragingType[0]), 2); // "RMS"
    EXPECT_EQ(entry(averaging[0]), 0);         // linear
    EXPECT_EQ(entry(measAveraging[0]), 1);
    EXPECT_EQ(numAverages[0].getData(ePaoEntry), 2);
    EXPECT_FLOAT_EQ(timeRecordIncr[0].getData(ePaoEntry), 75.0f);
    ASSERT_EQ(points().size(), 512u);
    for (size_t i = 0; i < 401; ++i) {
        ASSERT_EQ(points()[i].re, float(i + 1));
        ASSERT_EQ(points()[i].im, 0.0f);
    }
    EXPECT_EQ(points()[401].re, 0.0f);
    // Layout words of a baseband spectrum.
    EXPECT_EQ(word(0), 401u);
    EXPECT_EQ(word(5), 1u);
    EXPECT_EQ(word(9), 2u);
    EXPECT_FLOAT_EQ(floatWordOf(10), 0.5f);
    EXPECT_EQ(word(13), 0u);
    EXPECT_EQ(word(14), 1u);
    EXPECT_EQ(word(15), 5u);
    EXPECT_EQ(word(16), 1u);
}

TEST_F(SdfReaderTest, BasebandTimeRecordsHaveTwicePointsAsLines) {
    SdfFixture f;
    f.dataType = 0; // "Time 1"
    f.xDomain = 1;
    f.points = 1024, f.lastValidIndex = 1023;
    f.ramp(1024);
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measurement[0]), 4);
    EXPECT_EQ(entry(fftLines[0]), 2);
    EXPECT_EQ(vxtest::testModel().trace.nPts, 1024);
    EXPECT_EQ(word(4), 1u);
    EXPECT_EQ(points()[1023].re, 1024.0f);

    // An orbit carries two y values per point.
    f.dataType = 22;
    f.yPerPoint = 2;
    f.ramp(2048);
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measurement[0]), 8);
    EXPECT_EQ(word(4), 0u);
    EXPECT_EQ(points()[1023].im, 2048.0f);
}

TEST_F(SdfReaderTest, RevisionTwoReadsLikeRevisionThree) {
    SdfFixture f = fftSpectrum();
    f.span = 25600 / 0.78125;
    f.center = 12800 / 0.78125;
    ASSERT_TRUE(read(f).ok()) << out;
    const std::vector<Point> three = points();
    const int16_t spanThree = entry(span[0]);
    f.revision = 2;
    resetMeasDescriptors();
    vxtest::resetCatalogue();
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(out.substr(0, 35), "Input File Type: HP SDF(tm) Vers 2\n");
    EXPECT_EQ(entry(span[0]), spanThree);
    EXPECT_EQ(spanThree, 17);
    ASSERT_EQ(points().size(), three.size());
    for (size_t i = 0; i < three.size(); ++i)
        ASSERT_EQ(points()[i].re, three[i].re);
}

TEST_F(SdfReaderTest, ZoomedSpectrumRotatesItsDataAndStartsAboveZero) {
    SdfFixture f = fftSpectrum();
    f.span = 1600 / 0.78125; // instrument span 1600 Hz
    f.center = 5000;
    f.startIndex = 3;
    ASSERT_TRUE(read(f).ok()) << out;
    const double start = 2 * (5000 - 0.390625 * f.span);
    EXPECT_NEAR(startFreq[0].value(startFreqAction::eStart, ePaoEntry).hz, start, 0.01);
    EXPECT_EQ(points()[0].re, 4.0f);
    EXPECT_EQ(points()[397].re, 401.0f);
    EXPECT_EQ(points()[398].re, 1.0f);
    const int32_t count = startFreq[0].value(startFreqAction::eStart, ePaoEntry).count;
    EXPECT_EQ(word(14), uint32_t(-((count >> 18) & 0x3FFF)));
    EXPECT_EQ(word(17), uint32_t(count) << 14);
}

TEST_F(SdfReaderTest, ChannelNumberThreeIsTheSecondInput) {
    SdfFixture f = fftSpectrum();
    f.channels.assign(4, SdfChannel());
    f.channels[3].windowType = 3;
    f.vectorChannels[0] = 3;
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measurement[0]), 3); // "Pwr Spec 2"
    EXPECT_EQ(entry(window[0]), 0);      // "Uniform", from the fourth header
}

TEST_F(SdfReaderTest, ChannelPowerScalesTheCorrectionFactor) {
    SdfFixture f = fftSpectrum();
    f.channels[0].engUnitCal = 0.5f; // factor 2
    f.powers[0] = 96;
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(points()[1].re, 2.0f * 4.0f);
    f.powers[0] = 24;
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_FLOAT_EQ(points()[1].re, 2.0f * std::sqrt(2.0f));
}

TEST_F(SdfReaderTest, WindowAndAveragingTables) {
    struct Case {
        int16_t sdfWindow, window, averageType, avgType, avgMode;
    };
    for (const Case& c : {Case{1, 2, 2, 2, 1}, Case{10, 4, 3, 1, 0}, Case{4, 5, 4, 1, 1},
                          Case{5, 5, 5, 3, 1}, Case{7, 3, 6, 3, 0}, Case{0, 3, 9, 0, 1}}) {
        SdfFixture f = fftSpectrum();
        f.channels[0].windowType = c.sdfWindow;
        f.averageType = c.averageType;
        ASSERT_TRUE(read(f).ok()) << out;
        EXPECT_EQ(entry(window[0]), c.window) << c.sdfWindow;
        EXPECT_EQ(entry(measAveragingType[0]), c.avgType) << c.averageType;
        EXPECT_EQ(entry(averaging[0]), c.avgMode) << c.averageType;
    }
}

TEST_F(SdfReaderTest, EngineeringUnitsFromTheChannelHeader) {
    SdfFixture f = fftSpectrum();
    f.channels[0].unitLabel = "g";
    f.channels[0].unitScale = 9.80665f;
    const int8_t accel[8] = {0, 2, -4, 0, 0, 0, 0, 0};
    std::copy(accel, accel + 8, f.channels[0].unitExponents);
    f.channels[0].engUnitCal = 0.01f;
    f.channels[1].unitLabel = "psi";
    f.channels[1].unitScale = 6894.76f;
    const int8_t pressure[8] = {-2, 2, -4, 0, 0, 0, 0, 0};
    std::copy(pressure, pressure + 8, f.channels[1].unitExponents);
    f.vectorChannels[1] = 1;
    f.dataType = 4; // "Freq. Resp."
    f.yComplex = 1;
    f.ramp(802);
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(engUnits1[0]), 1);
    EXPECT_FLOAT_EQ(euPerVolt1[0].getData(ePaoEntry), 100.0f);
    EXPECT_EQ(entry(euLabel1[0]), 7); // "g"
    EXPECT_EQ(entry(transducerOut1[0]), 7);
    EXPECT_EQ(entry(engUnits2[0]), 1);
    EXPECT_EQ(entry(euLabel2[0]), 14); // "USER"
    EXPECT_STREQ(euUserLabel2[0].getStr(ePaoEntry), "psi");
    EXPECT_EQ(entry(measurement[0]), 11);
}

// ------------------------------------------------------------ other groups

TEST_F(SdfReaderTest, CorrelationWindowAndAveraging) {
    SdfFixture f;
    f.measType = 7;
    f.dataType = 5; // "AutoCorr.1"
    f.xDomain = 1;
    f.points = 512;
    f.lastValidIndex = 511;
    f.ramp(512);
    f.channels[0].windowType = 15;
    f.averageType = 5; // peak hold is unknown here
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measureGroup[0]), 1);
    EXPECT_EQ(entry(measurement[0]), 19);
    EXPECT_EQ(entry(window[0]), 8); // "0..T/2"
    EXPECT_EQ(entry(measAveragingType[0]), 0);
    EXPECT_EQ(entry(averaging[0]), 1);
    EXPECT_EQ(word(4), 1u);
}

TEST_F(SdfReaderTest, OctaveBandsFromTheFirstBandEdge) {
    SdfFixture f;
    f.measType = 5;
    f.dataType = 12; // third octaves
    f.xDomain = 6;
    f.xStart = 1000 * 0.8908987; // lower edge of the 1 kHz band
    f.lastValidIndex = 14;       // 15 bands: five octaves
    f.points = 16;
    f.overlap = 0.5f;
    f.averageType = 6;
    f.octaveRecord = true;
    f.ramp(16);
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measureGroup[0]), 2);
    EXPECT_EQ(entry(measurement[0]), 33);
    EXPECT_EQ(entry(baseFreq[0]), 0);
    EXPECT_EQ(entry(octaveResolution[0]), 1);
    // First band 16 kHz, lowest band 1 kHz (band numbers grow as the frequency falls).
    EXPECT_EQ(entry(octaveSpan[0]), 1);
    EXPECT_EQ(octaveSpan[0].lowestBand(ePaoEntry), 5);
    EXPECT_FLOAT_EQ(octIntegrationTime[0].getData(ePaoEntry), 0.25f);
    EXPECT_EQ(entry(octAveragingType[0]), 2);
    EXPECT_EQ(word(12), 63u);
    EXPECT_EQ(word(13), 18u);
    EXPECT_EQ(word(14), 14u);
    EXPECT_EQ(word(16), 2u);
    EXPECT_EQ(vxtest::testModel().trace.nPts, 16);
    EXPECT_EQ(points()[15].re, 16.0f);
}

TEST_F(SdfReaderTest, LinearSweepSteps) {
    SdfFixture f;
    f.measType = 2;
    f.dataType = 1; // "Lin Spec 1"
    f.xStart = 1000;
    f.span = 9000;
    f.lastValidIndex = 9;
    f.points = 10;
    f.yComplex = 1;
    f.ramp(20);
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measurement[0]), 42);
    EXPECT_EQ(entry(sweptType[0]), 0);
    EXPECT_FLOAT_EQ(floatWordOf(13), 1000.0f);
    EXPECT_FLOAT_EQ(floatWordOf(14), 1000.0f);
    EXPECT_FLOAT_EQ(floatWordOf(17), 1.0f);
    EXPECT_EQ(word(21), 10u);
    EXPECT_EQ(points()[9].im, 20.0f);
}

TEST_F(SdfReaderTest, OrderSpectrumAndTimeRecord) {
    SdfFixture f;
    f.measType = 4;
    f.dataType = 21; // order "Pwr Spec 1"
    f.xDomain = 4;
    f.xStep = 0.25;
    f.lastValidIndex = 40;
    f.points = 41;
    f.ramp(41);
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measureGroup[0]), 4);
    EXPECT_EQ(entry(measurement[0]), 55);
    EXPECT_FLOAT_EQ(deltaOrder[0].getData(ePaoEntry), 0.25f);
    EXPECT_FLOAT_EQ(maxOrder[0].getData(ePaoEntry), 10.0f);
    EXPECT_FLOAT_EQ(maxRpm[0].getData(ePaoEntry), 240000.0f);
    EXPECT_FLOAT_EQ(minRpm[0].getData(ePaoEntry), 0.001f);
    EXPECT_EQ(word(0), 128u); // 40 orders: the shortest record
    EXPECT_EQ(word(16), 5u);

    f.dataType = 0; // order "Time 1"
    f.xDomain = 1;
    f.points = 1024;
    f.lastValidIndex = 1023;
    f.xStep = 1.0 / 128;
    f.ramp(1024);
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measurement[0]), 57);
    EXPECT_FLOAT_EQ(deltaOrder[0].getData(ePaoEntry), 0.125f);
    EXPECT_FLOAT_EQ(maxOrder[0].getData(ePaoEntry), 25.0f);
}

TEST_F(SdfReaderTest, HistogramsCountTheirSamplesOrAssumeAThousand) {
    SdfFixture f;
    f.measType = 8;
    f.dataType = 14; // "Histo 1"
    f.xDomain = 2;
    f.blockSize = 256;
    f.points = 256;
    f.lastValidIndex = 255;
    f.span = 102400 * 512.0 / 400;
    f.channels[0].range = 3.0f;
    f.ramp(256);
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_EQ(entry(measureGroup[0]), 5);
    EXPECT_EQ(entry(measurement[0]), 72);
    EXPECT_EQ(entry(histogramBins[0]), 6);
    EXPECT_EQ(entry(span[0]), 19);
    EXPECT_EQ(inputRange1.range(ePaoEntry), 2); // 3 - 1.94 dB, made even
    EXPECT_NE(out.find("Range incompatible: was 1.0618 dBVpk, using 2 dBVpk"), std::string::npos)
        << out;
    EXPECT_EQ(histogramLength[0].samples(ePaoEntry), 256 * 257 / 2);
    const float full = 1.25f * std::pow(10.0f, 2 / 20.0f);
    EXPECT_FLOAT_EQ(floatWordOf(18), full);
    EXPECT_FLOAT_EQ(floatWordOf(17), -full);
    EXPECT_EQ(word(21), 256u);

    f.dataType = 15; // "PDF 1"
    ASSERT_TRUE(read(f).ok()) << out;
    EXPECT_NE(out.find("Histogram length can not be determined: assuming 1000 samples"),
              std::string::npos);
    EXPECT_EQ(histogramLength[0].samples(ePaoEntry), 1000);
}

// ------------------------------------------------------------ refusals

TEST_F(SdfReaderTest, UnsupportedMeasurementsAreRefused) {
    SdfFixture f = fftSpectrum();
    f.measType = 6;
    expectRefused(vxtest::sdfFile(f), "Measurement type not supported");
    f.measType = 12;
    expectRefused(vxtest::sdfFile(f), "Measurement type not supported");
    f.measType = 0;
    f.dataType = 14;
    expectRefused(vxtest::sdfFile(f), "Measurement not supported");
    f.dataType = 2;
    f.yPerPoint = 2;
    expectRefused(vxtest::sdfFile(f), "Invalid data set, 2 y-data's per point");
    f.yPerPoint = 1;
    f.y.pop_back();
    expectRefused(vxtest::sdfFile(f), "Lengths don't compute...this should never happen!!!");
    f = fftSpectrum();
    f.lastValidIndex = 1600;
    expectRefused(vxtest::sdfFile(f), "FFT lines not supported: 1601 points");
}

TEST_F(SdfReaderTest, DamagedSettingsAreRefused) {
    SdfFixture oct;
    oct.measType = 5, oct.dataType = 11, oct.xDomain = 6, oct.octaveRecord = true;
    oct.lastValidIndex = 4, oct.ramp(6);
    for (double x : {0.0, -5.0, 1e-30, 1e9, std::nan("")}) {
        oct.xStart = x;
        expectRefused(vxtest::sdfFile(oct), kInvalid);
    }
    oct.xStart = 20000;
    oct.lastValidIndex = 30, oct.ramp(32); // more octaves than the instrument has
    expectRefused(vxtest::sdfFile(oct), kInvalid);
    oct.dataType = 12, oct.lastValidIndex = 1, oct.ramp(3); // less than one octave
    expectRefused(vxtest::sdfFile(oct), kInvalid);
    oct.lastValidIndex = 2, oct.ramp(4);
    for (float twiceIntegration : {1e14f, std::nanf("")}) {
        oct.overlap = twiceIntegration;
        expectRefused(vxtest::sdfFile(oct), kInvalid);
    }

    SdfFixture ord;
    ord.measType = 4, ord.dataType = 0, ord.xDomain = 1, ord.ramp(64);
    ord.points = 64, ord.lastValidIndex = 63; // below 256 points
    expectRefused(vxtest::sdfFile(ord), kInvalid);
    ord.points = 4096, ord.lastValidIndex = 4095, ord.ramp(4096); // above 2048
    expectRefused(vxtest::sdfFile(ord), kInvalid);
    ord.xStep = 0;
    expectRefused(vxtest::sdfFile(ord), kInvalid);

    SdfFixture sweep;
    sweep.measType = 2, sweep.dataType = 4, sweep.yComplex = 1, sweep.xResolution = 1;
    sweep.xStart = 0, sweep.span = 1000, sweep.points = 10, sweep.lastValidIndex = 9;
    sweep.ramp(20);
    expectRefused(vxtest::sdfFile(sweep), kInvalid); // a log sweep from 0 Hz
    sweep.xStart = 10, sweep.lastValidIndex = 0, sweep.points = 1, sweep.ramp(2);
    expectRefused(vxtest::sdfFile(sweep), kInvalid);

    SdfFixture hist;
    hist.measType = 8, hist.dataType = 14, hist.blockSize = 16, hist.ramp(16);
    hist.vectorChannels[0] = -1, hist.vectorChannels[1] = 0;
    expectRefused(vxtest::sdfFile(hist), kInvalid); // no first channel
    hist.vectorChannels[0] = 0, hist.channels[0].range = 1e30f;
    expectRefused(vxtest::sdfFile(hist), kInvalid);
    hist.channels[0].range = 0, hist.blockSize = 0, hist.y.clear(); // no samples
    expectRefused(vxtest::sdfFile(hist), kInvalid);

    SdfFixture fft = fftSpectrum();
    fft.span = 1e12;
    expectRefused(vxtest::sdfFile(fft), kInvalid);
    fft.span = 0;
    expectRefused(vxtest::sdfFile(fft), kInvalid);
}

TEST_F(SdfReaderTest, DamagedRecordsAreRefused) {
    const SdfFixture f = fftSpectrum();
    const std::string good = vxtest::sdfFile(f);
    const vxtest::SdfLayout l = vxtest::sdfLayout(f);
    ASSERT_TRUE(read(good).ok()) << out;
    for (size_t record : {l.fileHdr, l.measHdr, l.dataHdr, l.vectorHdr, l.channelHdr}) {
        expectRefused(vxtest::patchBe(good, record, 99, 2), kInvalid);             // type
        expectRefused(vxtest::patchBe(good, record + 2, 0x7FFFFFF0, 4), kInvalid); // size
        expectRefused(vxtest::patchBe(good, record + 2, 2, 4), kInvalid);          // size
    }
    expectRefused(vxtest::patchBe(good, l.yData, 16, 2), kInvalid);
    expectRefused(vxtest::patchBe(good, l.yData + 2, 2, 4), kInvalid);
    for (uint32_t size : {0x7FFFFFF0u, 6u + 4 * 400})
        expectRefused(vxtest::patchBe(good, l.yData + 2, size, 4),
                      "Lengths don't compute...this should never happen!!!");
    for (size_t offset : {36, 40, 44, 60}) {
        expectRefused(vxtest::patchBe(good, l.fileHdr + offset, uint32_t(good.size()), 4),
                      kInvalid);
        expectRefused(vxtest::patchBe(good, l.fileHdr + offset, uint32_t(-8), 4), kInvalid);
    }
    // The vector names a channel header that the file lacks.
    expectRefused(vxtest::patchBe(good, l.vectorHdr + 10, 7, 2), kInvalid);
    for (size_t cut : {size_t(1), size_t(40), l.dataHdr + 20, l.channelHdr + 5, good.size() - 3})
        EXPECT_TRUE(read(good.substr(0, cut)).failed()) << cut;
    expectRefused(vxtest::patchBe(good, 0, 0x4100, 2), kInvalid);
}

} // namespace
