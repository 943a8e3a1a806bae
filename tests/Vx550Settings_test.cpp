// The old settings records, built byte by byte: record headers, the old
// measurement numbers, the Meas layouts per selector, the View units word,
// the File List by version, the Source layouts per measure group, input
// ranges, trigger words, short records and the six records in file order.
#include "params/Vx550Settings.h"

#include <gtest/gtest.h>

#include <string>

#include "base/LeBytes.h"
#include "display/DisplayFile.h"
#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "settings/Settings.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

namespace {
// The settings of the shared test model.
vx::Catalogue& cat = vxtest::testModel().cat;
} // namespace

namespace {

using namespace vx;
using vxtest::LeBuilder;
using vxtest::MemStream;

std::string zeros(size_t n) {
    return std::string(n, '\0');
}

// A text in a field of size bytes (maxLen + 1), zero-padded.
std::string text(const std::string& s, size_t size) {
    return s + zeros(size - s.size());
}

std::string header(const char* title, uint16_t version) {
    return LeBuilder().bytes(title).le16(version).str();
}

// A FreqValue as stored: the count, then an Hz cache that the reader ignores.
std::string freq(uint32_t count) {
    return LeBuilder().le32(count).bytes(zeros(8)).str();
}

struct OldMeas {
    uint16_t version = 4;
    int16_t selector = 3; // no layout of its own: the record ends after the Base Freq.
    int16_t measurement = 0;
    int16_t baseFreq = 1;
    std::string tail;
};

std::string measRecord(const OldMeas& m) {
    LeBuilder b;
    b.bytes(header("Meas Settings:", m.version)).le16(0).le16(m.selector).le16(m.measurement);
    b.bytes(zeros(12));
    b.le16(1).le16(0);  // Ch1, Ch2 Eng. Units
    b.le16(3).le16(14); // EU labels
    b.bytes(text("g", 7)).bytes(text("lbf", 7));
    b.f32(2.5f).f32(0.5f); // EU/Volt
    b.le16(static_cast<uint16_t>(m.baseFreq));
    return b.str() + m.tail;
}

class OldSettingsTest : public testing::Test {
  protected:
    void SetUp() override { vxtest::resetCatalogue(); }
    void TearDown() override { vxtest::resetCatalogue(); }

    // Runs read over bytes; expects every byte consumed and the given console text.
    template <class Read>
    int16_t run(Read read, const std::string& bytes, const std::string& messages = "") {
        MemStream in(bytes);
        testing::internal::CaptureStdout();
        const int16_t result = read(cat, in).code();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), messages);
        if (messages.empty()) {
            EXPECT_EQ(in.position(), bytes.size());
        }
        return result;
    }

    vxtest::TempDir dir; // the error log goes here
};

// ---- record headers

TEST_F(OldSettingsTest, HeaderAcceptsVersions3And4AndRefusesTheOthers) {
    EXPECT_EQ(run([](Catalogue& c, socket& s) { return checkOldListHeader(c, s, 6); },
                  header("Trigger Settings:", 3)),
              0);
    EXPECT_EQ(cat.lists.paoVersion.getData(ePaoFile), 3);
    EXPECT_EQ(run([](Catalogue& c, socket& s) { return checkOldListHeader(c, s, 6); },
                  header("Trigger Settings:", 4)),
              0);
    EXPECT_EQ(run([](Catalogue& c, socket& s) { return checkOldListHeader(c, s, 6); },
                  header("Trigger Settings:", 2),
                  "Translation utils do not support this version of VX550 data files.\n"
                  "Please contact Halvorn for new VX550 Roms\n"),
              1);
    EXPECT_EQ(run([](Catalogue& c, socket& s) { return checkOldListHeader(c, s, 6); },
                  header("Trigger Settings:", 5), "Newer translation utilities required\n"),
              1);
    EXPECT_EQ(dir.read("qrblog.txt"),
              "Translation utils do not support this version of VX550 data files.\n"
              "Please contact Halvorn for new VX550 Roms\n"
              "Newer translation utilities required\n");
}

TEST_F(OldSettingsTest, HeaderWithAnotherTitleNamesTheExpectedOne) {
    EXPECT_EQ(run([](Catalogue& c, socket& s) { return checkOldListHeader(c, s, 2); },
                  header("Meas Settings:", 4), "Error reading VX550 header:  View Settings:\n"),
              1);
    EXPECT_EQ(run([](Catalogue& c, socket& s) { return checkOldListHeader(c, s, 5); }, "Input",
                  "Error reading VX550 header:  Input Settings:\n"),
              1);
}

// ---- the Meas record

struct MeasCase {
    int16_t oldNumber;
    int16_t group;
    int16_t measurement;
    const char* name;
};

TEST_F(OldSettingsTest, OldMeasurementNumbersSelectGroupAndMeasurement) {
    const MeasCase cases[] = {
        {0, 0, 0, "FFT 1"},        {1, 0, 1, "FFT 2"},         {2, 0, 4, "Time 1"},
        {9, 0, 11, "Freq. Resp."}, {10, 0, 11, "Freq. Resp."}, {11, 1, 19, "AutoCorr.1"},
        {13, 1, 21, "X-Corr."},    {21, 2, 33, "Oct. ch1"},    {22, 2, 34, "Oct. ch2"},
        {30, 3, 42, "Lin Spec 1"}, {31, 3, 45, "Norm Var2"},   {33, 3, 47, "Freq. Resp."}};
    for (const MeasCase& c : cases) {
        vxtest::resetCatalogue();
        OldMeas m;
        m.measurement = c.oldNumber;
        ASSERT_EQ(run(readOldMeasSettings, measRecord(m)), 0) << c.oldNumber;
        EXPECT_EQ(cat.measureGroup[0].getData(1), c.group) << c.oldNumber;
        EXPECT_EQ(cat.measurement[0].getRange(1), c.group) << c.oldNumber;
        EXPECT_EQ(cat.measurement[0].getData(1), c.measurement) << c.oldNumber;
        EXPECT_STREQ(cat.measurement[0].getStr(1), c.name) << c.oldNumber;
    }
}

TEST_F(OldSettingsTest, FftAndCorrelationNumbersChooseTheirAveragingRange) {
    OldMeas m;
    m.measurement = 11;
    ASSERT_EQ(run(readOldMeasSettings, measRecord(m)), 0);
    EXPECT_EQ(cat.measAveragingType[0].getRange(1), 1);
    m.measurement = 21; // octave: the averaging range stays
    ASSERT_EQ(run(readOldMeasSettings, measRecord(m)), 0);
    EXPECT_EQ(cat.measAveragingType[0].getRange(1), 1);
    m.measurement = 3;
    ASSERT_EQ(run(readOldMeasSettings, measRecord(m)), 0);
    EXPECT_EQ(cat.measAveragingType[0].getRange(1), 0);
}

TEST_F(OldSettingsTest, UnknownMeasurementNumbersAreRefused) {
    for (int16_t number : {14, 20, 23, 29, 34, -1, 32767}) {
        OldMeas m;
        m.measurement = number;
        EXPECT_EQ(run(readOldMeasSettings, measRecord(m), "Measurement can not be translated\n"), 1)
            << number;
        EXPECT_EQ(cat.measurement[0].getData(1), 0) << number;
    }
}

TEST_F(OldSettingsTest, EngineeringUnitsGoToBothDisplays) {
    ASSERT_EQ(run(readOldMeasSettings, measRecord(OldMeas{})), 0);
    for (int d = 0; d < 2; ++d) {
        EXPECT_EQ(cat.engUnits1[d].getData(1), 1) << d;
        EXPECT_EQ(cat.engUnits2[d].getData(1), 0) << d;
        EXPECT_EQ(cat.euLabel1[d].getData(1), 3) << d;
        EXPECT_EQ(cat.euLabel2[d].getData(1), 14) << d;
        EXPECT_STREQ(cat.euUserLabel1[d].getStr(1), "g") << d;
        EXPECT_STREQ(cat.euUserLabel2[d].getStr(1), "lbf") << d;
        EXPECT_FLOAT_EQ(cat.euPerVolt1[d].getData(1), 2.5f) << d;
        EXPECT_FLOAT_EQ(cat.euPerVolt2[d].getData(1), 0.5f) << d;
    }
    EXPECT_EQ(cat.baseFreq[0].getData(1), 1);
}

std::string fftTail(int16_t windowA, int16_t windowB, uint16_t w2, uint16_t w3, uint16_t w4) {
    LeBuilder b;
    b.bytes(freq(300000)).bytes(freq(1000000)).bytes(freq(900000000)); // P, Q, R
    b.le16(18).bytes(zeros(16));                                       // Span
    b.le16(1);                                                         // Live
    b.le16(static_cast<uint16_t>(windowA)).le16(0);
    b.le16(static_cast<uint16_t>(windowB)).le16(0);
    b.le16(7).le16(7).le16(w2).le16(w3).le16(w4).le16(7);
    b.le16(64).f32(50.0f).le16(1).le16(2).f32(4.0f); // # Avgs .. reject interval
    b.bytes(zeros(8)).f32(0.25f).bytes(text("first", 41)).bytes(text("second", 41));
    return b.str();
}

TEST_F(OldSettingsTest, FftLayoutSetsFrequenciesWindowsAndAveraging) {
    OldMeas m;
    m.selector = 0;
    m.tail = fftTail(6, 5, 1, 1, 3);
    ASSERT_EQ(run(readOldMeasSettings, measRecord(m)), 0);
    // The start is set last: the span (index 18) places center and end.
    const int32_t spanCounts = 0x19000000 >> 1;
    EXPECT_EQ(cat.startFreq[0].selected(), startFreqAction::eStart);
    EXPECT_EQ(cat.startFreq[0].value(startFreqAction::eStart, 1).count, 1000000);
    EXPECT_EQ(cat.startFreq[0].value(startFreqAction::eCenter, 1).count, 1000000 + spanCounts / 2);
    EXPECT_EQ(cat.startFreq[0].value(startFreqAction::eEnd, 1).count, 1000000 + spanCounts);
    MemStream real; // the real values are what a settings block carries
    ASSERT_EQ(cat.startFreq[0].Serialize(&real, 1, 1), Status(0));
    EXPECT_EQ(getLe32(reinterpret_cast<const uint8_t*>(real.bytes().data())), 1000000u);
    EXPECT_EQ(cat.span[0].getData(1), 18);
    EXPECT_EQ(cat.liveMode.getData(1), 1);
    EXPECT_STREQ(cat.window[0].getStr(1), "Force/Exp"); // old 6 is Force/Exp
    EXPECT_EQ(cat.window[1].getData(1), 5);
    EXPECT_EQ(cat.measAveragingType[0].getData(1), 2);
    EXPECT_EQ(cat.averaging[0].getData(1), 1);
    EXPECT_EQ(cat.rejectTrigger.getData(1), 2);
    EXPECT_FLOAT_EQ(cat.rejectInterval.getData(1), 4.0f);
    EXPECT_FLOAT_EQ(cat.phaseSuppress[0].getData(1), 0.25f);
    EXPECT_STREQ(cat.measTitle1[0].getStr(1), "first");
    EXPECT_STREQ(cat.measTitle2[0].getStr(1), "second");
}

TEST_F(OldSettingsTest, FftLayoutWithoutAveragingAndWithLaterWindows) {
    OldMeas m;
    m.selector = 0;
    m.tail = fftTail(9, 2, 0, 1, 2);
    ASSERT_EQ(run(readOldMeasSettings, measRecord(m)), 0);
    EXPECT_EQ(cat.window[0].getData(1), 8);
    EXPECT_EQ(cat.window[1].getData(1), 2);
    EXPECT_EQ(cat.measAveragingType[0].getData(1), 0);
    EXPECT_EQ(cat.averaging[0].getData(1), 0);
}

TEST_F(OldSettingsTest, OctaveAndSweptLayoutsReadTheirOwnMembers) {
    OldMeas m;
    m.measurement = 21;
    m.selector = 1;
    m.tail = LeBuilder()
                 .le16(1)
                 .le16(3)
                 .bytes(zeros(10))
                 .le16(2)
                 .le16(1)
                 .le16(4)
                 .le16(7)
                 .le16(9)
                 .f32(2.0f)
                 .le16(3)
                 .bytes(text("oct", 41))
                 .bytes(text("", 41))
                 .str();
    ASSERT_EQ(run(readOldMeasSettings, measRecord(m)), 0);
    EXPECT_EQ(cat.octLinearAvgMode[0].getData(1), 1);
    EXPECT_EQ(cat.octaveSpan[0].getData(1), 7);
    EXPECT_EQ(cat.octaveSpan[0].lowestBand(1), 9);
    EXPECT_EQ(cat.octAveragingType[0].getData(1), 3);
    EXPECT_STREQ(cat.measTitle1[0].getStr(1), "oct");

    m.measurement = 30;
    m.selector = 2;
    LeBuilder swept;
    swept.le16(500).le16(0).le32(3).le32(20).f32(10.0f).f32(5000.0f).le32(512).le32(1024);
    swept.le16(1).le16(4).f32(0.2f).f32(0.7f).le16(1).f32(1.5f);
    m.tail = swept.str();
    ASSERT_EQ(run(readOldMeasSettings, measRecord(m)), 0);
    EXPECT_EQ(cat.sweptPoints[0].getData(1), 500);
    EXPECT_EQ(cat.integrationCycles[0].getData(1), 20);
    EXPECT_EQ(cat.sweptIntegrationTime[0].getData(1), 1024);
    EXPECT_EQ(cat.sweptType[0].getData(1), 1);
    EXPECT_FLOAT_EQ(cat.phaseSuppress[0].getData(1), 1.5f);
}

// ---- the View record

std::string viewRecord(uint16_t unitsCode) {
    LeBuilder b;
    b.bytes(header("View Settings:", 4)).le16(4).bytes(zeros(106)); // view
    b.le16(unitsCode).le16(0);
    b.le16(1).bytes(zeros(22)).f32(1.5f).f32(-2.5f).bytes(zeros(12)); // #2 .. #21
    b.bytes(zeros(12));
    b.le16(1).le16(3).le16(20).bytes(zeros(24)).le32(99).le16(8).le16(1).le16(0).le16(2).le16(1);
    b.le16(6);    // #36
    b.f32(1e-3f); // #38
    return b.str();
}

TEST_F(OldSettingsTest, ViewRecordReadsItsMembersAndTheTransducerUnitForBoth) {
    ASSERT_EQ(run(readOldViewSettings, viewRecord(0)), 0);
    EXPECT_EQ(cat.view[0].getData(1), 4);
    EXPECT_FLOAT_EQ(cat.markerRelX[0].getData(1), 1.5f);
    EXPECT_FLOAT_EQ(cat.markerRelY[0].getData(1), -2.5f);
    EXPECT_EQ(cat.displayStyle[0].getData(1), 1);
    EXPECT_EQ(cat.zoomStart[0].getData(1), 99);
    EXPECT_EQ(cat.gridDivisions[0].getData(1), 2);
    EXPECT_EQ(cat.transducerOut1[0].getData(1), 6);
    EXPECT_EQ(cat.transducerOut1[1].getData(1), 6);
    EXPECT_FLOAT_EQ(cat.dbReference[0].getData(1), 1e-3f);
}

TEST_F(OldSettingsTest, UnitsWordSelectsDbPeakAndPhaseUnits) {
    struct UnitsCase {
        uint16_t code;
        int16_t db, peak, phase;
    };
    // Before each record: dB mode 2, peak units 3, phase units 1.
    const UnitsCase cases[] = {{0, 0, 1, 1},  {1, 0, 2, 1},  {2, 0, 1, 1},     {3, 0, 2, 1},
                               {4, 1, 1, 1},  {5, 1, 2, 1},  {6, 2, 2, 1},     {7, 3, 2, 1},
                               {8, 0, 3, 0},  {9, 0, 3, 1},  {10, 0, 1, 1},    {11, 1, 1, 1},
                               {12, 0, 1, 1}, {13, 2, 3, 1}, {0xFFFF, 2, 3, 1}};
    for (const UnitsCase& c : cases) {
        (void)cat.dbMode[0].setData(2, 0);
        (void)cat.peakUnits[0].setData(3, 0);
        (void)cat.phaseUnits[0].setData(1, 0);
        ASSERT_EQ(run(readOldViewSettings, viewRecord(c.code)), 0) << c.code;
        EXPECT_EQ(cat.dbMode[0].getData(1), c.db) << c.code;
        EXPECT_EQ(cat.peakUnits[0].getData(1), c.peak) << c.code;
        EXPECT_EQ(cat.phaseUnits[0].getData(1), c.phase) << c.code;
    }
    // U 9 selects radians from degrees.
    (void)cat.phaseUnits[0].setData(0, 0);
    ASSERT_EQ(run(readOldViewSettings, viewRecord(9)), 0);
    EXPECT_EQ(cat.phaseUnits[0].getData(1), 1);
}

// ---- the File List

std::string fileList() {
    LeBuilder b;
    b.bytes(header("File List:", 4)).le16(1).bytes(text("HAMMER", 11)).le16(7).le16(9);
    b.bytes(text("ACCEL", 11)).le16(8).le16(3);
    return b.str();
}

TEST_F(OldSettingsTest, FileListIsReadOnlyAfterRecordsOfVersion4) {
    const auto headerThenList = [](Catalogue&, socket& s) {
        if (checkOldListHeader(cat, s, 2).failed()) return Status(kStatusFailed);
        return readOldFileList(cat, s);
    };
    const std::string v3 = header("View Settings:", 3);
    MemStream in(v3 + fileList());
    ASSERT_EQ(headerThenList(cat, in), 0);
    EXPECT_EQ(in.position(), v3.size());
    EXPECT_STREQ(cat.refName[0].getStr(1), "NONE");

    ASSERT_EQ(run(headerThenList, header("View Settings:", 4) + fileList()), 0);
    EXPECT_EQ(cat.modalData.getData(1), 1);
    EXPECT_STREQ(cat.refName[0].getStr(1), "HAMMER");
    EXPECT_EQ(cat.refDirection[0].getData(1), 9);
    EXPECT_STREQ(cat.respName[0].getStr(1), "ACCEL");
    EXPECT_EQ(cat.respNumber[0].getData(1), 8);
}

// ---- the Source record

std::string signalSource(bool octave) {
    LeBuilder b;
    b.bytes(header("Source Settings:", 4)).le16(0).le16(2);
    if (octave) b.f32(0.5f);
    b.le16(1).bytes(freq(4096000)).bytes(freq(8192));
    b.le16(50000).le16(100).le16(0).le16(1); // Sine Amp 1, offset, Sine Amp 2, Noise Amp
    b.f32(50.0f).le16(2);
    if (!octave) b.le16(2000).f32(25.0f).le16(1);
    b.le16(5000).le16(2).le16(17).bytes(zeros(16)).le32(100).le16(64).le16(1);
    return b.str();
}

TEST_F(OldSettingsTest, SourceLayoutFollowsTheMeasureGroup) {
    ASSERT_EQ(run(readOldSourceSettings, signalSource(false)), 0);
    EXPECT_EQ(cat.source.getData(1), 2);
    EXPECT_EQ(cat.sineFreq1.getData(1).count, 4096000);
    EXPECT_EQ(cat.sineAmp1.amplitude(1), 50000); // 16 bits taken unsigned
    EXPECT_EQ(*cat.sineAmp1.realVal(), 50000);
    EXPECT_EQ(cat.sineAmp1.level(1), amplitudeLevel(50000));
    EXPECT_EQ(cat.sineAmp2.level(1), kNoAmplitudeLevel);
    EXPECT_EQ(cat.chirpAmp.amplitude(1), 2000);
    EXPECT_EQ(cat.arbAmp.amplitude(1), 5000);
    EXPECT_EQ(cat.arbRate.getData(1), 17);
    EXPECT_EQ(cat.inputSource.getData(1), 1);

    vxtest::resetCatalogue();
    (void)cat.measureGroup[0].setData(2, 0); // octave: a period, no chirp
    ASSERT_EQ(run(readOldSourceSettings, signalSource(true)), 0);
    EXPECT_FLOAT_EQ(cat.sourcePeriod.getData(1), 0.5f);
    EXPECT_EQ(cat.chirpAmp.amplitude(1), 10000);
    EXPECT_EQ(cat.arbAmp.amplitude(1), 5000);
}

TEST_F(OldSettingsTest, SweptSineSourceAndGroupsWithoutASource) {
    (void)cat.measureGroup[0].setData(3, 0);
    LeBuilder b;
    b.bytes(header("Source Settings:", 4)).le16(0).le16(40000).le16(300).f32(6.0f).f32(-6.0f);
    b.le16(65535).le16(1).f32(2.0f).le16(1).le16(2);
    ASSERT_EQ(run(readOldSourceSettings, b.str()), 0);
    EXPECT_EQ(cat.sweptAmp.amplitude(1), 40000);
    EXPECT_EQ(cat.sweptIdealRef.amplitude(1), 300);
    EXPECT_FLOAT_EQ(cat.sweptRefLower.getData(1), -6.0f);
    EXPECT_EQ(cat.sweptMaxSource.amplitude(1), 65535);
    EXPECT_EQ(cat.sweptAutoLevel.getData(1), 2);
    EXPECT_EQ(cat.source.getData(1), 0);

    for (int16_t group : {4, 5, -1, 99}) {
        (void)cat.measureGroup[0].setData(group, 0);
        const std::string record = header("Source Settings:", 4) + zeros(2);
        MemStream in(record + signalSource(false));
        ASSERT_EQ(readOldSourceSettings(cat, in), 0) << group;
        EXPECT_EQ(in.position(), record.size()) << group;
    }
}

// ---- the Input and Trigger records

std::string inputRecord(int16_t range1, int16_t range2) {
    LeBuilder b;
    b.bytes(header("Input Settings:", 4)).f32(600.0f).le16(1).le16(1).le16(0);
    b.le16(2); // Ch1 Coupling
    b.le16(0).le16(1).le16(1);
    b.bytes(zeros(12)).le32(7).le16(4).le16(1).le16(0);
    b.le16(static_cast<uint16_t>(range1)).le16(static_cast<uint16_t>(range2));
    return b.str();
}

TEST_F(OldSettingsTest, InputRangesGoUpToTheNextEvenRangeWithinTheTable) {
    const int16_t cases[][2] = {{-3, -2},   {-4, -4},    {5, 6},      {6, 6},
                                {33, 34},   {34, 34},    {35, 34},    {-50, -50},
                                {-51, -50}, {-100, -50}, {32767, 34}, {-32768, -50}};
    for (const auto& c : cases) {
        ASSERT_EQ(run(readOldInputSettings, inputRecord(c[0], 0)), 0);
        EXPECT_EQ(cat.inputRange1.range(1), c[1]) << c[0];
        EXPECT_EQ(*cat.inputRange1.realVal(), c[1]) << c[0];
        EXPECT_EQ(cat.inputRange2.range(1), 0) << c[0];
    }
}

TEST_F(OldSettingsTest, InputCouplingRangeFollowsTheSweptSineGroup) {
    ASSERT_EQ(run(readOldInputSettings, inputRecord(0, 9)), 0);
    EXPECT_FLOAT_EQ(cat.refImpedance.getData(1), 600.0f);
    EXPECT_EQ(cat.coupling1.getRange(1), 0);
    EXPECT_EQ(cat.coupling1.getData(1), 2);
    EXPECT_EQ(cat.coupling2.getData(1), 1);
    EXPECT_EQ(cat.playbackStart.getData(1), 7);
    EXPECT_EQ(cat.inputRange2.range(1), 10);

    (void)cat.measureGroup[0].setData(3, 0);
    ASSERT_EQ(run(readOldInputSettings, inputRecord(0, 0)), 0);
    EXPECT_EQ(cat.coupling1.getRange(1), 1);
    EXPECT_EQ(cat.coupling2.getRange(1), 1);
    EXPECT_EQ(cat.coupling1.getData(1), 2);
}

std::string triggerRecord(uint16_t w0, uint16_t w1, int16_t level) {
    LeBuilder b;
    b.bytes(header("Trigger Settings:", 4)).le16(0);
    b.le16(w0).le16(w1).le16(static_cast<uint16_t>(level)).le16(9).le16(9);
    b.le16(1).le32(100).le32(static_cast<uint32_t>(-20));
    return b.str();
}

TEST_F(OldSettingsTest, TriggerWordsGiveModeSourceAndLevel) {
    struct TriggerCase {
        uint16_t w0, w1;
        int16_t level;
        int16_t mode, source, expectedLevel;
    };
    const TriggerCase cases[] = {{0, 3, 51, 0, 0, 51},
                                 {1, 2, 200, 0, 3, 127},
                                 {2, 0, -200, 1, 1, -127},
                                 {3, 5, -127, 0, 6, -127}};
    for (const TriggerCase& c : cases) {
        ASSERT_EQ(run(readOldTriggerSettings, triggerRecord(c.w0, c.w1, c.level)), 0);
        EXPECT_EQ(cat.triggerMode.getData(1), c.mode) << c.w0;
        EXPECT_EQ(cat.triggerSource.getData(1), c.source) << c.w0;
        EXPECT_EQ(cat.triggerLevel.range(1), c.expectedLevel) << c.w0;
    }
    EXPECT_EQ(cat.triggeredSourceMode.getData(1), 0);
    EXPECT_EQ(cat.triggerSlope.getData(1), 1);
    EXPECT_EQ(cat.delayA.samples(1), 100);
    EXPECT_EQ(cat.delayB.samples(1), -20);
}

// ---- short records and the six in order

TEST_F(OldSettingsTest, ARecordThatEndsEarlyIsRefused) {
    const std::string abort = "Invalid file format: process aborted\n";
    const std::string trigger = triggerRecord(1, 2, 3);
    EXPECT_EQ(run(readOldTriggerSettings, trigger.substr(0, trigger.size() - 1), abort), 1);
    EXPECT_EQ(cat.delayA.samples(1), 0);
    EXPECT_EQ(run(readOldTriggerSettings, header("Trigger Settings:", 4).substr(0, 18), abort), 1);
    const std::string input = inputRecord(5, 5);
    EXPECT_EQ(run(readOldInputSettings, input.substr(0, input.size() - 2), abort), 1);
    EXPECT_EQ(cat.inputRange1.range(1), 0);
    OldMeas m;
    m.measurement = 9;
    EXPECT_EQ(run(readOldMeasSettings, measRecord(m).substr(0, 20), abort), 1);
    EXPECT_EQ(cat.measurement[0].getData(1), 0);
    m.selector = 0;
    m.tail = fftTail(1, 1, 0, 0, 0);
    EXPECT_EQ(run(readOldMeasSettings, measRecord(m).substr(0, 120), abort), 1);
    EXPECT_EQ(run(readOldViewSettings, viewRecord(0).substr(0, 200), abort), 1);
    EXPECT_EQ(run(readOldSourceSettings, signalSource(false).substr(0, 40), abort), 1);
}

TEST_F(OldSettingsTest, AllSixRecordsInFileOrder) {
    OldMeas m;
    m.measurement = 12; // correlation
    const std::string all = measRecord(m) + viewRecord(5) + fileList() + signalSource(false) +
                            inputRecord(-7, 11) + triggerRecord(1, 0, 10);
    ASSERT_EQ(run(readOldSettings, all), 0);
    EXPECT_EQ(cat.measurement[0].getData(1), 20);
    EXPECT_EQ(cat.dbMode[0].getData(1), 1);
    EXPECT_STREQ(cat.refName[0].getStr(1), "HAMMER");
    EXPECT_EQ(cat.sineAmp1.amplitude(1), 50000);
    EXPECT_EQ(cat.inputRange1.range(1), -6);
    EXPECT_EQ(cat.triggerSource.getData(1), 1);

    EXPECT_EQ(run(readOldSettings, header("View Settings:", 4),
                  "Error reading VX550 header:  Meas Settings:\n"
                  "Error reading VX550 header:  View Settings:\n"
                  "Error reading header parameters: File List:  (header fault)\n"
                  "Error reading VX550 header:  Source Settings:\n"
                  "Error reading VX550 header:  Input Settings:\n"
                  "Error reading VX550 header:  Trigger Settings:\n"),
              1);
}

// A whole VX550 Display file: the first settings word is the measure group,
// and the stored vector count is one more than the vectors present. A file
// with the -1 marker and PAO version 4 takes the same layout.
TEST_F(OldSettingsTest, WholeVx550DisplayFilesReadIntoTheCurrentSettings) {
    OldMeas m;
    m.measurement = 12; // correlation
    const std::string records = measRecord(m) + viewRecord(5) + fileList() + signalSource(false) +
                                inputRecord(-7, 11) + triggerRecord(1, 0, 10);
    for (bool marker : {false, true}) {
        vxtest::Vx550Settings settings;
        settings.marker = marker;
        settings.measGroup = 1;
        settings.xDispLen = 1023;
        settings.nPts = 1024;
        settings.records = records;
        vxtest::DisplayFixture f;
        f.settings = settings.bytes();
        f.vectorCode = 1;
        f.vectors.push_back(vxtest::rampVector(1024));
        MemStream in(f.bytes());
        testing::internal::CaptureStdout();
        ASSERT_EQ(readDisplayFile(vxtest::testModel(), in), 0) << marker;
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Input File Type: VX550 Display file\n\n");
        TraceMgr& t = vxtest::testModel().trace;
        EXPECT_EQ(t.oldFormat, 1);
        EXPECT_EQ(t.vectorCode, 0);
        EXPECT_EQ(cat.measurement[0].getData(1), 20);
        EXPECT_EQ(t.measGroup, 1);
        EXPECT_EQ(t.measDesc.axisKind(), 3); // the descriptor of AutoCorr.2 from the table
        EXPECT_EQ(cat.inputRange1.range(1), -6);
        ASSERT_NE(t.vector(0), nullptr);
        EXPECT_EQ((*t.vector(0))[1023].re, 1023.0f);
        vxtest::resetCatalogue();
    }
}

// The JSON output of a VX550 file names its kind and holds a record, in
// order, for every line of its exhaustive header.
TEST_F(OldSettingsTest, AVx550FileInJsonHasARecordPerHeaderLine) {
    OldMeas m;
    m.measurement = 12; // correlation
    vxtest::Vx550Settings settings;
    settings.measGroup = 1;
    settings.xDispLen = 1023;
    settings.nPts = 1024;
    settings.records = measRecord(m) + viewRecord(5) + fileList() + signalSource(false) +
                       inputRecord(-7, 11) + triggerRecord(1, 0, 10);
    vxtest::DisplayFixture f;
    f.settings = settings.bytes();
    f.vectorCode = 1;
    f.vectors.push_back(vxtest::rampVector(1024));
    dir.write("old.56d", f.bytes());
    for (std::vector<std::string> args : {std::vector<std::string>{"old.json", "/Ojson"},
                                          std::vector<std::string>{"old.asc", "/H2"}}) {
        args.insert(args.begin(), "old.56d");
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, args, dir.path(), "");
        ASSERT_EQ(r.status, 0) << r.out;
    }
    MemStream in(f.bytes());
    testing::internal::CaptureStdout();
    ASSERT_EQ(readDisplayFile(vxtest::testModel(), in), 0);
    testing::internal::GetCapturedStdout();
    std::vector<SettingRecord> records =
        settingRecords(traceHeaderLines(vxtest::testModel(), 2, ""));
    std::string header = dir.read("old.asc");
    header = header.substr(0, header.find("\r\n\r\n") + 2);
    std::string lines = "Input File: old.56d\r\n";
    for (const SettingRecord& r : records)
        lines += r.label + r.text + "\r\n";
    EXPECT_EQ(header, lines);
    CJson expected;
    expected.beginObject();
    writeSettings(expected, records);
    const std::string json = dir.read("old.json");
    EXPECT_NE(json.find("\"kind\":\"VX550 Display\",\"instrument\":\"VX550\""), std::string::npos);
    EXPECT_NE(json.find(expected.text().substr(1)), std::string::npos) << json;
}

} // namespace
