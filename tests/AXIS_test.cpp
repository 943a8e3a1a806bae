// The x-axis of each axis kind, with values computed from first principles.
#include "trace/AXIS.h"

#include <gtest/gtest.h>

#include <cmath>

#include "params/Catalog.h"
#include "support/Catalogue.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "support/TestModel.h"
#include "trace/TRACE.h"

using namespace vx;

namespace {

struct AxisTest : ::testing::Test {
    void SetUp() override {
        vxtest::prepareCatalogue();
        vxtest::resetCatalogue();
    }
    void TearDown() override { vxtest::resetCatalogue(); }

    // Sets the display-A start frequency count as a settings block would.
    static void setStartCount(int32_t count) {
        vxtest::LeBuilder b;
        for (int k = 0; k < 3; ++k) b.le32(uint32_t(count)).le32(0).le32(0);
        vxtest::MemStream in(b.str());
        ASSERT_EQ(cat::startFreq[0].Serialize(&in, 0, ePaoEntry), 0);
        cat::startFreq[0].setParam(0);
    }
    static void setMeasurement(int16_t group, int16_t meas) {
        (void)cat::measureGroup[0].setData(group, 0);
        (void)cat::measurement[0].setRange(group);
        (void)cat::measurement[0].setData(meas, 0);
    }
};

TEST_F(AxisTest, FrequencyAxisOnBothBasesAndZoomed) {
    (void)cat::span[0].setData(19, 0);
    (void)cat::baseFreq[0].setData(1, 0);
    setStartCount(0);
    auto axis = createAxis(vxtest::testModel().trace, eFreqAxis, 400);
    for (int16_t i : {0, 1, 7, 399, 400}) EXPECT_FLOAT_EQ(axis->x(i), i * 256.0f) << i;
    EXPECT_EQ(axis->unitText(), std::string("Hz"));
    EXPECT_EQ(axis->indexOf(axis->exactFrequency(123)), 123);
    EXPECT_EQ(axis->indexOf(FreqValue{-4096 * 256, 0}), -1);
    EXPECT_EQ(axis->indexOf(FreqValue{401 * 256 * 4096, 0}), -1);

    (void)cat::baseFreq[0].setData(0, 0);
    EXPECT_FLOAT_EQ(axis->x(400), 100000.0f);

    (void)cat::baseFreq[0].setData(1, 0);
    setStartCount(1000 * 4096);
    EXPECT_FLOAT_EQ(axis->x(0), 1000.0f);
    (void)cat::span[0].setData(18, 0); // half the span: 128 Hz per line
    EXPECT_FLOAT_EQ(axis->x(10), 1000.0f + 1280.0f);
}

TEST_F(AxisTest, FrequencyAxisWithoutLengthStaysAtItsStart) {
    setStartCount(500 * 4096);
    auto axis = createAxis(vxtest::testModel().trace, eFreqAxis, 0);
    testing::internal::CaptureStdout();
    EXPECT_FLOAT_EQ(axis->x(5), 500.0f);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("xDispLen FAILED: "), std::string::npos);
}

TEST_F(AxisTest, TimeAndCorrelationAxes) {
    (void)cat::span[0].setData(19, 0);
    (void)cat::baseFreq[0].setData(1, 0);
    setStartCount(0);
    auto time = createAxis(vxtest::testModel().trace, eTimeAxis, 1023);
    EXPECT_DOUBLE_EQ(time->x(3), float(3.0 / 262144.0));
    EXPECT_EQ(time->unitText(), std::string("s"));
    setStartCount(4096); // zoomed: the sampling interval doubles
    EXPECT_DOUBLE_EQ(time->x(3), float(6.0 / 262144.0));
    setStartCount(0);

    setMeasurement(1, 19);
    (void)cat::window[0].setData(7, 0); // -T/2..T/2
    auto lag = createAxis(vxtest::testModel().trace, eCorrAxis, 2046);
    EXPECT_FLOAT_EQ(lag->x(0), -lag->x(2046));
    EXPECT_FLOAT_EQ(lag->x(1023), 0.0f);
    (void)cat::window[0].setData(8, 0); // 0..T/2
    EXPECT_FLOAT_EQ(lag->x(0), 0.0f);
    EXPECT_GT(lag->x(1), 0.0f);
}

TEST_F(AxisTest, SweepsRiseFromTheLowerFrequency) {
    (void)cat::sweptStart[0].setData(10000.0f);
    (void)cat::sweptStop[0].setData(1000.0f);
    (void)cat::sweptPoints[0].setData(5);
    (void)cat::sweptType[0].setData(0, 0);
    auto sweep = createAxis(vxtest::testModel().trace, eSweepAxis, 5);
    const float linear[] = {1000, 3250, 5500, 7750, 10000};
    for (int16_t i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(sweep->x(i), linear[i]);
    (void)cat::sweptType[0].setData(1, 0);
    for (int16_t i = 0; i < 5; ++i)
        EXPECT_NEAR(sweep->x(i), 1000.0 * std::pow(10.0, i / 4.0), 1e-2) << i;
}

TEST_F(AxisTest, FullOctaveBandsAndTheirEdges) {
    (void)cat::octaveResolution[0].setData(0, 0);
    (void)cat::octaveSpan[0].setData(1, 0);
    (void)cat::octaveSpan[0].setLowestBand(5);
    auto oct = createAxis(vxtest::testModel().trace, eOctAxis, 5);
    const float centres[] = {1000, 2000, 4000, 8000, 16000};
    for (int16_t i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(oct->x(i), centres[i]);
    EXPECT_FLOAT_EQ(oct->x(5), 0.0f);
    for (int16_t i = 0; i < 5; ++i) EXPECT_NEAR(oct->bandX(i), centres[i] / std::sqrt(2.0), 0.05);
    EXPECT_NEAR(oct->bandX(5), 16000 * std::sqrt(2.0), 0.05);
    EXPECT_NEAR(oct->bandX(0), 707.1, 0.05);
    EXPECT_NEAR(oct->bandX(5), 22627.4, 0.05);
}

TEST_F(AxisTest, OrderAxes) {
    (void)cat::deltaOrder[0].setData(0.25f);
    auto spec = createAxis(vxtest::testModel().trace, eOrdTrkFreqAxis, 100);
    EXPECT_FLOAT_EQ(spec->x(8), 2.0f);
    EXPECT_EQ(spec->unitText(), std::string("Order"));
    auto revs = createAxis(vxtest::testModel().trace, eOrderTimeAxis, 255);
    EXPECT_FLOAT_EQ(revs->x(64), 64.0f / (256 * 0.25f));
    EXPECT_EQ(revs->unitText(), std::string("Rev"));
}

TEST_F(AxisTest, HistogramSpansTheChannelsFullScale) {
    setMeasurement(5, 72);
    vxtest::testModel().trace.measDesc = measDescriptor(72);
    (void)cat::inputRange1.setData(0);
    auto hist = createAxis(vxtest::testModel().trace, eHistAxis, 100);
    EXPECT_FLOAT_EQ(hist->x(0), -1.25f);
    EXPECT_FLOAT_EQ(hist->x(100), 1.25f);
    (void)cat::inputRange1.setData(20); // the range changes: start and step follow
    EXPECT_NEAR(hist->x(0), -12.5f, 1e-4);
    EXPECT_EQ(hist->unitText(), std::string("V"));
}

TEST_F(AxisTest, RpmAxisReadsVectorTwoAndSliceAxisCounts) {
    TraceMgr& t = vxtest::testModel().trace;
    t.nPts = 3;
    t.setHeaderWord(0, 0, 3);
    t.measDesc = measDescriptor(61);
    const float rpm[] = {600, 0, 1200, 0, 1800, 0};
    t.loadVector(rpm, 3, 1);
    auto axis = createAxis(vxtest::testModel().trace, eRpmAxis, 2);
    EXPECT_FLOAT_EQ(axis->x(1), 1200.0f);
    EXPECT_FLOAT_EQ(axis->x(9), 1800.0f); // limited to the last point
    EXPECT_EQ(axis->unitText(), std::string("Rpm"));
    auto slice = createAxis(vxtest::testModel().trace, eWFTimeSliceAxis, 10);
    EXPECT_FLOAT_EQ(slice->x(7), 7.0f);
    EXPECT_EQ(slice->unitText(), std::string("Index"));
}

TEST_F(AxisTest, KindsWithoutAnAxisAreReported) {
    vxtest::testModel().trace.measDesc = measDescriptor(12); // Capture 1
    testing::internal::CaptureStdout();
    EXPECT_EQ(vxtest::testModel().trace.makeAxis(), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("\"Bad X axis\" == 0 FAILED: "),
              std::string::npos);
    vxtest::testModel().trace.measDesc = measDescriptor(0);
    EXPECT_NE(vxtest::testModel().trace.makeAxis(), nullptr);
}

} // namespace
