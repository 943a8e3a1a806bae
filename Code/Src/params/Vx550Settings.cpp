// The older settings records: six fixed records of titled, versioned values,
// some in forms that the current parameter classes no longer use, read into
// the catalogue's members.
#include "params/Vx550Settings.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Messages.h"
#include "params/Catalog.h"
#include "params/STARTUP.h"

namespace vx {

namespace {

using namespace cat;

// The list whose title each old record index carries.
constexpr EPaoList kOldRecordList[] = {dbgLst,   measLst,    viewLst,   sourceLst,   limitLst,
                                       inputLst, triggerLst, systemLst, userMathLst, captureLst,
                                       commLst,  dramLst,    fileLst,   nlLst};
constexpr int16_t kOldRecordCount = sizeof kOldRecordList / sizeof kOldRecordList[0];

constexpr int16_t kLowestOldVersion = 3;
constexpr int16_t kHighestOldVersion = 4;

// Reads the fields of one record and remembers whether any read fell short;
// a short field reads as zero and leaves its parameter unchanged.
class OldRecord {
  public:
    explicit OldRecord(socket& s) : stream(s) {}

    template <class... P> void read(P&... params) { (note(params.Serialize(&stream, 0, 1)), ...); }
    void skip(uint32_t n) {
        uint8_t discard[16];
        for (uint32_t left = n; left > 0;) {
            const uint32_t chunk = std::min<uint32_t>(left, sizeof discard);
            bytes(discard, chunk);
            left -= chunk;
        }
    }
    void bytes(uint8_t* buf, uint32_t n) {
        std::memset(buf, 0, n);
        note(stream.readBytes(buf, n));
    }
    uint16_t word() {
        uint8_t b[2];
        bytes(b, sizeof b);
        return getLe16(b);
    }
    int16_t signedWord() { return static_cast<int16_t>(word()); }
    int32_t signedLong() {
        uint8_t b[4];
        bytes(b, sizeof b);
        return static_cast<int32_t>(getLe32(b));
    }
    bool shortRead() const { return failed; }
    // The record's result: 1 after a message when a field was missing.
    Status finish() const {
        if (!failed) return kStatusOk;
        errLog() << msg::eInvalidFileFormat << endLine;
        return kStatusFailed;
    }

  private:
    void note(Status s) {
        if (s.failed()) failed = true;
    }

    socket& stream;
    bool failed = false;
};

// ---- copies to display B

void copyToTwin(Twin<enumParAction>& p) {
    (void)p[1].setData(p[0].getData(ePaoEntry), 0);
}
void copyToTwin(Twin<euSensAct>& p) {
    (void)p[1].setData(p[0].getData(ePaoEntry));
}
void copyToTwin(Twin<strActionObj>& p) {
    (void)p[1].setData(p[0].getStr(ePaoEntry));
}

template <class T> void readWithTwin(OldRecord& rec, Twin<T>& p) {
    rec.read(p[0]);
    copyToTwin(p);
}

// ---- the Meas record

// What an old measurement number becomes; no averaging range leaves the
// Averaging Type as it is.
struct MeasTranslation {
    int16_t group;
    int16_t measurement;
    std::optional<int16_t> averagingRange;
};

std::optional<MeasTranslation> translateOldMeasurement(int16_t m) {
    if (m >= 0 && m <= 1) return MeasTranslation{0, m, 0};
    if (m >= 2 && m <= 9) return MeasTranslation{0, static_cast<int16_t>(m + 2), 0};
    if (m == 10) return MeasTranslation{0, 11, 0};
    if (m >= 11 && m <= 13) return MeasTranslation{1, static_cast<int16_t>(m + 8), 1};
    if (m >= 21 && m <= 22) return MeasTranslation{2, static_cast<int16_t>(m + 12), std::nullopt};
    if (m == 30) return MeasTranslation{3, 42, std::nullopt};
    if (m >= 31 && m <= 33) return MeasTranslation{3, static_cast<int16_t>(m + 14), std::nullopt};
    return std::nullopt;
}

Status selectOldMeasurement(int16_t m) {
    const std::optional<MeasTranslation> t = translateOldMeasurement(m);
    if (!t) {
        errLog() << msg::eCannotTranslateMeasurement << endLine;
        return kStatusFailed;
    }
    (void)measureGroup[0].setData(t->group, 0);
    (void)measurement[0].setRange(t->group);
    (void)measurement[0].setData(t->measurement, 0);
    if (t->averagingRange) (void)measAveragingType[0].setRange(*t->averagingRange);
    return kStatusOk;
}

void readEngineeringUnits(OldRecord& rec) {
    readWithTwin(rec, engUnits1);
    readWithTwin(rec, engUnits2);
    readWithTwin(rec, euLabel1);
    readWithTwin(rec, euLabel2);
    readWithTwin(rec, euUserLabel1);
    readWithTwin(rec, euUserLabel2);
    readWithTwin(rec, euPerVolt1);
    readWithTwin(rec, euPerVolt2);
}

// End, center and start frequency counts at the Base Freq. just read; the
// start is set last so that it ends up selected.
void setStartFrequency(const uint8_t freqs[36]) {
    const double resolution = freqResolution(baseFreq[0].getData(ePaoEntry));
    const auto hzAt = [&](int offset) {
        return static_cast<int32_t>(getLe32(freqs + offset)) * resolution;
    };
    (void)startFreq[0].setHz(startFreqAction::eEnd, hzAt(24));
    (void)startFreq[0].setHz(startFreqAction::eCenter, hzAt(0));
    (void)startFreq[0].setHz(startFreqAction::eStart, hzAt(12));
}

// Old window indices above 5 are one higher than those of the current table.
void translateOldWindow(rngEnumAction& w) {
    const int16_t index = w.getData(ePaoEntry);
    if (index > 5) (void)w.setData(static_cast<int16_t>(index - 1), 0);
}

void readFftSettings(OldRecord& rec) {
    uint8_t freqs[36];
    rec.bytes(freqs, sizeof freqs);
    rec.read(span[0]);
    setStartFrequency(freqs);
    rec.read(liveMode, window[0], window[1]);
    translateOldWindow(window[0]);
    translateOldWindow(window[1]);
    uint16_t w[6];
    for (uint16_t& v : w)
        v = rec.word();
    (void)measAveragingType[0].setData(w[2] != 0 ? static_cast<int16_t>(w[3] + 1) : 0, 0);
    (void)averaging[0].setData(static_cast<int16_t>(w[4] & 1), 0);
    rec.read(numAverages[0], timeRecordIncr[0], overloadReject[0], rejectTrigger, rejectInterval);
    rec.skip(8);
    rec.read(phaseSuppress[0], measTitle1[0], measTitle2[0]);
}

void readOctaveSettings(OldRecord& rec) {
    rec.read(octLinearAvgMode[0], powerBin[0]);
    rec.skip(10);
    rec.read(octaveResolution[0], octaveChannels[0], confidence[0], octaveSpan[0],
             octIntegrationTime[0], octAveragingType[0], measTitle1[0], measTitle2[0]);
}

void readSweptSettings(OldRecord& rec) {
    rec.read(sweptPoints[0], sweptRepeat[0], settleCycles[0], integrationCycles[0], sweptStart[0],
             sweptStop[0], settleTime[0], sweptIntegrationTime[0], autoResolution[0],
             maxSkipSize[0], fasterThreshold[0], slowerThreshold[0], sweptType[0],
             phaseSuppress[0]);
}

// ---- the View record

// The display units that an old units word selects; -1 keeps a member.
struct OldUnits {
    int16_t dbMode;
    int16_t peakUnits;
    int16_t phaseUnits;
};
constexpr int16_t kKeep = -1;
constexpr OldUnits kOldUnits[] = {{0, 1, kKeep}, {0, 2, kKeep}, {0, 1, kKeep}, {0, 2, kKeep},
                                  {1, 1, kKeep}, {1, 2, kKeep}, {2, 2, kKeep}, {3, 2, kKeep},
                                  {0, kKeep, 0}, {0, kKeep, 1}, {0, 1, kKeep}, {1, 1, kKeep},
                                  {0, 1, kKeep}};
constexpr uint16_t kOldUnitsCount = sizeof kOldUnits / sizeof kOldUnits[0];

void setUnlessKept(enumParAction& p, int16_t value) {
    if (value != kKeep) (void)p.setData(value, 0);
}

void translateOldUnits(uint16_t code) {
    if (code >= kOldUnitsCount) return;
    const OldUnits& u = kOldUnits[code];
    setUnlessKept(dbMode[0], u.dbMode);
    setUnlessKept(peakUnits[0], u.peakUnits);
    setUnlessKept(phaseUnits[0], u.phaseUnits);
}

// ---- the Source record

// A 16-bit amplitude in 0.1 mV, taken unsigned.
void setOldAmplitude(OldRecord& rec, srcAmpAct& p) {
    const uint16_t amplitude = rec.word();
    if (!rec.shortRead()) (void)p.setData(amplitude);
}

void readSignalSource(OldRecord& rec, int16_t group) {
    rec.read(source);
    if (group == 2) rec.read(sourcePeriod);
    rec.read(sourceType, sineFreq1, sineFreq2);
    setOldAmplitude(rec, sineAmp1);
    setOldAmplitude(rec, sourceOffset);
    setOldAmplitude(rec, sineAmp2);
    setOldAmplitude(rec, noiseAmp);
    rec.read(noiseBurst, noiseType);
    if (group != 2) {
        setOldAmplitude(rec, chirpAmp);
        rec.read(chirpBurst, chirpSource);
    }
    setOldAmplitude(rec, arbAmp);
    rec.read(arbBuffer, arbRate, arbStart, arbLength, inputSource);
}

void readSweptSource(OldRecord& rec) {
    setOldAmplitude(rec, sweptAmp);
    setOldAmplitude(rec, sweptIdealRef);
    rec.read(sweptRefUpper, sweptRefLower);
    setOldAmplitude(rec, sweptMaxSource);
    rec.read(sweptRamping, sweptRampRate, inputSource, sweptAutoLevel);
}

// ---- the Input and Trigger records

constexpr int16_t kSweptSineGroup = 3;

int16_t displayAGroup() {
    return measureGroup[0].getData(ePaoEntry);
}

void readCoupling(OldRecord& rec, rngEnumAction& coupling) {
    const int16_t c = rec.signedWord();
    (void)coupling.setRange(displayAGroup() == kSweptSineGroup ? 1 : 0);
    (void)coupling.setData(c, 0);
}

// The current ranges are even dBVpk values from -50 to 34: an odd old range
// goes up to the next even one.
int16_t translateOldRange(int16_t dbRange) {
    const int r = std::clamp(dbRange + 1, -50, 34);
    return static_cast<int16_t>(r & ~1);
}

int16_t translateOldTriggerLevel(int16_t level) {
    return std::clamp<int16_t>(level, -127, 127);
}

} // namespace

Status checkOldListHeader(socket& stream, int16_t index) {
    if (index < 0 || index >= kOldRecordCount) {
        VX_ASSERT(false, "index < kOldRecordCount");
        return kStatusFailed;
    }
    const std::string title = listTitle[kOldRecordList[index]];
    std::string got(title.size(), '\0');
    if (stream.readBytes(&got[0], static_cast<uint32_t>(got.size())).failed() || got != title) {
        errLog() << msg::eVx550Header << title << endLine;
        return kStatusFailed;
    }
    if (paoVersion.Serialize(&stream, 0, ePaoFile).failed()) {
        errLog() << msg::eInvalidFileFormat << endLine;
        return kStatusFailed;
    }
    const int16_t version = paoVersion.getData(ePaoFile);
    if (version < kLowestOldVersion) {
        errLog() << msg::eVx550Unsupported << endLine;
        errLog() << msg::eVx550Contact << endLine;
        return kStatusFailed;
    }
    if (version > kHighestOldVersion) {
        errLog() << msg::eVx550Newer << endLine;
        return kStatusFailed;
    }
    return kStatusOk;
}

Status readOldMeasSettings(socket& stream) {
    if (checkOldListHeader(stream, 1).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.skip(2);
    const int16_t selector = rec.signedWord();
    const int16_t oldMeasurement = rec.signedWord();
    rec.skip(12);
    if (rec.shortRead()) return rec.finish();
    if (selectOldMeasurement(oldMeasurement).failed()) return kStatusFailed;
    readEngineeringUnits(rec);
    rec.read(baseFreq[0]);
    if (selector == 0) readFftSettings(rec);
    if (selector == 1) readOctaveSettings(rec);
    if (selector == 2) readSweptSettings(rec);
    return rec.finish();
}

Status readOldViewSettings(socket& stream) {
    if (checkOldListHeader(stream, 2).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.read(view[0]);
    const uint16_t unitsCode = rec.word();
    rec.skip(2);
    if (!rec.shortRead()) translateOldUnits(unitsCode);
    rec.read(waterfallOrder[0], waterfallHeight[0], waterfallAngle[0], waterfallHidden[0],
             waterfallThreshold[0], markerVisibility[0], markerMode[0], markerType[0],
             markerSeek[0], markerWidth[0], markerRelative[0], markerOffset[0], markerRelX[0],
             markerRelY[0], harmonicCount[0], harmonicRatio[0], harmonicReadout[0], sidebandMode[0],
             traceSubtract[0], bandLimit[0]);
    rec.skip(12);
    rec.read(displayStyle[0], traceNumber[0], waterfallTraces[0], scaleY[0], scaleX[0], scaleZ[0],
             zoomStart[0], zoomFactor[0], xAxisScale[0], grid[0], gridDivisions[0], psdUnits[0]);
    readWithTwin(rec, transducerOut1);
    rec.read(dbReference[0]);
    return rec.finish();
}

Status readOldFileList(socket& stream) {
    if (paoVersion.getData(ePaoFile) <= kLowestOldVersion) return kStatusOk;
    return serializeList(fileLst, &stream, 0, 0, 1, 0);
}

Status readOldSourceSettings(socket& stream) {
    if (checkOldListHeader(stream, 3).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.skip(2);
    const int16_t group = displayAGroup();
    if (group >= 0 && group <= 2) readSignalSource(rec, group);
    if (group == kSweptSineGroup) readSweptSource(rec);
    return rec.finish();
}

Status readOldInputSettings(socket& stream) {
    if (checkOldListHeader(stream, 5).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.read(refImpedance, autoOffset, inputMode1, grounding1);
    readCoupling(rec, coupling1);
    rec.read(inputMode2, grounding2);
    readCoupling(rec, coupling2);
    rec.read(aaFilter1, aaFilter2, aWeighting1, aWeighting2, autoRange1, autoRange2, playbackStart,
             playbackLength, playbackMode, playbackSpeed);
    const int16_t range1 = rec.signedWord();
    const int16_t range2 = rec.signedWord();
    if (rec.shortRead()) return rec.finish();
    (void)inputRange1.setData(translateOldRange(range1));
    (void)inputRange2.setData(translateOldRange(range2));
    return kStatusOk;
}

Status readOldTriggerSettings(socket& stream) {
    if (checkOldListHeader(stream, 6).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.read(triggeredSourceMode);
    int16_t w[5];
    for (int16_t& v : w)
        v = rec.signedWord();
    rec.read(triggerSlope);
    const int32_t samplesA = rec.signedLong();
    const int32_t samplesB = rec.signedLong();
    if (rec.shortRead()) return rec.finish();
    (void)triggerMode.setData(w[0] == 2 ? 1 : 0, 0);
    (void)triggerSource.setData(w[0] == 0 ? 0 : static_cast<int16_t>(w[1] + 1), 0);
    (void)triggerLevel.setData(translateOldTriggerLevel(w[2]));
    (void)delayA.setSamples(samplesA);
    (void)delayB.setSamples(samplesB);
    return kStatusOk;
}

Status readOldSettings(socket& stream) {
    // Every record is read even after one fails; any failure fails the whole.
    const Status results[] = {readOldMeasSettings(stream),  readOldViewSettings(stream),
                              readOldFileList(stream),      readOldSourceSettings(stream),
                              readOldInputSettings(stream), readOldTriggerSettings(stream)};
    for (Status r : results)
        if (r.failed()) return kStatusFailed;
    return kStatusOk;
}

} // namespace vx
