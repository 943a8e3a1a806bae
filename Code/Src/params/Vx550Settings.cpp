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

Status selectOldMeasurement(Catalogue& cat, int16_t m) {
    const std::optional<MeasTranslation> t = translateOldMeasurement(m);
    if (!t) {
        errLog() << msg::eCannotTranslateMeasurement << endLine;
        return kStatusFailed;
    }
    (void)cat.measureGroup[0].setData(t->group, 0);
    (void)cat.measurement[0].setRange(t->group);
    (void)cat.measurement[0].setData(t->measurement, 0);
    if (t->averagingRange) (void)cat.measAveragingType[0].setRange(*t->averagingRange);
    return kStatusOk;
}

void readEngineeringUnits(Catalogue& cat, OldRecord& rec) {
    readWithTwin(rec, cat.engUnits1);
    readWithTwin(rec, cat.engUnits2);
    readWithTwin(rec, cat.euLabel1);
    readWithTwin(rec, cat.euLabel2);
    readWithTwin(rec, cat.euUserLabel1);
    readWithTwin(rec, cat.euUserLabel2);
    readWithTwin(rec, cat.euPerVolt1);
    readWithTwin(rec, cat.euPerVolt2);
}

// End, center and start frequency counts at the Base Freq. just read; the
// start is set last so that it ends up selected.
void setStartFrequency(Catalogue& cat, const uint8_t freqs[36]) {
    const double resolution = freqResolution(cat.baseFreq[0].getData(ePaoEntry));
    const auto hzAt = [&](int offset) {
        return static_cast<int32_t>(getLe32(freqs + offset)) * resolution;
    };
    (void)cat.startFreq[0].setHz(startFreqAction::eEnd, hzAt(24));
    (void)cat.startFreq[0].setHz(startFreqAction::eCenter, hzAt(0));
    (void)cat.startFreq[0].setHz(startFreqAction::eStart, hzAt(12));
}

// Old window indices above 5 are one higher than those of the current table.
void translateOldWindow(rngEnumAction& w) {
    const int16_t index = w.getData(ePaoEntry);
    if (index > 5) (void)w.setData(static_cast<int16_t>(index - 1), 0);
}

void readFftSettings(Catalogue& cat, OldRecord& rec) {
    uint8_t freqs[36];
    rec.bytes(freqs, sizeof freqs);
    rec.read(cat.span[0]);
    setStartFrequency(cat, freqs);
    rec.read(cat.liveMode, cat.window[0], cat.window[1]);
    translateOldWindow(cat.window[0]);
    translateOldWindow(cat.window[1]);
    uint16_t w[6];
    for (uint16_t& v : w)
        v = rec.word();
    (void)cat.measAveragingType[0].setData(w[2] != 0 ? static_cast<int16_t>(w[3] + 1) : 0, 0);
    (void)cat.averaging[0].setData(static_cast<int16_t>(w[4] & 1), 0);
    rec.read(cat.numAverages[0], cat.timeRecordIncr[0], cat.overloadReject[0], cat.rejectTrigger,
             cat.rejectInterval);
    rec.skip(8);
    rec.read(cat.phaseSuppress[0], cat.measTitle1[0], cat.measTitle2[0]);
}

void readOctaveSettings(Catalogue& cat, OldRecord& rec) {
    rec.read(cat.octLinearAvgMode[0], cat.powerBin[0]);
    rec.skip(10);
    rec.read(cat.octaveResolution[0], cat.octaveChannels[0], cat.confidence[0], cat.octaveSpan[0],
             cat.octIntegrationTime[0], cat.octAveragingType[0], cat.measTitle1[0],
             cat.measTitle2[0]);
}

void readSweptSettings(Catalogue& cat, OldRecord& rec) {
    rec.read(cat.sweptPoints[0], cat.sweptRepeat[0], cat.settleCycles[0], cat.integrationCycles[0],
             cat.sweptStart[0], cat.sweptStop[0], cat.settleTime[0], cat.sweptIntegrationTime[0],
             cat.autoResolution[0], cat.maxSkipSize[0], cat.fasterThreshold[0],
             cat.slowerThreshold[0], cat.sweptType[0], cat.phaseSuppress[0]);
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

void translateOldUnits(Catalogue& cat, uint16_t code) {
    if (code >= kOldUnitsCount) return;
    const OldUnits& u = kOldUnits[code];
    setUnlessKept(cat.dbMode[0], u.dbMode);
    setUnlessKept(cat.peakUnits[0], u.peakUnits);
    setUnlessKept(cat.phaseUnits[0], u.phaseUnits);
}

// ---- the Source record

// A 16-bit amplitude in 0.1 mV, taken unsigned.
void setOldAmplitude(OldRecord& rec, srcAmpAct& p) {
    const uint16_t amplitude = rec.word();
    if (!rec.shortRead()) (void)p.setData(amplitude);
}

void readSignalSource(Catalogue& cat, OldRecord& rec, int16_t group) {
    rec.read(cat.source);
    if (group == 2) rec.read(cat.sourcePeriod);
    rec.read(cat.sourceType, cat.sineFreq1, cat.sineFreq2);
    setOldAmplitude(rec, cat.sineAmp1);
    setOldAmplitude(rec, cat.sourceOffset);
    setOldAmplitude(rec, cat.sineAmp2);
    setOldAmplitude(rec, cat.noiseAmp);
    rec.read(cat.noiseBurst, cat.noiseType);
    if (group != 2) {
        setOldAmplitude(rec, cat.chirpAmp);
        rec.read(cat.chirpBurst, cat.chirpSource);
    }
    setOldAmplitude(rec, cat.arbAmp);
    rec.read(cat.arbBuffer, cat.arbRate, cat.arbStart, cat.arbLength, cat.inputSource);
}

void readSweptSource(Catalogue& cat, OldRecord& rec) {
    setOldAmplitude(rec, cat.sweptAmp);
    setOldAmplitude(rec, cat.sweptIdealRef);
    rec.read(cat.sweptRefUpper, cat.sweptRefLower);
    setOldAmplitude(rec, cat.sweptMaxSource);
    rec.read(cat.sweptRamping, cat.sweptRampRate, cat.inputSource, cat.sweptAutoLevel);
}

// ---- the Input and Trigger records

constexpr int16_t kSweptSineGroup = 3;

int16_t displayAGroup(Catalogue& cat) {
    return cat.measureGroup[0].getData(ePaoEntry);
}

void readCoupling(Catalogue& cat, OldRecord& rec, rngEnumAction& coupling) {
    const int16_t c = rec.signedWord();
    (void)coupling.setRange(displayAGroup(cat) == kSweptSineGroup ? 1 : 0);
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

Status checkOldListHeader(Catalogue& cat, socket& stream, int16_t index) {
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
    if (cat.lists.paoVersion.Serialize(&stream, 0, ePaoFile).failed()) {
        errLog() << msg::eInvalidFileFormat << endLine;
        return kStatusFailed;
    }
    const int16_t version = cat.lists.paoVersion.getData(ePaoFile);
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

Status readOldMeasSettings(Catalogue& cat, socket& stream) {
    if (checkOldListHeader(cat, stream, 1).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.skip(2);
    const int16_t selector = rec.signedWord();
    const int16_t oldMeasurement = rec.signedWord();
    rec.skip(12);
    if (rec.shortRead()) return rec.finish();
    if (selectOldMeasurement(cat, oldMeasurement).failed()) return kStatusFailed;
    readEngineeringUnits(cat, rec);
    rec.read(cat.baseFreq[0]);
    if (selector == 0) readFftSettings(cat, rec);
    if (selector == 1) readOctaveSettings(cat, rec);
    if (selector == 2) readSweptSettings(cat, rec);
    return rec.finish();
}

Status readOldViewSettings(Catalogue& cat, socket& stream) {
    if (checkOldListHeader(cat, stream, 2).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.read(cat.view[0]);
    const uint16_t unitsCode = rec.word();
    rec.skip(2);
    if (!rec.shortRead()) translateOldUnits(cat, unitsCode);
    rec.read(cat.waterfallOrder[0], cat.waterfallHeight[0], cat.waterfallAngle[0],
             cat.waterfallHidden[0], cat.waterfallThreshold[0], cat.markerVisibility[0],
             cat.markerMode[0], cat.markerType[0], cat.markerSeek[0], cat.markerWidth[0],
             cat.markerRelative[0], cat.markerOffset[0], cat.markerRelX[0], cat.markerRelY[0],
             cat.harmonicCount[0], cat.harmonicRatio[0], cat.harmonicReadout[0],
             cat.sidebandMode[0], cat.traceSubtract[0], cat.bandLimit[0]);
    rec.skip(12);
    rec.read(cat.displayStyle[0], cat.traceNumber[0], cat.waterfallTraces[0], cat.scaleY[0],
             cat.scaleX[0], cat.scaleZ[0], cat.zoomStart[0], cat.zoomFactor[0], cat.xAxisScale[0],
             cat.grid[0], cat.gridDivisions[0], cat.psdUnits[0]);
    readWithTwin(rec, cat.transducerOut1);
    rec.read(cat.dbReference[0]);
    return rec.finish();
}

Status readOldFileList(Catalogue& cat, socket& stream) {
    if (cat.lists.paoVersion.getData(ePaoFile) <= kLowestOldVersion) return kStatusOk;
    return cat.lists.serializeList(fileLst, &stream, 0, 0, 1, 0);
}

Status readOldSourceSettings(Catalogue& cat, socket& stream) {
    if (checkOldListHeader(cat, stream, 3).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.skip(2);
    const int16_t group = displayAGroup(cat);
    if (group >= 0 && group <= 2) readSignalSource(cat, rec, group);
    if (group == kSweptSineGroup) readSweptSource(cat, rec);
    return rec.finish();
}

Status readOldInputSettings(Catalogue& cat, socket& stream) {
    if (checkOldListHeader(cat, stream, 5).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.read(cat.refImpedance, cat.autoOffset, cat.inputMode1, cat.grounding1);
    readCoupling(cat, rec, cat.coupling1);
    rec.read(cat.inputMode2, cat.grounding2);
    readCoupling(cat, rec, cat.coupling2);
    rec.read(cat.aaFilter1, cat.aaFilter2, cat.aWeighting1, cat.aWeighting2, cat.autoRange1,
             cat.autoRange2, cat.playbackStart, cat.playbackLength, cat.playbackMode,
             cat.playbackSpeed);
    const int16_t range1 = rec.signedWord();
    const int16_t range2 = rec.signedWord();
    if (rec.shortRead()) return rec.finish();
    (void)cat.inputRange1.setData(translateOldRange(range1));
    (void)cat.inputRange2.setData(translateOldRange(range2));
    return kStatusOk;
}

Status readOldTriggerSettings(Catalogue& cat, socket& stream) {
    if (checkOldListHeader(cat, stream, 6).failed()) return kStatusFailed;
    OldRecord rec(stream);
    rec.read(cat.triggeredSourceMode);
    int16_t w[5];
    for (int16_t& v : w)
        v = rec.signedWord();
    rec.read(cat.triggerSlope);
    const int32_t samplesA = rec.signedLong();
    const int32_t samplesB = rec.signedLong();
    if (rec.shortRead()) return rec.finish();
    (void)cat.triggerMode.setData(w[0] == 2 ? 1 : 0, 0);
    (void)cat.triggerSource.setData(w[0] == 0 ? 0 : static_cast<int16_t>(w[1] + 1), 0);
    (void)cat.triggerLevel.setData(translateOldTriggerLevel(w[2]));
    (void)cat.delayA.setSamples(samplesA);
    (void)cat.delayB.setSamples(samplesB);
    return kStatusOk;
}

Status readOldSettings(Catalogue& cat, socket& stream) {
    // Every record is read even after one fails; any failure fails the whole.
    const Status results[] = {
        readOldMeasSettings(cat, stream),  readOldViewSettings(cat, stream),
        readOldFileList(cat, stream),      readOldSourceSettings(cat, stream),
        readOldInputSettings(cat, stream), readOldTriggerSettings(cat, stream)};
    for (Status r : results)
        if (r.failed()) return kStatusFailed;
    return kStatusOk;
}

} // namespace vx
