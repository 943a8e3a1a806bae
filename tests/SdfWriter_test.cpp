// The HP SDF writer: fixture Display files of every measure group written as
// SDF and parsed back, header fields against values worked out here, the Y
// and X data against the trace, the messages and the write failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "base/BeBytes.h"
#include "display/DisplayFile.h"
#include "params/Catalog.h"
#include "sdf/SdfParse.h"
#include "sdf/SdfWriter.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/MemStream.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

namespace {

using namespace vx;
using vxtest::MemStream;
using H = CSdfHdrs;

struct SdfWriterTest : ::testing::Test {
    vxtest::TempDir dir;
    CSdfHdrs hdrs;
    std::string bytes; // the written file
    std::string out;   // console text of the last write

    void SetUp() override {
        vxtest::prepareCatalogue();
        vxtest::resetCatalogue();
    }
    void TearDown() override {
        vxtest::testModel().trace.reset();
        vxtest::resetCatalogue();
    }

    // Reads the fixture file of a group into the trace.
    static void loadGroup(int16_t group) {
        MemStream in(vxtest::groupDisplayFile(group));
        testing::internal::CaptureStdout();
        Status st = readDisplayFile(vxtest::testModel(), in);
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(st, 0);
    }
    // Switches the trace to another measurement of its group.
    static void selectMeasurement(int16_t m) {
        (void)cat::measurement[0].setData(m, 0);
        cat::measurement[0].setParam(0);
        vxtest::testModel().trace.computeLengths();
    }
    // Writes the trace to a file and parses its headers back.
    Status write() {
        CSdfWriter writer(vxtest::testModel());
        testing::internal::CaptureStdout();
        Status st = writer.write("out.dat");
        writer.close();
        out = testing::internal::GetCapturedStdout();
        if (st.failed()) return st;
        bytes = dir.read("out.dat");
        userdiskPrt in("out.dat");
        in.setMode(socket::eRead);
        testing::internal::CaptureStdout();
        Status parsed = in.openWithChecks(0);
        if (parsed.ok()) parsed = readSdfHeaders(in, hdrs);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(parsed, 0);
        return st;
    }
    float beFloat(size_t at) const {
        return getBeFloat(reinterpret_cast<const uint8_t*>(bytes.data()) + at);
    }
    int32_t be32(size_t at) const {
        return int32_t(getBe32(reinterpret_cast<const uint8_t*>(bytes.data()) + at));
    }
    int16_t be16(size_t at) const {
        return int16_t(getBe16(reinterpret_cast<const uint8_t*>(bytes.data()) + at));
    }
    // The values of the Y-data record.
    std::vector<float> yValues() const {
        const size_t at = size_t(hdrs.yDataOffset());
        std::vector<float> v;
        for (size_t p = at + 6; p + 4 <= bytes.size(); p += 4)
            v.push_back(beFloat(p));
        return v;
    }
    int16_t meas(size_t at) const { return hdrs.i16(H::kMeasHdr + at); }
    int16_t data(size_t at) const { return hdrs.i16(H::kDataHdr + at); }
    int16_t channel(int slot, size_t at) const { return hdrs.i16(H::channelAt(slot) + at); }
};

TEST_F(SdfWriterTest, EveryGroupWritesConsistentRecordsAndItsDataType) {
    // Data type, measurement type and x domain of each group's fixture measurement.
    const int16_t expected[6][3] = {{1, 3, 0}, {5, 7, 1}, {12, 5, 6},
                                    {4, 2, 0}, {1, 4, 4}, {14, 8, 2}};
    const char* titles[6] = {"Lin Spec",  "Auto Corr", "Pwr Spec",
                             "Freq Resp", "Lin Spec",  "Histogram"};
    for (int16_t g = 0; g < 6; ++g) {
        SCOPED_TRACE(g);
        vxtest::resetCatalogue();
        loadGroup(g);
        ASSERT_EQ(write(), 0) << out;
        EXPECT_EQ(out, "");
        EXPECT_EQ(hdrs.dataType(), expected[g][0]);
        EXPECT_EQ(hdrs.measType(), expected[g][1]);
        EXPECT_EQ(hdrs.xDomain(), expected[g][2]);
        EXPECT_EQ(hdrs.text(H::kDataHdr + 10, 16), titles[g]);
        // Records where the file header puts them, the Y data last and filling the file.
        EXPECT_EQ(bytes.substr(0, 2), std::string("B\0", 2));
        EXPECT_EQ(be16(2), 10);
        EXPECT_EQ(be16(238), 12);
        EXPECT_EQ(be16(386), 13);
        EXPECT_EQ(be16(404), 14);
        EXPECT_EQ(be16(616), 14);
        EXPECT_EQ(be16(828), 15);
        EXPECT_EQ(hdrs.xDataCount(), 0);
        EXPECT_EQ(hdrs.yDataOffset(), 868);
        EXPECT_EQ(be16(868), 17);
        EXPECT_EQ(size_t(be32(870)), bytes.size() - 868);
        const int perPoint = hdrs.yIsComplex() || hdrs.yPerPoint() == 2 ? 2 : 1;
        const int32_t extra = g == 2 ? 1 : 0;
        EXPECT_EQ(int32_t(yValues().size()), perPoint * (hdrs.lastValidIndex() + 1 + extra) + extra)
            << g;
        // The time stamp of the fixture: 12:34 on 8 December 2026.
        EXPECT_EQ(hdrs.year(), 2026);
        EXPECT_EQ(hdrs.monthDay(), 1208);
        EXPECT_EQ(hdrs.hourMinute(), 1234);
    }
}

TEST_F(SdfWriterTest, DefaultRecordsAndTheScanVariable) {
    loadGroup(0);
    ASSERT_EQ(write(), 0);
    EXPECT_EQ(hdrs.revision(), 3);
    EXPECT_EQ(hdrs.i16(H::kFileHdr + 8), -99);
    EXPECT_EQ(hdrs.text(H::kFileHdr + 16, 8), "QRB");
    EXPECT_EQ(hdrs.dataHdrOffset(), 238);
    EXPECT_EQ(hdrs.vectorHdrOffset(), 386);
    EXPECT_EQ(hdrs.channelHdrOffset(), 404);
    EXPECT_EQ(hdrs.scanStructOffset(), 828);
    EXPECT_EQ(hdrs.xDataOffset(), -1);
    EXPECT_EQ(hdrs.channelHdrCount(), 2);
    EXPECT_EQ(hdrs.text(H::channelAt(1) + 10, 30), "Chan 2");
    EXPECT_EQ(hdrs.text(H::channelAt(0) + 40, 12), "QRB Ch 1");
    EXPECT_EQ(hdrs.unitLabel(0), "V");
    EXPECT_EQ(hdrs.engUnitCal(0), 1.0f);
    EXPECT_EQ(be32(828 + 2), 96); // the size field, though 36 bytes are written
    EXPECT_EQ(hdrs.scanVarType(), 3);
    EXPECT_EQ(bytes.substr(864, 4), std::string("\x3F\x80\x00\x00", 4));
}

TEST_F(SdfWriterTest, PowerSpectrumOf400LinesIsRealWithTheMeasurementSpan) {
    loadGroup(0);
    selectMeasurement(2); // "Pwr Spec 1"
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(hdrs.dataType(), 2);
    EXPECT_EQ(hdrs.text(H::kDataHdr + 10, 16), "Pwr Spec");
    EXPECT_EQ(hdrs.yIsComplex(), 0);
    EXPECT_EQ(data(56), 1);
    EXPECT_EQ(hdrs.pointCount(), 401);
    EXPECT_EQ(hdrs.lastValidIndex(), 400);
    EXPECT_EQ(yValues().size(), 401u);
    // Span index 19 on the 102.4 kHz base: 102400 Hz, baseband.
    EXPECT_EQ(hdrs.span(), 102400.0 * 1.28);
    EXPECT_EQ(hdrs.centerFreq(), 51200.0);
    EXPECT_EQ(hdrs.f32(H::kMeasHdr + 14), float(102400.0 * 1.28));
    EXPECT_EQ(hdrs.blockSize(), 1024);
    EXPECT_EQ(hdrs.i32(H::kMeasHdr + 144), 400);
    EXPECT_EQ(hdrs.xStart(), 0.0);
    EXPECT_EQ(hdrs.xStep(), 256.0);
    EXPECT_EQ(hdrs.text(H::kDataHdr + 68, 10), "Hz");
    // One channel, the first input, squared.
    EXPECT_EQ(hdrs.vectorChannel(0), 0);
    EXPECT_EQ(hdrs.vectorChannel(1), -1);
    EXPECT_EQ(hdrs.vectorPower(0), 96);
}

TEST_F(SdfWriterTest, WindowedTimeOfTheSecondInputIsTimeData) {
    loadGroup(0);
    selectMeasurement(7); // "WinTime 2"
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(hdrs.dataType(), 0);
    EXPECT_EQ(hdrs.text(H::kDataHdr + 10, 16), "Time");
    EXPECT_EQ(hdrs.xDomain(), 1);
    EXPECT_EQ(hdrs.yIsComplex(), 0); // baseband time data are real
    EXPECT_EQ(hdrs.vectorChannel(0), 1);
    EXPECT_EQ(hdrs.vectorPower(0), 48);
    EXPECT_EQ(hdrs.text(H::kDataHdr + 68, 10), "s");
}

TEST_F(SdfWriterTest, FftSettingsGoIntoTheHeaders) {
    loadGroup(0);
    selectMeasurement(11);                         // "Freq. Resp."
    (void)cat::window[0].setData(1, 0);            // "Flattop"
    (void)cat::measAveragingType[0].setData(2, 0); // "RMS"
    (void)cat::averaging[0].setData(0, 0);         // linear
    (void)cat::numAverages[0].setData(25);
    (void)cat::inputRange1.setData(-12);
    (void)cat::coupling2.setData(1, 0);
    (void)cat::aaFilter1.setData(0, 0);
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(hdrs.dataType(), 4);
    EXPECT_EQ(hdrs.averageType(), 1);
    EXPECT_EQ(hdrs.averageCount(), 25);
    EXPECT_EQ(hdrs.f64(H::kMeasHdr + 148), 25.0);
    EXPECT_EQ(hdrs.vectorChannel(0), 1);
    EXPECT_EQ(hdrs.vectorChannel(1), 0);
    EXPECT_EQ(hdrs.vectorPower(0), 48);
    EXPECT_EQ(hdrs.vectorPower(1), -48);
    EXPECT_EQ(hdrs.range(0), -12.0f);
    EXPECT_EQ(channel(1, 102), 1);
    EXPECT_EQ(channel(0, 148), 0);
    EXPECT_EQ(channel(1, 148), 1);
    for (int slot = 0; slot < 2; ++slot) {
        EXPECT_EQ(hdrs.windowType(slot), 2);
        EXPECT_EQ(hdrs.f32(H::channelAt(slot) + 68), 3.8193595f);
        EXPECT_EQ(hdrs.narrowBandCorr(slot), 4.6869144f);
    }
    // The frequency response is windowed on a frequency axis: the narrow-band
    // correction enters the factor, with the powers of the two channels.
    EXPECT_EQ(hdrs.windowApplied(), 1);
    const float factor = sdfCorrectionFactor(hdrs);
    EXPECT_FLOAT_EQ(factor, 1.0f);
    const std::vector<Point>& points = *vxtest::testModel().trace.vector(0);
    std::vector<float> y = yValues();
    ASSERT_EQ(y.size(), 2u * 401);
    EXPECT_EQ(y[2 * 7], points[7].re / factor);
    EXPECT_EQ(y[2 * 7 + 1], points[7].im / factor);
}

TEST_F(SdfWriterTest, YDataAreDividedByTheEngineeringUnitFactor) {
    loadGroup(0);
    selectMeasurement(2); // "Pwr Spec 1": power 96
    (void)cat::engUnits1[0].setData(1, 0);
    (void)cat::euPerVolt1[0].setData(2.0f);
    (void)cat::euLabel1[0].setData(10, 0); // "N"
    (void)cat::window[0].setData(0, 0);    // "Uniform": no window correction
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(hdrs.engUnitCal(0), 0.5f);
    EXPECT_EQ(hdrs.unitLabel(0), "N");
    EXPECT_EQ(hdrs.unitScale(0), 1.0f);
    EXPECT_EQ((std::vector<int>{hdrs.unitExponent(0, 0), hdrs.unitExponent(0, 1),
                                hdrs.unitExponent(0, 2), hdrs.unitExponent(0, 3)}),
              (std::vector<int>{2, 2, -4, 0}));
    EXPECT_EQ(hdrs.unitLabel(1), "V"); // channel 2 keeps volts
    const std::vector<Point>& points = *vxtest::testModel().trace.vector(0);
    std::vector<float> y = yValues();
    ASSERT_EQ(y.size(), 401u);
    for (size_t i : {size_t(0), size_t(100), size_t(400)})
        EXPECT_FLOAT_EQ(y[i], points[i].re / 4.0f);
}

TEST_F(SdfWriterTest, UserLabelAndTransducerConversionOfTheData) {
    loadGroup(0); // "FFT 1"
    (void)cat::engUnits1[0].setData(1, 0);
    (void)cat::euLabel1[0].setData(0, 0);       // "m/s^2"
    (void)cat::transducerOut1[0].setData(1, 0); // shown in "m/s": divided by j 2 pi f
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(hdrs.unitLabel(0), "m/s");
    EXPECT_EQ(hdrs.unitExponent(0, 2), -2);
    const std::vector<Point>& points = *vxtest::testModel().trace.vector(0);
    std::vector<float> y = yValues();
    ASSERT_EQ(y.size(), 2u * 401);
    const double w = 2 * 3.141592654 * 256.0 * 10; // point 10 at 2560 Hz
    const float factor = sdfCorrectionFactor(hdrs);
    EXPECT_NEAR(y[20], points[10].im / w / factor, 1e-9);
    EXPECT_NEAR(y[21], -points[10].re / w / factor, 1e-9);

    vxtest::resetCatalogue();
    loadGroup(0);
    (void)cat::engUnits2[0].setData(1, 0);
    (void)cat::euLabel2[0].setData(14, 0); // "USER"
    (void)cat::euUserLabel2[0].setData("psi");
    ASSERT_EQ(write(), 0) << out;
    // The reader takes only the vector's channels: the second header from the file.
    const size_t second = 2 + 80 + 156 + 148 + 18 + 212;
    EXPECT_EQ(bytes.substr(second + 116, 4), std::string("psi\0", 4));
    EXPECT_EQ(bytes.substr(second + 130, 8), std::string(8, '\0'));
    EXPECT_EQ(beFloat(second + 126), 1.0f);
}

TEST_F(SdfWriterTest, OctaveWritesOneValueMoreWithTheLastTwoEqual) {
    loadGroup(2);
    const int32_t n = vxtest::testModel().trace.extractedPoints();
    ASSERT_EQ(write(), 0) << out;
    std::vector<float> y = yValues();
    ASSERT_EQ(int32_t(y.size()), n + 1);
    EXPECT_EQ(y[size_t(n)], y[size_t(n - 1)]);
    EXPECT_EQ(y[size_t(n - 1)], (*vxtest::testModel().trace.vector(0))[size_t(n - 1)].re);
    EXPECT_EQ(hdrs.lastValidIndex(), n - 2);
    EXPECT_EQ(hdrs.yIsComplex(), 0);
    EXPECT_EQ(hdrs.xResolutionType(), 1);
    EXPECT_EQ(hdrs.vectorChannel(0), 0);
    EXPECT_EQ(hdrs.vectorChannel(1), 0);
    EXPECT_EQ(hdrs.averageCount(), 0);
    EXPECT_EQ(hdrs.overlap(), cat::octIntegrationTime[0].getData(ePaoEntry) * 2.0f);
    // Third octaves: start below the lowest centre, ratio to the top edge.
    std::unique_ptr<xAxisT> axis = vxtest::testModel().trace.makeAxis();
    const double lowest = axis->x(0), highest = axis->x(int16_t(n - 2));
    const double e = lowest * 0.793799526;
    EXPECT_DOUBLE_EQ(hdrs.xStart(), e);
    EXPECT_DOUBLE_EQ(hdrs.xStep(), std::pow(highest * 1.25992105 / e, 1.0 / (n - 2)));
}

TEST_F(SdfWriterTest, HistogramRaisesTheRangeByTheFullScaleFactor) {
    loadGroup(5);
    (void)cat::inputRange1.setData(4);
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(hdrs.range(0), 4.0f + 1.93820026f);
    EXPECT_EQ(beFloat(2 + 80 + 156 + 148 + 18 + 212 + 94), 0.0f + 1.93820026f);
    // The reader's adjustment brings the written range back to an even 4 dBV.
    const double e = hdrs.range(0) - 20 * std::log10(1.25);
    EXPECT_EQ(int(std::trunc(std::fabs(e) + 1)) & ~1, 4);
    EXPECT_EQ(hdrs.text(H::kDataHdr + 68, 10), "V");
    EXPECT_EQ(hdrs.text(H::kDataHdr + 90, 10), "count");
    EXPECT_EQ(hdrs.blockSize(), vxtest::testModel().trace.nPts);
    EXPECT_EQ(hdrs.i32(H::kMeasHdr + 144), vxtest::testModel().trace.nPts - 1);
    EXPECT_EQ(hdrs.yIsComplex(), 0);
    EXPECT_FLOAT_EQ(float(hdrs.xStart()), float(-1.25 * std::pow(10.0, 0.2)));
}

TEST_F(SdfWriterTest, SweptSineTakesItsFrequenciesFromStartAndStop) {
    loadGroup(3);
    ASSERT_EQ(write(), 0) << out;
    const double start = cat::sweptStart[0].getData(ePaoEntry);
    const double stop = cat::sweptStop[0].getData(ePaoEntry);
    const int n = cat::sweptPoints[0].getData(ePaoEntry);
    EXPECT_EQ(hdrs.span(), stop - start);
    EXPECT_EQ(hdrs.centerFreq(), start + (stop - start) / 2);
    EXPECT_EQ(hdrs.blockSize(), 401);
    EXPECT_EQ(hdrs.xStart(), start);
    EXPECT_DOUBLE_EQ(hdrs.xStep(), (stop - start) / (n - 1));
    EXPECT_EQ(hdrs.pointCount(), n);
}

TEST_F(SdfWriterTest, OrderTrackCarriesItsRpmVectorAsXData) {
    loadGroup(4);
    selectMeasurement(63); // "Track 1"
    TraceMgr& t = vxtest::testModel().trace;
    const int16_t n = 20;
    std::vector<float> y(2 * size_t(t.nPts)), rpm(2 * size_t(t.nPts));
    for (int16_t i = 0; i < n; ++i) {
        y[2 * i] = 0.5f * i;
        y[2 * i + 1] = -0.25f * i;
        rpm[2 * i] = 600.0f + 100.0f * i;
    }
    t.loadVector(y.data(), int16_t(t.nPts), 0);
    t.loadVector(rpm.data(), int16_t(t.nPts), 1);
    t.setHeaderWord(0, 0, uint32_t(n));
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(hdrs.dataType(), -99);
    EXPECT_EQ(hdrs.text(H::kDataHdr + 10, 16), "Tracked Ord");
    EXPECT_EQ(hdrs.xDataCount(), 1);
    EXPECT_EQ(hdrs.xDataOffset(), 868);
    EXPECT_EQ(hdrs.yDataOffset(), 868 + 4 * n + 6);
    EXPECT_EQ(be16(868), 16);
    EXPECT_EQ(be32(870), 4 * n + 6);
    EXPECT_EQ(beFloat(868 + 6 + 4 * 3), 900.0f);
    EXPECT_EQ(hdrs.yIsComplex(), 1);
    std::vector<float> values = yValues();
    ASSERT_EQ(values.size(), 2u * n);
    EXPECT_EQ(values[2 * 5 + 1], -1.25f / sdfCorrectionFactor(hdrs));

    // Without its RPM vector the track cannot be written.
    loadGroup(4);
    selectMeasurement(63);
    t.setHeaderWord(0, 0, uint32_t(n));
    CSdfWriter writer(vxtest::testModel());
    MemStream sink;
    testing::internal::CaptureStdout();
    Status st = writer.writeTo(sink);
    std::string text = testing::internal::GetCapturedStdout();
    EXPECT_EQ(st, 1);
    EXPECT_EQ(text, "Missing RPM data\n");
}

TEST_F(SdfWriterTest, UntranslatableTracesAreRefusedWithTheirMessages) {
    loadGroup(0);
    testing::internal::CaptureStdout();
    selectMeasurement(12); // "Capture 1": no axis, nothing written
    testing::internal::GetCapturedStdout();
    EXPECT_NE(write(), 0);
    EXPECT_FALSE(dir.exists("out.dat"));

    loadGroup(0);
    vxtest::testModel().trace.measDesc.setAxisKind(eWFTimeSliceAxis);
    EXPECT_EQ(write(), 1);
    EXPECT_EQ(out, "Measurment translation of Slice not supported\n");

    loadGroup(0);
    vxtest::testModel().trace.measGroup = 7;
    EXPECT_EQ(write(), 1);
    EXPECT_EQ(out, "Invalid measurment type\n");
    EXPECT_FALSE(dir.exists("out.dat"));
}

TEST_F(SdfWriterTest, ModalSettingsGiveDirectionCodesAndPointNumbers) {
    loadGroup(0);
    selectMeasurement(11); // "Freq. Resp.": input 1 is the reference
    (void)cat::modalData.setData(1, 0);
    (void)cat::refDirection[0].setData(0, 0); // "-Z Rot"
    (void)cat::refNumber[0].setData(7);
    (void)cat::respDirection[0].setData(9, 0); // "+Z"
    (void)cat::respNumber[0].setData(12);
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(channel(0, 98), -9);
    EXPECT_EQ(channel(0, 100), 7);
    EXPECT_EQ(channel(1, 98), 3);
    EXPECT_EQ(channel(1, 100), 12);

    selectMeasurement(1); // "FFT 2": its one channel is a response
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(channel(1, 98), 3);
    EXPECT_EQ(channel(1, 100), 12);
}

TEST_F(SdfWriterTest, UserFunctionIsWrittenWithAWarning) {
    loadGroup(0);
    testing::internal::CaptureStdout();
    selectMeasurement(14); // "FFTUsrFn1", its descriptor as a file gives it
    testing::internal::GetCapturedStdout();
    MeasDesc& d = vxtest::testModel().trace.measDesc;
    d = measDescriptor(0);
    d.setChannelMask(0);
    d.bytes[7] = 4; // channel-2 spectrum unit, squared
    d.bytes[8] = 2;
    ASSERT_EQ(write(), 0) << out;
    EXPECT_EQ(out, "Attempting to translate User Math Function: SUPPORT LIMITED\n");
    EXPECT_EQ(hdrs.dataType(), -99);
    EXPECT_EQ(hdrs.text(H::kDataHdr + 10, 16), "FFTUsrFn1");
    EXPECT_EQ(hdrs.vectorChannel(0), 1);
    EXPECT_EQ(hdrs.vectorPower(0), 96);
    EXPECT_EQ(hdrs.vectorChannel(1), -1);
}

TEST_F(SdfWriterTest, FailedWritesReportAndFail) {
    loadGroup(0);
    for (int n = 1; n <= 2; ++n) {
        CSdfWriter writer(vxtest::testModel());
        MemStream sink;
        sink.failWriteAt(n);
        testing::internal::CaptureStdout();
        Status st = writer.writeTo(sink);
        std::string text = testing::internal::GetCapturedStdout();
        EXPECT_EQ(st, kStatusBadFile) << n;
        EXPECT_EQ(text, "Error writing to file\n") << n;
    }
}

} // namespace

namespace {

TEST(SdfConversion, DisplayFileConvertsWithTheSdfFormatToItsDefaultExtension) {
    vxtest::prepareCatalogue();
    vxtest::resetCatalogue();
    vxtest::TempDir dir;
    dir.write("g1.56d", vxtest::groupDisplayFile(1));
    vxtest::resetCatalogue();
    vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, {"g1.56d", "/Osdf"}, dir.path(), "");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Processing g1.56d ==> g1.dat\n"), std::string::npos) << r.out;
    ASSERT_TRUE(dir.exists("g1.dat"));
    const std::string bytes = dir.read("g1.dat");
    EXPECT_EQ(bytes.substr(0, 4), std::string("B\0\0\x0a", 4));
}

} // namespace
