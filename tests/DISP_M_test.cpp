// Views and units: unit texts and flags, expanded columns and their units,
// column values (rms and pp, dB references, PSD, vxtest::testModel().options.transducer
// conversion), the unwrapped phase, headings, and reuse of the derived state in a pass.
#include "trace/DISP_M.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "display/DisplaySettings.h"
#include "params/Catalog.h"
#include "support/Catalogue.h"
#include "support/TestModel.h"

using namespace vx;

namespace {

constexpr double kPi = 3.141592654;

// A frequency axis of 256 Hz per point (400 lines on the 102.4 kHz base).
float x256(const void*, int32_t i) {
    return static_cast<float>(i) * 256.0f;
}
const PointX kFreqAxis{x256, nullptr};

int16_t units(int16_t db, int16_t peak, int16_t phase = ePhaseDeg) {
    return UnitsCode::pack(db, peak, phase);
}

struct DispTest : ::testing::Test {
    void SetUp() override { vxtest::resetCatalogue(); }
    void TearDown() override {
        resetMeasDescriptors();
        vxtest::resetCatalogue();
        refreshUnitTexts(0);
    }

    // Selects a measurement in a view and units on display A.
    static const UnitTexts& show(int16_t meas, int16_t view, int16_t code) {
        (void)cat::measurement[0].setData(meas, 0);
        (void)cat::view[0].setData(view, 0);
        (void)cat::units[0].setData(code, 0);
        refreshUnitTexts(0);
        return unitTexts(0);
    }
    static std::string text(int16_t meas, int16_t view, int16_t code) {
        return show(meas, view, code).display;
    }
    // Engineering units on for a channel with a label and output unit.
    static void engineering(int c, int16_t label, int16_t output = 0) {
        (void)(c == 0 ? cat::engUnits1 : cat::engUnits2)[0].setData(1, 0);
        (void)(c == 0 ? cat::euLabel1 : cat::euLabel2)[0].setData(label, 0);
        (void)(c == 0 ? cat::transducerOut1 : cat::transducerOut2)[0].setData(output, 0);
    }
    // One column of measurement meas for a point, set up as the writers do.
    static float value(int16_t meas, int32_t code, int16_t peak, int16_t db, Point p,
                       int32_t index = 1) {
        (void)cat::measurement[0].setData(meas, 0);
        const int32_t columns[] = {code, 0};
        ExpandedColumns cols = setupColumns(columns, peak, db, -1);
        return columnValue(cols.codes[0], cols.units[0], p, index, kFreqAxis);
    }
};

TEST_F(DispTest, UnitTextsWithoutEngineeringUnits) {
    EXPECT_EQ(text(0, eViewLinearMag, units(eDbOff, ePeakPk)), "Vpk");
    EXPECT_EQ(text(0, eViewLinearMag, units(eDbOn, ePeakPk)), "dBVpk");
    EXPECT_EQ(text(2, eViewLinearMag, units(eDbOff, ePeakRms)), "Vrms^2");
    EXPECT_EQ(text(2, eViewLinearMag, units(eDbOn, ePeakRms)), "dBVrms"); // one unit: ^2 dropped
    EXPECT_EQ(text(11, eViewLinearMag, units(eDbOff, ePeakPk)), "");      // V/V
    EXPECT_EQ(text(11, eViewLinearMag, units(eDbOn, ePeakPk)), "dB");
    EXPECT_EQ(text(0, eViewPhase, units(eDbOn, ePeakPk, ePhaseRad)), "rads");
    EXPECT_EQ(text(0, eViewUnwrapped, units(eDbOn, ePeakPk)), "deg");
    EXPECT_EQ(text(0, eViewLinearMag, units(eDbm, ePeakPk)), "dBm");
    EXPECT_EQ(text(0, eViewLinearMag, units(eDbSpl, ePeakRms)), "dBspl");
    EXPECT_EQ(text(74, eViewReal, units(eDbOff, ePeakPk)), "/Vpk"); // PDF 1
    EXPECT_EQ(text(72, eViewReal, units(eDbOff, ePeakPk)), "countpk");
    EXPECT_EQ(text(2, eViewMagSquared, units(eDbOff, ePeakPk)), "Vpk^4");

    // The rms text divides by the view's multiplier and always says rms.
    const UnitTexts& sq = show(0, eViewMagSquared, units(eDbOff, ePeakPk));
    EXPECT_STREQ(sq.display, "Vpk^2");
    EXPECT_STREQ(sq.rms, "Vrms");
    EXPECT_STREQ(show(0, eViewLinearMag, units(eDbOn, ePeakPk)).rms, "dBVrms");
    EXPECT_STREQ(show(0, eViewLinearMag, units(eDbm, ePeakPk)).rms, "dBm");
    // The texts reach the units parameter as its display and rms texts.
    EXPECT_STREQ(cat::units[0].text(0), "dBm");
    EXPECT_STREQ(cat::units[0].text(1), "dBm");
}

TEST_F(DispTest, FlagsAndExponentSum) {
    const UnitTexts& fft = show(0, eViewLinearMag, units(eDbOff, ePeakPk));
    EXPECT_FALSE(fft.power);
    EXPECT_FALSE(fft.squared);
    EXPECT_EQ(fft.exponentSum, 1);
    const UnitTexts& fftSq = show(0, eViewMagSquared, units(eDbOff, ePeakPk));
    EXPECT_TRUE(fftSq.power);
    EXPECT_FALSE(fftSq.squared);
    EXPECT_EQ(fftSq.exponentSum, 2);
    const UnitTexts& pwr = show(2, eViewLinearMag, units(eDbOff, ePeakPk));
    EXPECT_TRUE(pwr.power);
    EXPECT_TRUE(pwr.squared);
    const UnitTexts& coh = show(9, eViewLinearMag, units(eDbOff, ePeakOff));
    EXPECT_TRUE(coh.dimensionless);
    EXPECT_EQ(coh.exponentSum, 0);
    EXPECT_FALSE(show(9, eViewPhase, units(eDbOff, ePeakOff)).dimensionless);
    EXPECT_TRUE(show(72, eViewReal, units(eDbOff, ePeakPk)).nonChannel);
}

TEST_F(DispTest, EngineeringUnitNamesAndPsdSuffix) {
    engineering(0, 0, 1); // m/s^2 measured, shown as m/s
    EXPECT_EQ(text(4, eViewReal, units(eDbOff, ePeakPk)), "m/s^2pk");    // time unit
    EXPECT_EQ(text(0, eViewLinearMag, units(eDbOff, ePeakPk)), "m/spk"); // spectrum unit
    engineering(
        0, 10); // "N": no vxtest::testModel().options.transducer, spectrum unit as the time unit
    engineering(1, 14); // "USER": the user label
    (void)cat::euUserLabel2[0].setData("Pa");
    EXPECT_EQ(text(11, eViewLinearMag, units(eDbOff, ePeakPk)), "Pa/Npk");
    EXPECT_STREQ(unitName(eUnitCh2Time), "Pa");
    EXPECT_STREQ(unitName(99), "");

    (void)cat::psdUnits[0].setData(1, 0);
    EXPECT_EQ(text(0, eViewLinearMag, units(eDbOff, ePeakPk)), "Npk/Hz^(1/2)");
    EXPECT_EQ(text(2, eViewLinearMag, units(eDbOff, ePeakRms)), "Nrms^2/Hz");
}

TEST_F(DispTest, SavedViewExpandsToItsColumns) {
    const int32_t v[] = {eColX, eColView, 0};
    (void)cat::view[0].setData(eViewNyquist, 0);
    ExpandedColumns nyquist = setupColumns(v, -1, -1, -1);
    ASSERT_EQ(nyquist.count, 3);
    EXPECT_EQ(nyquist.codes[1], eColReal);
    EXPECT_EQ(nyquist.codes[2], eColImag);
    EXPECT_EQ(nyquist.codes[3], eColEnd);
    (void)cat::view[0].setData(eViewNichols, 0);
    ExpandedColumns nichols = setupColumns(v, -1, -1, -1);
    ASSERT_EQ(nichols.count, 3);
    EXPECT_EQ(nichols.codes[1], eColMag);
    EXPECT_EQ(nichols.codes[2], eColPhase);
    for (int16_t view : {int16_t{eViewLogMag}, int16_t{40}}) { // 40: damaged
        (void)cat::view[0].setData(view, 0);
        EXPECT_EQ(setupColumns(v, -1, -1, -1).codes[1], eColMag);
    }
    // At most the /C capacity is read from an unterminated list.
    int32_t full[kMaxColumns + 5];
    for (auto& c : full)
        c = eColMag;
    EXPECT_EQ(setupColumns(full, -1, -1, -1).count, kMaxColumns);
}

TEST_F(DispTest, PeakUnitsPerColumn) {
    (void)cat::measurement[0].setData(2, 0); // Pwr Spec 1, exponent 2
    const int32_t cols[] = {eColMag, eColMagSq, eColReal, 0};
    for (int16_t peak : {ePeakPk, ePeakRms, ePeakPp}) {
        ExpandedColumns c = setupColumns(cols, peak, -1, -1);
        EXPECT_EQ(UnitsCode::peakUnits(c.units[0]), peak);
        EXPECT_EQ(UnitsCode::peakUnits(c.units[1]), ePeakOff); // exponent 4
        EXPECT_EQ(UnitsCode::dbMode(c.units[2]), eDbOff);
    }
    for (int16_t meas : {9, 11}) { // coherence, frequency response: exponent sum 0
        (void)cat::measurement[0].setData(meas, 0);
        EXPECT_EQ(UnitsCode::peakUnits(setupColumns(cols, ePeakRms, -1, -1).units[0]), ePeakOff);
    }
    // Not given: the saved peak units, "off" becoming "pk".
    (void)cat::measurement[0].setData(0, 0);
    (void)cat::units[0].setData(units(eDbOn, ePeakOff, ePhaseRad), 0);
    ExpandedColumns c = setupColumns(cols, -1, -1, -1);
    EXPECT_EQ(c.units[0], units(eDbOn, ePeakPk, ePhaseRad));
    EXPECT_EQ(c.units[1], units(eDbOn, ePeakPk, ePhaseRad));
    // The display keeps its view and units.
    EXPECT_EQ(cat::units[0].getData(1), units(eDbOn, ePeakOff, ePhaseRad));
    EXPECT_EQ(cat::dbMode[0].getData(1), eDbOn);
    EXPECT_EQ(cat::peakUnits[0].getData(1), ePeakOff);
    EXPECT_EQ(cat::phaseUnits[0].getData(1), ePhaseRad);
    EXPECT_EQ(UnitsCode::phaseUnits(setupColumns(cols, -1, -1, ePhaseDeg).units[2]), ePhaseDeg);
}

TEST_F(DispTest, DbModeOptionFallsBackWithoutMatchingUnits) {
    (void)cat::measurement[0].setData(0, 0);
    const int32_t cols[] = {eColMag, 0};
    EXPECT_EQ(setupColumns(cols, -1, eDbSpl, -1).units[0], units(eDbOn, ePeakPk));
    engineering(0, 12); // "Pas"
    EXPECT_EQ(setupColumns(cols, ePeakPk, eDbSpl, -1).units[0], units(eDbSpl, ePeakRms));
    EXPECT_EQ(setupColumns(cols, -1, eDbm, -1).units[0], units(eDbOn, ePeakPk));
    engineering(0, 1);
    EXPECT_EQ(setupColumns(cols, -1, eDbSpl, -1).units[0], units(eDbOn, ePeakPk));
    EXPECT_EQ(setupColumns(cols, -1, eDbOff, -1).units[0], units(eDbOff, ePeakPk));
}

TEST_F(DispTest, RmsAndPeakToPeakScaling) {
    const Point p{3, 4}; // magnitude 5
    EXPECT_FLOAT_EQ(value(0, eColMag, ePeakPk, eDbOff, p), 5.0f);
    EXPECT_FLOAT_EQ(value(0, eColMag, ePeakRms, eDbOff, p), 5 * 0.707106781f);
    EXPECT_FLOAT_EQ(value(0, eColMag, ePeakPp, eDbOff, p), 10.0f);
    EXPECT_FLOAT_EQ(value(2, eColMag, ePeakRms, eDbOff, p), 2.5f);
    EXPECT_FLOAT_EQ(value(2, eColMag, ePeakPp, eDbOff, p), 10.0f);
    EXPECT_FLOAT_EQ(value(2, eColReal, ePeakRms, eDbOff, p), 1.5f);
    // A squared amplitude in rms is half the squared peak.
    EXPECT_NEAR(value(0, eColMagSq, ePeakRms, eDbOff, p), 12.5f, 1e-5);
}

TEST_F(DispTest, DecibelsWithTheirReferences) {
    const Point p{3, 4};
    EXPECT_FLOAT_EQ(value(0, eColMag, ePeakPk, eDbOn, p), 20 * std::log10(5.0f));
    EXPECT_FLOAT_EQ(value(0, eColMagSq, ePeakPk, eDbOn, p), 10 * std::log10(25.0f));
    EXPECT_FLOAT_EQ(value(2, eColMag, ePeakPk, eDbOn, p), 10 * std::log10(5.0f));
    (void)cat::refImpedance.setData(600);
    (void)cat::refImpedance.setParam(0);
    EXPECT_NEAR(value(0, eColMag, ePeakPk, eDbm, p),
                20 * std::log10(5.0) + 30 - 10 * std::log10(600.0), 1e-4);
    engineering(0, 12);
    EXPECT_NEAR(value(0, eColMag, -1, eDbSpl, p), 20 * std::log10(5 * 0.707106781) + 93.9794, 1e-4);
    EXPECT_EQ(value(0, eColMag, ePeakPk, eDbOn, Point{0, 0}), -FLT_MAX);
}

TEST_F(DispTest, PsdDividesByLineSpacingAndNoiseBandwidth) {
    (void)cat::psdUnits[0].setData(1, 0);
    const double spacing = std::ldexp(1.0, -12) * std::ldexp(1.0, 19 - 2 + 3); // 256 Hz
    ASSERT_EQ(cat::fftLines[0].getData(1), 2);
    const Point p{3, 4};
    (void)cat::window[0].setData(2, 0); // Hanning
    EXPECT_FLOAT_EQ(value(0, eColMag, ePeakPk, eDbOff, p), 5 / std::sqrt(spacing * 1.5));
    EXPECT_FLOAT_EQ(value(2, eColMag, ePeakPk, eDbOff, p), 5 / (spacing * 1.5));
    (void)cat::window[0].setData(1, 0); // Flattop
    EXPECT_FLOAT_EQ(value(2, eColMag, ePeakPk, eDbOff, p), 5 / (spacing * 3.770164));
    (void)cat::window[0].setData(5, 0); // Force/Exp, force of 1024 samples
    (void)cat::forceLength[0].setSamples(1024);
    EXPECT_FLOAT_EQ(value(2, eColMag, ePeakPk, eDbOff, p), 5 / (spacing * 0.5));
    (void)cat::forceExp1.setData(1, 0); // exponential, 50 %
    const double tau = 0.5;
    const double expo = (1 - std::exp(-2 / tau)) / (1 - std::exp(-2 / (2048 * tau)));
    EXPECT_FLOAT_EQ(value(2, eColMag, ePeakPk, eDbOff, p), 5 / (spacing * expo));
    // Channel 2 in independent channels takes channel 2's selector (force).
    (void)cat::channelMode.setData(0, 0);
    (void)cat::forceExp2.setData(0, 0);
    EXPECT_FLOAT_EQ(value(3, eColMag, ePeakPk, eDbOff, p), 5 / (spacing * 0.5));
    // Octave measurements take no window factor.
    EXPECT_FLOAT_EQ(value(33, eColMag, ePeakPk, eDbOff, p), 5 / spacing);
}

TEST_F(DispTest, TransducerConversionDividesByJOmega) {
    engineering(0, 0, 1); // m/s^2 to m/s
    (void)cat::measurement[0].setData(0, 0);
    EXPECT_EQ(transducerExponent(), -1);
    EXPECT_FLOAT_EQ(transducerScale(), 1.0f);
    const double w1 = 2 * kPi * 256;
    EXPECT_NEAR(value(0, eColReal, ePeakPk, eDbOff, Point{1, 0}, 1), 0.0, 1e-9);
    EXPECT_FLOAT_EQ(value(0, eColImag, ePeakPk, eDbOff, Point{1, 0}, 1), -1 / w1);
    EXPECT_FLOAT_EQ(value(0, eColReal, ePeakPk, eDbOff, Point{0, 1}, 1), 1 / w1);
    // At 0 Hz a tenth of the next point's frequency stands in.
    EXPECT_FLOAT_EQ(value(0, eColMag, ePeakPk, eDbOff, Point{1, 0}, 0), 1 / (w1 * 0.1));
    // Without a point position the exponent is not applied.
    EXPECT_FLOAT_EQ(value(0, eColMag, ePeakPk, eDbOff, Point{1, 0}, -1), 1.0f);

    // Displacement to acceleration: (j w)^2 = -w^2.
    engineering(0, 2, 0);
    EXPECT_EQ(transducerExponent(), 2);
    EXPECT_FLOAT_EQ(value(0, eColReal, ePeakPk, eDbOff, Point{1, 0}, 1), -w1 * w1);
    // Across unit systems the scale changes: m/s^2 shown as in/s^2.
    engineering(0, 0, 3);
    EXPECT_FLOAT_EQ(transducerScale(), 39.370079f);
    EXPECT_EQ(transducerExponent(), 0);
    EXPECT_FLOAT_EQ(value(2, eColMag, ePeakPk, eDbOff, Point{1, 0}), 39.370079f * 39.370079f);
    // A damaged output unit has scale 1 and derivative order 0.
    engineering(0, 0, 30);
    EXPECT_FLOAT_EQ(transducerScale(), 1.0f);
    EXPECT_EQ(transducerExponent(), -4); // Pwr Spec 1: (2,2)
}

TEST_F(DispTest, UnwrappedPhaseContinuesAcrossPi) {
    (void)cat::measurement[0].setData(0, 0);
    const int32_t cols[] = {eColUnwrapped, eColPhase, 0};
    ExpandedColumns c = setupColumns(cols, -1, -1, ePhaseRad);
    const float phases[] = {2.9f, 3.0f, -3.0f, -2.9f, 3.0f};
    const float expect[] = {2.9f, 3.0f, -3.0f + 6.2831855f, -2.9f + 6.2831855f, 3.0f};
    testing::internal::CaptureStdout();
    for (int i = 0; i < 5; ++i) {
        const Point p{std::cos(phases[i]), std::sin(phases[i])};
        EXPECT_NEAR(columnValue(c.codes[0], c.units[0], p, i), expect[i], 1e-5) << i;
        EXPECT_NEAR(columnValue(c.codes[1], c.units[1], p, i), phases[i], 1e-5) << i;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // A new pass starts afresh; degrees scale the unwrapped value.
    c = setupColumns(cols, -1, -1, ePhaseDeg);
    const Point p{std::cos(-3.0f), std::sin(-3.0f)};
    EXPECT_NEAR(columnValue(c.codes[0], c.units[0], p, 0), -3.0f * 57.2957763671875f, 1e-3);
    EXPECT_EQ(columnValue(eColX, c.units[0], p, 0), 0.0f);
}

TEST_F(DispTest, ReusedStateMatchesRefreshingBeforeEveryValue) {
    engineering(0, 0, 1);
    (void)cat::psdUnits[0].setData(1, 0);
    (void)cat::measurement[0].setData(0, 0);
    const int32_t cols[] = {eColMag, eColPhase, eColMagSq, eColReal, 0};
    ExpandedColumns c = setupColumns(cols, ePeakRms, eDbOn, -1);
    float fast[4][3], fresh[4][3];
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < c.count; ++k)
            fast[k][i] = columnValue(c.codes[k], c.units[k], Point{1.0f + i, -2.0f}, i, kFreqAxis);
    const std::string lastText = unitTexts(0).display;
    EXPECT_EQ(cat::view[0].getData(1), eViewReal); // the last column's view stays set
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < c.count; ++k) {
            (void)cat::view[0].setData(static_cast<int16_t>(c.codes[k]), 0);
            (void)cat::units[0].setData(c.units[k], 0);
            refreshUnitTexts(0);
            fresh[k][i] = columnValue(c.codes[k], c.units[k], Point{1.0f + i, -2.0f}, i, kFreqAxis);
            EXPECT_EQ(fast[k][i], fresh[k][i]) << k << " " << i;
        }
    EXPECT_EQ(lastText, unitTexts(0).display);
    // Settings changed between passes are taken at the next setup.
    engineering(0, 0, 0);
    c = setupColumns(cols, ePeakPk, eDbOff, -1);
    EXPECT_FLOAT_EQ(columnValue(c.codes[3], c.units[3], Point{1, 0}, 1, kFreqAxis),
                    static_cast<float>(1 / std::sqrt(256 * 2.00435613)));
}

TEST_F(DispTest, ColumnHeadingUnits) {
    (void)cat::measurement[0].setData(0, 0);
    EXPECT_STREQ(columnTitleUnit(eColX, 0, "Hz"), "Hz");
    EXPECT_STREQ(columnTitleUnit(eColMag, units(eDbOn, ePeakRms), "Hz"), "dBVrms");
    EXPECT_STREQ(columnTitleUnit(eColPhase, units(eDbOff, ePeakPk, ePhaseRad), "Hz"), "rads");
    engineering(0, 1);
    (void)cat::measurement[0].setData(8, 0); // Orbit: the channel-1 time unit
    EXPECT_STREQ(columnTitleUnit(eColReal, units(eDbOff, ePeakPk), "s"), "m/spk");
    EXPECT_STREQ(columnTitleUnit(eColImag, units(eDbOff, ePeakOff), "s"), "V");
}

TEST_F(DispTest, DamagedDescriptorsAndMeasurementsGiveDefinedTexts) {
    MeasDesc& user = measDescriptor(14); // FFTUsrFn1
    const uint8_t pairs[] = {9, 1, static_cast<uint8_t>(-3), 3, 1, static_cast<uint8_t>(-4)};
    for (int i = 0; i < 6; ++i)
        user.bytes[7 + i] = pairs[i];
    const UnitTexts& t = show(14, eViewLinearMag, units(eDbOff, ePeakPk));
    EXPECT_STREQ(t.display, "^4/Vpk^4"); // unknown codes have empty names and combine
    EXPECT_TRUE(t.nonChannel);
    for (int i = 0; i < MeasDesc::kPairCount; ++i) {
        user.bytes[7 + 2 * i] = eUnitCh1Time;
        user.bytes[8 + 2 * i] = 120;
    }
    EXPECT_EQ(text(14, eViewMagSquared, units(eDbOff, ePeakPk)), "Vpk^4800");
    EXPECT_EQ(text(300, eViewLinearMag, units(eDbOff, ePeakPk)), "Vpk"); // as FFT 1
    EXPECT_EQ(text(0, eViewLinearMag, 0x7FFF), "dBspl"); // fields of a code beyond the table
}

TEST_F(DispTest, ApplyingSettingsRefreshesTheUnitTexts) {
    engineering(0, 10); // "N"
    (void)cat::measurement[0].setData(2, 0);
    rebuildFromSettings(vxtest::testModel(), TimeStamp{});
    // Pwr Spec 1 shows its remembered view and units: Log Mag in dB of peaks.
    EXPECT_STREQ(unitTexts(0).display, "dBNpk");
}

} // namespace
