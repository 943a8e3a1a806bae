// Derived parameter classes: span texts and bytes, time conversions, unit
// texts, the serialized form and slot copies of every class, damaged values.
#include "params/DerivedParams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "params/Catalog.h"
#include "base/LeBytes.h"
#include "support/Catalogue.h"
#include "support/MemStream.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

namespace {
// The settings of the shared test model.
vx::Catalogue& cat = vxtest::testModel().cat;
} // namespace

namespace {

using namespace vx;
using vxtest::MemStream;

constexpr uint32_t kNoList = 15u << 16;

struct DerivedTest : ::testing::Test {
    vxtest::TempDir dir;
    // Objects built in a test consult the settings of the shared test model.
    RegistryScope linked{MainPAOlist(), cat.links};
    void SetUp() override { vxtest::resetCatalogue(); }
    void TearDown() override { vxtest::resetCatalogue(); }
};

TEST_F(DerivedTest, SpanTextsForEveryInterface) {
    spanActType span(19, kNoList, 0, 0);
    (void)cat.fftLines[0].setData(0, 0);
    const char* expected[] = {"102.4 kHz", "1.024 kHz", "977 micro s", "3.81 micro s"};
    for (int16_t iface = 0; iface < 4; ++iface) {
        span.setInterface(iface);
        EXPECT_STREQ(span.getStr(1), expected[iface]) << iface;
    }
    (void)cat.baseFreq[0].setData(0, 0);
    span.setInterface(0);
    EXPECT_STREQ(span.getStr(1), "100 kHz");
    sampleActType rate(19, kNoList, 0, 0);
    EXPECT_STREQ(rate.getStr(1), "256 kHz");
}

TEST_F(DerivedTest, SpanOfADamagedIndexStaysWithinTheTable) {
    spanActType span(19, kNoList, 0, 0);
    MemStream in(std::string("\x63\x00", 2) + std::string(16, '\xFF'));
    ASSERT_EQ(span.Serialize(&in, 0, 1), 0);
    EXPECT_EQ(span.getData(1), 99);
    EXPECT_STREQ(span.getStr(1), "102.4 kHz");
    (void)span.setData(-5, 0);
    EXPECT_STREQ(span.getStr(1), "195.3 mHz");
}

TEST_F(DerivedTest, SpanBytesCarryBandwidthAndLineSpacing) {
    spanActType span(17, kNoList, 0, 1); // display B: 400 lines at 102.4 kHz
    MemStream out;
    ASSERT_EQ(span.Serialize(&out, 1, 1), 0);
    ASSERT_EQ(out.bytes().size(), 18u);
    const auto* p = reinterpret_cast<const uint8_t*>(out.bytes().data());
    EXPECT_EQ(getLe16(p), 17);
    const double spacing = std::ldexp(1.0 / 4096, 17 - 2 + 3); // 64 Hz
    EXPECT_DOUBLE_EQ(bitsDouble(getLe64(p + 10)), spacing);
    EXPECT_DOUBLE_EQ(bitsDouble(getLe64(p + 2)), 512 * spacing);
}

TEST_F(DerivedTest, DelaysAreWholeSamplesOfTheDisplaysTimeRecord) {
    binDelayAct delay(0.001f, -8000, 100000, 0, kNoList, 0, 0);
    // 1/262144 s per sample at full span: 262.144 samples round to 262.
    EXPECT_EQ(delay.samples(1), 262);
    EXPECT_FLOAT_EQ(delay.seconds(1), 262 / 262144.0f);
    (void)cat.span[0].setData(18, 0); // half the span: twice the period
    EXPECT_STREQ(delay.getStr(1), "999.451 micro s");
    EXPECT_EQ(delay.samples(1), 131);
    (void)delay.setSamples(-9000); // beyond the lower limit
    EXPECT_EQ(delay.samples(1), -8000);
    EXPECT_FLOAT_EQ(*delay.realVal(), static_cast<float>(-8000 / 131072.0));

    (void)cat.span[0].setData(19, 0);
    binDelayAct force(0.003f, 1, 2048, 1, kNoList, 0, 0);
    EXPECT_EQ(force.samples(1), 1573); // 0.003 s x 256 Hz x 2048
    (void)force.setSeconds(1.0f);
    EXPECT_EQ(force.samples(1), 2048);
}

TEST_F(DerivedTest, AmplitudeTextsInEveryUnit) {
    srcSineAmp sine(5000, 0, kNoList, 0, 0);
    const char* expected[] = {"500.0 mVpk",  "1000.0 mVpp", "353.6 mVrms",
                              "0.5000 Vpk",  "1.0000 Vpp",  "0.3536 Vrms",
                              "-6.02 dBVpk", "-0.02 dBVpp", "-9.02 dBVrms"};
    for (int16_t u = 0; u < 9; ++u) {
        sine.setUnit(u);
        EXPECT_STREQ(sine.getStr(1), expected[u]) << u;
    }
    sine.setUnit(40); // unknown: the first unit
    EXPECT_STREQ(sine.getStr(1), "500.0 mVpk");
    (void)sine.setData(0);
    sine.setUnit(6);
    EXPECT_STREQ(sine.getStr(1), "-inf dBVpk");

    srcSineAmp offset(-25000, 2, kNoList, 0, 0);
    offset.setUnit(1);
    EXPECT_STREQ(offset.getStr(1), "-2.5000 V");

    srcAmpAct chirp(10000, kNoList, 0, 0);
    const char* plain[] = {"1000.0 mV", "1.0000 V", " 0.00 dBV"};
    for (int16_t u = 0; u < 3; ++u) {
        chirp.setUnit(u);
        EXPECT_STREQ(chirp.getStr(1), plain[u]);
    }
    (void)chirp.setData(-1);
    EXPECT_STREQ(chirp.getStr(1), "-inf dBV");
    arbAmpAct arb(2500, kNoList, 0, 0);
    EXPECT_STREQ(arb.getStr(1), "25.00 %");
}

TEST_F(DerivedTest, ReadingAnAmplitudeRecomputesItsLevel) {
    srcAmpAct amp(10000, kNoList, 0, 0);
    uint8_t bytes[4];
    putLe32(bytes, 100000); // 10 V
    MemStream in(std::string(reinterpret_cast<char*>(bytes), 4));
    ASSERT_EQ(amp.Serialize(&in, 0, 2), 0);
    EXPECT_EQ(amp.level(2), 2000);
    EXPECT_EQ(amp.level(1), 0);
}

TEST_F(DerivedTest, InputRangeInEveryUnit) {
    inpRngAct range(-10, 0, kNoList, 0, 0);
    (void)cat.euPerVolt1[0].setData(100);
    const char* expected[] = {"-10 dBVpk", "-4 dBVpp",  "-13 dBVrms", "316 mVpk",
                              "632 mVpp",  "224 mVrms", "30dBEUpk",   "36dBEUpp",
                              "27dBEUrms", "31.6EUpk",  "63.2EUpp",   "22.4EUrms"};
    for (int16_t u = 0; u < 12; ++u) {
        range.setUnit(u);
        EXPECT_STREQ(range.getStr(1), expected[u]) << u;
    }
    trigLevAct level(0, kNoList, 0, 0);
    MemStream in(std::string("\x00\x00", 2) + std::string("\x00\x00\x20\x41", 4)); // 10.0
    ASSERT_EQ(level.Serialize(&in, 0, 1), 0);
    level.setUnit(2);
    EXPECT_STREQ(level.getStr(1), "10 mV");
    level.setUnit(9);
    EXPECT_STREQ(level.getStr(1), "10 %");
}

TEST_F(DerivedTest, SensitivityInEveryDisplayMode) {
    euSensAct sens(4, kNoList, 0, 0);
    EXPECT_STREQ(sens.getStr(1), " 4 EU/V");
    sens.setDisplayMode(euSensAct::eVoltPerEu);
    EXPECT_STREQ(sens.getStr(1), " 0.25 V/EU");
    EXPECT_STREQ(sens.getStr(0), " 0.25 V/EU");
    sens.setDisplayMode(euSensAct::eDecibel);
    EXPECT_STREQ(sens.getStr(1), " 12.04 dB(EU/V)");
    (void)sens.setData(0); // not positive: the derived forms stay
    EXPECT_FLOAT_EQ(sens.realReciprocal(), 0.25f);
    sens.setDisplayMode(euSensAct::eVoltPerEu);
    EXPECT_STREQ(sens.getStr(1), " 0.25 V/EU");
    sens.slotToSlot(ePaoEntry, ePaoFile);
    EXPECT_STREQ(sens.getStr(2), " 1e+30 V/EU");
}

TEST_F(DerivedTest, TextRulesOfTheSmallerClasses) {
    blockParAction block(512, kNoList, 0, 0);
    EXPECT_STREQ(block.getStr(1), "2 s");
    rdOutParAction readout(0, "#%d", kNoList, 0, 0);
    EXPECT_STREQ(readout.getStr(1), "Fundamental");
    (void)readout.setData(3);
    EXPECT_STREQ(readout.getStr(1), "#3");
    wfAngParAction angle(-30, kNoList, 0, 0);
    EXPECT_STREQ(angle.getStr(1), "-30 (deg)");
    impedParAction imped(100, "%g", kNoList, 0, 0);
    EXPECT_FLOAT_EQ(imped.decibel(), 20);
    freqAct freq(41943040, kNoList, 0, -1);
    EXPECT_STREQ(freq.getStr(1), "10.24 kHz");
    (void)freq.setHz(1000);
    EXPECT_EQ(freq.getData(1).count, 4096000);
    startFreqAction start(0, 209715200, 419430400, kNoList, 0, 0);
    start.select(startFreqAction::eEnd);
    EXPECT_STREQ(start.getStr(1), "102.4 kHz");
    octActType octave(1, 18, 11, kNoList, 0, 0);
    EXPECT_STREQ(octave.getStr(1), "20 kHz"); // highest third of the 16 kHz octave
    octave.setInterface(1);
    EXPECT_STREQ(octave.getStr(1), "12.5 Hz"); // lowest third of the 16 Hz octave
    (void)cat.octaveResolution[0].setData(0, 0);
    EXPECT_STREQ(octave.getStr(1), "16 Hz");
    (void)octave.setLowestBand(500); // damaged: the table's last centre
    EXPECT_STREQ(octave.getStr(1), "6.3 mHz");
}

TEST_F(DerivedTest, SettingOneFrequencyPlacesTheOtherTwoBySpan) {
    startFreqAction start(0, 209715200, 419430400, kNoList, 0, 0);
    (void)cat.span[0].setData(17, 0); // 25.6 kHz: 104857600 counts
    (void)start.setHz(startFreqAction::eEnd, 25600);
    EXPECT_EQ(start.selected(), startFreqAction::eEnd);
    EXPECT_EQ(start.value(startFreqAction::eStart, 1).count, 0);
    EXPECT_EQ(start.value(startFreqAction::eCenter, 1).count, 52428800);
    EXPECT_EQ(start.value(startFreqAction::eEnd, 1).count, 104857600);
    (void)start.setHz(startFreqAction::eCenter, 51200);
    EXPECT_EQ(start.selected(), startFreqAction::eCenter);
    EXPECT_EQ(start.value(startFreqAction::eStart, 1).count, 157286400);
    EXPECT_EQ(start.value(startFreqAction::eEnd, 1).count, 262144000);
    EXPECT_STREQ(start.getStr(1), "51.2 kHz");
    (void)start.setHz(startFreqAction::eStart, 1e12); // beyond the counts: held at the limit
    EXPECT_EQ(start.value(startFreqAction::eStart, 1).count, 2147483647);
    EXPECT_EQ(start.value(startFreqAction::eEnd, 1).count, 2147483647);
}

TEST_F(DerivedTest, EverySlotSerializesAndCopiesAllItsFields) {
    freqAct freq(100, kNoList, 0, 0);
    startFreqAction start(1, 2, 3, kNoList, 0, 0);
    octActType octave(1, 18, 11, kNoList, 0, 0);
    spanActType span(19, kNoList, 0, 0);
    sampleActType rate(19, kNoList, 0, 0);
    srcAmpAct amp(100, kNoList, 0, 0);
    srcSineAmp sine(100, 1, kNoList, 0, 0);
    srcNoiseAmp noise(100, kNoList, 0, 0);
    arbAmpAct arb(100, kNoList, 0, 0);
    srcSweptAmp swept(100, kNoList, 0, 0);
    binDelayAct delay(0, -8000, 100000, 0, kNoList, 0, 0);
    inpRngAct range(0, 1, kNoList, 0, 0);
    trigLevAct trig(0, kNoList, 0, 0);
    euSensAct sens(1, kNoList, 0, 0);
    impedParAction imped(50, "%g", kNoList, 0, 0);
    blockParAction block(2, kNoList, 0, 0);
    rdOutParAction readout(0, "#%d", kNoList, 0, 0);
    wfAngParAction angle(-30, kNoList, 0, 0);
    wfSkipParAction skip(30, "%4d", kNoList, 0, 0);
    wfOctSkipParAction octSkip(0.1f, timeUnits, kNoList, 0, 0);
    relXAction relX(0, "%g", kNoList, 0, 0);
    relYAction relY(0, "%g", kNoList, 0, 0);
    OTFloatParAction track(1, "%g", kNoList, 0, 0);
    DOFloatParAction order(0.1f, "%g", kNoList, 0, 0);
    unitParAction unit(0, 0, kNoList, 0, 0);
    int16_t measRanges[6][3] = {{0, 18, 0},   {19, 32, 19}, {33, 41, 33},
                                {42, 52, 42}, {53, 71, 53}, {72, 86, 72}};
    measParAction meas(RangeRecords(measRanges), 0, 0, nullptr, kNoList, 0, 5);
    viewParAction view(0, nullptr, kNoList, 0, 0);
    scaleAction scale(-100, 100, 0, 0, kNoList, 0, 0);

    // A file's bytes for each class, so reading sets every field.
    auto bytes = [](std::initializer_list<int> values) {
        std::string b;
        for (int v : values)
            b += static_cast<char>(v);
        return b;
    };
    const std::vector<std::pair<paramActionObj*, std::string>> cases = {
        {&freq, bytes({1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0x24, 0x40})},
        {&start, std::string(36, '\x11')},
        {&octave, bytes({2, 0, 9, 0})},
        {&span, bytes({12, 0}) + std::string(16, '\0')},
        {&rate, bytes({3, 0}) + std::string(16, '\0')},
        {&amp, bytes({0x10, 0x27, 0, 0})},
        {&sine, bytes({0x20, 0x4E, 0, 0})},
        {&noise, bytes({1, 0, 0, 0})},
        {&arb, bytes({0, 0, 0, 0})},
        {&swept, bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {&delay, bytes({0, 0, 0x80, 0x3F, 7, 0, 0, 0})},
        {&range, bytes({0xF6, 0xFF, 0, 0, 0x80, 0x3F})},
        {&trig, bytes({5, 0, 0, 0, 0x20, 0x41})},
        {&sens, bytes({0, 0, 0x20, 0x41})},
        {&imped, bytes({0, 0, 0x48, 0x43})},
        {&block, bytes({0, 1, 0, 0})},
        {&readout, bytes({4, 0})},
        {&angle, bytes({45, 0})},
        {&skip, bytes({9, 0})},
        {&octSkip, bytes({0, 0, 0, 0x40})},
        {&relX, bytes({0, 0, 0x80, 0x3F})},
        {&relY, bytes({0, 0, 0x80, 0xBF})},
        {&track, bytes({0, 0, 0, 0x40})},
        {&order, bytes({0, 0, 0x80, 0x3E})},
        {&unit, bytes({5, 0, 2, 0})},
        {&meas, bytes({34, 0, 2, 0})},
        {&view, bytes({7, 0}) + std::string(106, '\x05')},
        {&scale, bytes({1, 0, 0, 0, 2, 0, 0, 0})},
    };
    for (const auto& [object, file] : cases) {
        SCOPED_TRACE(file.size());
        ASSERT_EQ(static_cast<size_t>(object->getSerSize()), file.size());
        MemStream defaults;
        ASSERT_EQ(object->Serialize(&defaults, 1, 1), 0);
        ASSERT_EQ(defaults.bytes().size(), file.size());

        MemStream in(file);
        ASSERT_EQ(object->Serialize(&in, 0, 1), 0);
        MemStream before;
        ASSERT_EQ(object->Serialize(&before, 1, 1), 0);
        // The real value waits for setParam; a range and the view tables take
        // effect as they are read.
        if (object != &unit && object != &meas && object != &view) {
            EXPECT_EQ(before.bytes(), defaults.bytes());
        }
        object->setParam(0);
        MemStream entry;
        ASSERT_EQ(object->Serialize(&entry, 1, 1), 0);
        object->slotToSlot(ePaoEntry, ePaoFile);
        object->slotToSlot(ePaoFile, ePaoDefault);
        MemStream copied;
        ASSERT_EQ(object->Serialize(&copied, 1, 0), 0);
        EXPECT_EQ(copied.bytes(), entry.bytes());
        if (object != &span && object != &rate && object != &start) {
            EXPECT_EQ(entry.bytes(), file); // stored as read
        }

        MemStream shortFile(file.substr(0, file.size() - 1));
        const std::string text = object->getStr(2);
        EXPECT_NE(object->Serialize(&shortFile, 0, 2), 0);
        EXPECT_EQ(object->getStr(2), text); // a failed read changes nothing
    }
}

TEST_F(DerivedTest, ViewTablesOfSlotZeroAreTheirOwn) {
    viewParAction view(0, nullptr, kNoList, 0, 0);
    EXPECT_EQ(view.viewUnits(0), 5);
    EXPECT_EQ(view.viewUnits(5), 0);
    EXPECT_EQ(view.viewUnits(9), 0); // beyond the views
    MemStream in(std::string("\x02\x00", 2) + std::string(106, '\x01'));
    ASSERT_EQ(view.Serialize(&in, 0, 1), 0);
    EXPECT_EQ(view.viewUnits(0), 0x0101);
    view.slotToSlot(ePaoDefault, ePaoEntry); // as each conversion starts
    EXPECT_EQ(view.viewUnits(0), 5);
    EXPECT_EQ(view.getData(1), 0);
}

TEST_F(DerivedTest, UnitTextsAreReplacedAtRunTime) {
    unitParAction unit(0, 1, kNoList, 0, 0);
    EXPECT_STREQ(unit.getStr(1), "Vrms");
    unit.setUnitText(1, "m/s^2rms and a text longer than the thirty-one characters");
    EXPECT_EQ(std::string(unit.getStr(1)).size(), 31u);
    unit.setUnitText(13, "ignored");
    (void)unit.setData(12, 0);
    EXPECT_STREQ(unit.getStr(1), "");
    (void)unit.setData(21, 0); // a code beyond the table
    EXPECT_STREQ(unit.getStr(1), "?");
    EXPECT_EQ(UnitsCode::dbMode(21), 1);
    EXPECT_EQ(UnitsCode::peakUnits(21), 1);
    EXPECT_EQ(UnitsCode::phaseUnits(21), 1);
    EXPECT_EQ(UnitsCode::pack(1, 1, 1), 21);
}

} // namespace
