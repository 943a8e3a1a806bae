// The parameter catalogue: every instrument setting as a static object, built
// in one fixed order after the registry, and the /M modal values put into it.
#include "params/Catalog.h"

#include <initializer_list>

#include "base/Options.h"
#include "params/CatalogTexts.h"
#include "params/STARTUP.h"

namespace vx::cat {

namespace {

using namespace vx::texts;

constexpr uint16_t groups(std::initializer_list<int> list) {
    uint16_t mask = 0;
    for (int g : list)
        mask = static_cast<uint16_t>(mask | 1u << g);
    return mask;
}

constexpr uint16_t kAll = 0;
constexpr uint16_t kSix = groups({0, 1, 2, 3, 4, 5});
constexpr uint16_t kNoSwept = groups({0, 1, 2, 4, 5});

// paoId of a member; display B twins belong to no list.
constexpr uint32_t member(int16_t list, uint16_t groupMask, int16_t display = 0) {
    return static_cast<uint32_t>(display == 1 ? int16_t{nlLst} : list) << 16 | groupMask;
}

constexpr uint32_t kFreeStanding = static_cast<uint32_t>(nlLst) << 16;

// paoFlags: priority, the PAO version that introduced the member, the twin bit.
constexpr int16_t flags(int priority, int version, bool twin = false) {
    return static_cast<int16_t>(version << 11 | (priority & 0x1FF) << 2 | (twin ? 2 : 0));
}

constexpr int16_t kNoDisplay = -1;

template <size_t N>
enumParAction plainEnum(int16_t def, const char* const (&names)[N], uint32_t id, int16_t fl,
                        int16_t display = 0) {
    return enumParAction(def, highest(names), names, nullptr, id, fl, 0, display);
}

template <size_t N>
Twin<enumParAction> twinEnum(int16_t def, const char* const (&names)[N], int16_t list,
                             uint16_t groupMask, int priority, int version) {
    return Twin<enumParAction>([&](int16_t d) {
        return plainEnum(def, names, member(list, groupMask, d), flags(priority, version, true), d);
    });
}

Twin<intParAction> twinInt(int16_t def, const char* format, int16_t list, uint16_t groupMask,
                           int priority, int version) {
    return Twin<intParAction>([&](int16_t d) {
        return intParAction(def, nullptr, format, 0, 0, 0, member(list, groupMask, d),
                            flags(priority, version, true), 0, d);
    });
}

Twin<floatParAction> twinFloat(float def, const char* format, int16_t list, uint16_t groupMask,
                               int priority, int version) {
    return Twin<floatParAction>([&](int16_t d) {
        return floatParAction(def, nullptr, format, 0, 0, 0, member(list, groupMask, d),
                              flags(priority, version, true), 0, d);
    });
}

Twin<longParAction> twinLong(int32_t def, const char* format, int16_t list, uint16_t groupMask,
                             int priority, int version) {
    return Twin<longParAction>([&](int16_t d) {
        return longParAction(def, nullptr, format, 0, 0, 0, member(list, groupMask, d),
                             flags(priority, version, true), 0, d);
    });
}

Twin<floatUnitAction> twinUnits(float def, const UNIT_SPEC* units, int16_t list, uint16_t groupMask,
                                int priority, int version) {
    return Twin<floatUnitAction>([&](int16_t d) {
        return floatUnitAction(def, nullptr, units, 0, 0, 0, member(list, groupMask, d),
                               flags(priority, version, true), 0, d);
    });
}

Twin<strActionObj> twinText(const char* def, int16_t maxLen, int16_t list, uint16_t groupMask,
                            int priority, int version) {
    return Twin<strActionObj>([&](int16_t d) {
        return strActionObj(def, maxLen, d, nullptr, nullptr, member(list, groupMask, d),
                            flags(priority, version, true), 0);
    });
}

template <size_t N>
rngEnumAction plainRange(RangeRecords table, int16_t def, const char* const (&names)[N],
                         uint32_t id, int16_t fl, int16_t display = 0) {
    return rngEnumAction(table, 0, def, highest(names), names, nullptr, id, fl, 0, display);
}

intParAction plainInt(int16_t def, const char* format, uint32_t id, int16_t fl,
                      int16_t display = 0) {
    return intParAction(def, nullptr, format, 0, 0, 0, id, fl, 0, display);
}

floatParAction plainFloat(float def, const char* format, uint32_t id, int16_t fl) {
    return floatParAction(def, nullptr, format, 0, 0, 0, id, fl, 0, 0);
}

longParAction plainLong(int32_t def, const char* format, uint32_t id, int16_t fl,
                        int16_t display = 0) {
    return longParAction(def, nullptr, format, 0, 0, 0, id, fl, 0, display);
}

floatUnitAction plainUnits(float def, const UNIT_SPEC* units, uint32_t id, int16_t fl) {
    return floatUnitAction(def, nullptr, units, 0, 0, 0, id, fl, 0, 0);
}

} // namespace

// ---- list 0: process settings

enumParAction rpmDisplaySwitch = plainEnum(0, offOn, 0, 0);

// ---- list 1 "Filter List:". The settings that others derive from come first.

Twin<enumParAction> baseFreq = twinEnum(1, texts::baseFreq, filterLst, kSix, 200, 1);
Twin<enumParAction> fftLines = twinEnum(2, texts::fftLines, filterLst, groups({0, 1, 5}), 185, 1);
Twin<spanActType> span([](int16_t d) {
    return spanActType(19, member(filterLst, groups({0, 1, 5}), d), flags(190, 1, true), d);
});
Twin<startFreqAction> startFreq([](int16_t d) {
    return startFreqAction(0, 209715200, 419430400, member(filterLst, groups({0, 1, 5}), d),
                           flags(195, 1, true), d);
});
Twin<enumParAction> octaveResolution =
    twinEnum(1, texts::octaveResolution, filterLst, groups({2}), 110, 1);

Twin<enumParAction> measureGroup = twinEnum(0, measureGroups, filterLst, kSix, 250, 1);
Twin<enumParAction> engUnits1 = twinEnum(0, offOn, filterLst, kSix, 240, 5);
Twin<enumParAction> engUnits2 = twinEnum(0, offOn, filterLst, kSix, 235, 5);
Twin<euSensAct> euPerVolt1([](int16_t d) {
    return euSensAct(1, member(filterLst, kSix, d), flags(210, 5, true), d);
});
Twin<euSensAct> euPerVolt2([](int16_t d) {
    return euSensAct(1, member(filterLst, kSix, d), flags(205, 5, true), d);
});
Twin<binDelayAct> histogramLength([](int16_t d) {
    return binDelayAct(0.0039f, 1, 2096128, 2, member(filterLst, groups({5}), d),
                       flags(202, 5, true), d);
});
rngEnumAction channelMode = plainRange(RangeRecords(ranges::channelMode), 1, texts::channelMode,
                                       member(filterLst, groups({0, 1, 2, 5})), flags(201, 5));
Twin<enumParAction> histogramBins =
    twinEnum(6, texts::histogramBins, filterLst, groups({5}), 184, 1);
Twin<rngEnumAction> window([](int16_t d) {
    return plainRange(d == 1 ? RangeRecords(ranges::windowB) : RangeRecords(ranges::windowA), 3,
                      windows, member(filterLst, groups({0, 1, 4}), d), flags(180, 1, true), d);
});
enumParAction forceExp1 = plainEnum(0, forceExp, member(filterLst, groups({0, 4})), flags(179, 5));
enumParAction forceExp2 = plainEnum(1, forceExp, member(filterLst, groups({0, 4})), flags(178, 5));
Twin<enumParAction> linearAvgMode =
    twinEnum(0, texts::linearAvgMode, filterLst, groups({0, 1, 5}), 175, 1);
Twin<enumParAction> octLinearAvgMode =
    twinEnum(0, texts::octLinearAvgMode, filterLst, groups({2}), 171, 1);
Twin<binDelayAct> forceLength([](int16_t d) {
    return binDelayAct(0.003f, 1, 2048, 1, member(filterLst, groups({0, 4}), d),
                       flags(170, 5, true), d);
});
Twin<floatParAction> expoTC = twinFloat(50, "%.2f%%", filterLst, groups({0, 4}), 165, 5);
Twin<enumParAction> averaging = twinEnum(1, texts::averaging, filterLst, groups({0, 1, 4}), 150, 5);
Twin<enumParAction> powerBin = twinEnum(0, texts::powerBin, filterLst, groups({2}), 149, 1);
Twin<intParAction> numAverages = twinInt(2, "%4d", filterLst, groups({0, 1, 4}), 145, 1);
Twin<floatParAction> timeRecordIncr = twinFloat(100, "%.2f%%", filterLst, groups({0}), 140, 1);
Twin<enumParAction> overloadReject = twinEnum(0, offOn, filterLst, groups({0, 1}), 135, 1);
enumParAction rejectTrigger =
    plainEnum(0, texts::rejectTrigger, member(filterLst, groups({0})), flags(134, 1));
floatUnitAction rejectInterval =
    plainUnits(2, timeUnits, member(filterLst, groups({0})), flags(131, 1));
Twin<enumParAction> octaveChannels =
    twinEnum(0, texts::octaveChannels, filterLst, groups({2}), 105, 1);
Twin<enumParAction> confidence = twinEnum(0, texts::confidence, filterLst, groups({2}), 100, 1);
Twin<octActType> octaveSpan([](int16_t d) {
    return octActType(1, 18, 11, member(filterLst, groups({2}), d), flags(95, 1, true), d);
});
Twin<floatUnitAction> octIntegrationTime =
    twinUnits(0.1f, timeUnits, filterLst, groups({2}), 90, 1);
Twin<enumParAction> octAveragingType =
    twinEnum(1, texts::octAveragingType, filterLst, groups({2}), 85, 1);
Twin<intParAction> sweptPoints = twinInt(200, "%4d", filterLst, groups({3}), 80, 1);
Twin<enumParAction> sweptRepeat = twinEnum(1, shotMode, filterLst, groups({3}), 75, 1);
Twin<longParAction> settleCycles = twinLong(1, "%4ld", filterLst, groups({3}), 70, 1);
Twin<longParAction> integrationCycles = twinLong(10, "%4ld", filterLst, groups({3}), 65, 1);
Twin<floatUnitAction> sweptStart = twinUnits(1000, freqUnits, filterLst, groups({3}), 60, 1);
Twin<floatUnitAction> sweptStop = twinUnits(20000, freqUnits, filterLst, groups({3}), 55, 1);
Twin<blockParAction> settleTime([](int16_t d) {
    return blockParAction(2, member(filterLst, groups({3}), d), flags(50, 1, true), d);
});
Twin<blockParAction> sweptIntegrationTime([](int16_t d) {
    return blockParAction(4, member(filterLst, groups({3}), d), flags(45, 1, true), d);
});
Twin<enumParAction> autoResolution = twinEnum(0, offOn, filterLst, groups({3}), 40, 1);
Twin<enumParAction> maxSkipSize = twinEnum(2, skipSize, filterLst, groups({3}), 35, 1);
Twin<floatParAction> fasterThreshold =
    twinFloat(0.1f, "< %10.4g dB", filterLst, groups({3}), 30, 1);
Twin<floatParAction> slowerThreshold =
    twinFloat(0.5f, "> %10.4g dB", filterLst, groups({3}), 25, 1);
Twin<floatParAction> minRpm = twinFloat(30, "%10.4g", filterLst, groups({4}), 21, 5);
Twin<enumParAction> sweptType = twinEnum(0, linearLog, filterLst, groups({3}), 20, 1);
Twin<floatParAction> maxRpm = twinFloat(60000, "%10.4g", filterLst, groups({4}), 19, 5);
Twin<floatParAction> maxOrder = twinFloat(10, "%10.4g", filterLst, groups({4}), 18, 5);
Twin<DOFloatParAction> deltaOrder([](int16_t d) {
    return DOFloatParAction(0.1f, "%10.4g", member(filterLst, groups({4}), d), flags(17, 5, true),
                            d);
});
Twin<OTFloatParAction> track1Value([](int16_t d) {
    return OTFloatParAction(1, "%10.4g", member(filterLst, groups({4}), d), flags(14, 5, true), d);
});
Twin<enumParAction> track1Bnc = twinEnum(0, trackBnc, filterLst, groups({4}), 13, 5);
Twin<OTFloatParAction> track2Value([](int16_t d) {
    return OTFloatParAction(1, "%10.4g", member(filterLst, groups({4}), d), flags(12, 5, true), d);
});
Twin<enumParAction> track2Bnc = twinEnum(1, trackBnc, filterLst, groups({4}), 11, 5);
Twin<intParAction> trackPoints = twinInt(400, "%4d", filterLst, groups({4}), 9, 5);

// ---- list 2 "Delay List:" (the waterfall settings)

namespace {
Twin<rngEnumAction> waterfallMode([](int16_t d) {
    return plainRange(d == 1 ? RangeRecords(ranges::waterfallB) : RangeRecords(ranges::waterfallA),
                      0, texts::waterfallMode, member(delayLst, kNoSwept, d), flags(130, 1, true),
                      d);
});
Twin<enumParAction> waterfallStore = twinEnum(0, texts::waterfallStore, delayLst, kNoSwept, 129, 5);
Twin<intParAction> waterfallDepth = twinInt(500, "%4d", delayLst, kNoSwept, 125, 1);
Twin<wfSkipParAction> waterfallSkip([](int16_t d) {
    return wfSkipParAction(30, "%4d", member(delayLst, groups({0, 1, 4, 5}), d),
                           flags(120, 1, true), d);
});
Twin<wfOctSkipParAction> waterfallOctSkip([](int16_t d) {
    return wfOctSkipParAction(0.1f, timeUnits, member(delayLst, groups({2}), d),
                              flags(115, 1, true), d);
});
Twin<enumParAction> orderWaterfallMode =
    twinEnum(0, continuousOneShot, delayLst, groups({4}), 16, 5);

} // namespace
Twin<enumParAction> orderWaterfallSwitch = twinEnum(0, offOn, delayLst, groups({4}), 8, 5);
// ---- list 3 "Meas Settings:"

Twin<measParAction> measurement([](int16_t d) {
    return measParAction(
        d == 1 ? RangeRecords(ranges::measurementB) : RangeRecords(ranges::measurementA), 0,
        d == 1 ? 1 : 0, measurements, member(measLst, kSix, d), flags(245, 1, true), d);
});
Twin<enumParAction> measAveraging = twinEnum(1, noYes, measLst, groups({0, 1, 4}), 160, 5);
Twin<rngEnumAction> measAveragingType([](int16_t d) {
    return plainRange(
        d == 1 ? RangeRecords(ranges::measAveragingB) : RangeRecords(ranges::measAveragingA), 0,
        texts::measAveragingType, member(measLst, groups({0, 1, 4}), d), flags(155, 5, true), d);
});
Twin<strActionObj> measTitle1 = twinText("", 40, measLst, kNoSwept, 5, 1);
Twin<strActionObj> measTitle2 = twinText("", 40, measLst, kNoSwept, 4, 1);

// ---- list 4 "View Settings:"

Twin<viewParAction> view([](int16_t d) {
    return viewParAction(0, views, member(viewLst, kAll, d), flags(100, 1, true), d);
});
Twin<unitParAction> units([](int16_t d) {
    return unitParAction(0, 0, member(viewLst, kAll, d), flags(90, 1, true), d);
});
Twin<enumParAction> waterfallOrder = twinEnum(0, texts::waterfallOrder, viewLst, kAll, 82, 1);
Twin<intParAction> waterfallHeight = twinInt(70, "%3d%%", viewLst, kAll, 80, 1);
Twin<wfAngParAction> waterfallAngle([](int16_t d) {
    return wfAngParAction(-30, member(viewLst, kAll, d), flags(78, 1, true), d);
});
Twin<enumParAction> waterfallHidden = twinEnum(0, offOn, viewLst, kAll, 76, 1);
Twin<intParAction> waterfallThreshold = twinInt(0, "%3d%%", viewLst, kAll, 74, 1);
Twin<enumParAction> markerVisibility = twinEnum(0, visibility, viewLst, kAll, 72, 1);
Twin<enumParAction> markerMode = twinEnum(1, texts::markerMode, viewLst, kAll, 70, 1);
Twin<enumParAction> markerType = twinEnum(0, texts::markerType, viewLst, kAll, 68, 1);
Twin<enumParAction> markerSeek = twinEnum(0, texts::markerSeek, viewLst, kAll, 66, 1);
Twin<enumParAction> markerWidth = twinEnum(0, texts::markerWidth, viewLst, kAll, 64, 1);
Twin<enumParAction> markerRelative = twinEnum(0, texts::markerRelative, viewLst, kAll, 62, 1);
Twin<enumParAction> markerOffset = twinEnum(0, offOn, viewLst, kAll, 60, 1);
Twin<relXAction> markerRelX([](int16_t d) {
    return relXAction(0, "%10.5g", member(viewLst, kAll, d), flags(58, 1, true), d);
});
Twin<relYAction> markerRelY([](int16_t d) {
    return relYAction(0, "%10.5g", member(viewLst, kAll, d), flags(56, 1, true), d);
});
Twin<intParAction> harmonicCount = twinInt(1, "%10d", viewLst, kAll, 54, 1);
Twin<enumParAction> harmonicRatio = twinEnum(0, ratio, viewLst, kAll, 53, 1);
Twin<rdOutParAction> harmonicReadout([](int16_t d) {
    return rdOutParAction(0, "#%d", member(viewLst, kAll, d), flags(52, 1, true), d);
});
Twin<enumParAction> sidebandMode = twinEnum(0, absRel, viewLst, kAll, 50, 1);
Twin<enumParAction> traceSubtract = twinEnum(0, subtract, viewLst, kAll, 49, 1);
Twin<enumParAction> bandLimit = twinEnum(0, lowerUpper, viewLst, kAll, 48, 1);
Twin<floatParAction> sidebandSeparation = twinFloat(0, "%10.4g", viewLst, kAll, 46, 5);
Twin<enumParAction> displayStyle = twinEnum(0, normalWaterfall, viewLst, kAll, 44, 1);
Twin<intParAction> traceNumber = twinInt(1, "%d", viewLst, kAll, 42, 1);
Twin<intParAction> waterfallTraces = twinInt(10, "%4d", viewLst, kAll, 40, 1);
Twin<scaleAction> scaleY([](int16_t d) {
    return scaleAction(-100, 100, 0, 0, member(viewLst, kAll, d), flags(38, 1, true), d);
});
Twin<scaleAction> scaleX([](int16_t d) {
    return scaleAction(0, 100, 1, 1, member(viewLst, kAll, d), flags(36, 1, true), d);
});
Twin<scaleAction> scaleZ([](int16_t d) {
    return scaleAction(0, 100, 0, 1, member(viewLst, kAll, d), flags(34, 1, true), d);
});
Twin<longParAction> zoomStart = twinLong(0, "%4ld", viewLst, kAll, 32, 1);
Twin<intParAction> zoomFactor = twinInt(1, "x%d", viewLst, kAll, 30, 1);
Twin<enumParAction> coordinates = twinEnum(0, rectPolar, viewLst, kAll, 29, 5);
Twin<enumParAction> xAxisScale = twinEnum(0, linearLog, viewLst, kAll, 28, 1);
Twin<enumParAction> grid = twinEnum(1, offOn, viewLst, kAll, 26, 1);
Twin<enumParAction> gridDivisions = twinEnum(1, texts::gridDivisions, viewLst, kAll, 24, 1);
Twin<enumParAction> psdUnits = twinEnum(0, offOn, viewLst, kAll, 22, 1);
Twin<enumParAction> transducerOut1 =
    twinEnum(0, transducerUnits, viewLst, groups({0, 3, 4}), 20, 5);
Twin<enumParAction> transducerOut2 =
    twinEnum(0, transducerUnits, viewLst, groups({0, 3, 4}), 19, 5);
Twin<floatParAction> dbReference = twinFloat(0, "%10.4e", viewLst, kAll, 18, 1);
Twin<floatParAction> phaseSuppress = twinFloat(0.5f, "%10.4g", viewLst, groups({0, 3}), 15, 1);
Twin<enumParAction> dbMode = twinEnum(1, dbModes, viewLst, kAll, 13, 5);
Twin<enumParAction> phaseUnits = twinEnum(0, texts::phaseUnits, viewLst, kAll, 11, 5);
Twin<enumParAction> peakUnits = twinEnum(1, texts::peakUnits, viewLst, kAll, 9, 5);
Twin<enumParAction> euLabel1 = twinEnum(0, euLabels, viewLst, kSix, 8, 5);
Twin<enumParAction> euLabel2 = twinEnum(0, euLabels, viewLst, kSix, 7, 5);
Twin<strActionObj> euUserLabel1 = twinText("EU", 6, viewLst, kSix, 6, 5);
Twin<strActionObj> euUserLabel2 = twinText("EU", 6, viewLst, kSix, 5, 5);

// ---- list 5 "Source Settings:"

intActionObj source(0, nullptr, member(sourceLst, kNoSwept), flags(100, 1), 0, 0);
floatUnitAction sourcePeriod =
    plainUnits(0.1f, timeUnits, member(sourceLst, groups({2, 4})), flags(91, 1));
intActionObj sourceType(0, nullptr, member(sourceLst, kNoSwept), flags(90, 1), 0, 0);
freqAct sineFreq1(41943040, member(sourceLst, kNoSwept), flags(60, 1), kNoDisplay);
freqAct sineFreq2(209715200, member(sourceLst, kNoSwept), flags(58, 1), kNoDisplay);
srcSineAmp sineAmp1(5000, 0, member(sourceLst, kNoSwept), flags(56, 1), 0);
srcSineAmp sourceOffset(0, 2, member(sourceLst, kSix), flags(55, 3), 0);
srcSineAmp sineAmp2(0, 1, member(sourceLst, kNoSwept), flags(54, 1), 0);
srcNoiseAmp noiseAmp(10000, member(sourceLst, kNoSwept), flags(52, 1), 0);
floatParAction noiseBurst = plainFloat(100, "%.3f %%", member(sourceLst, kNoSwept), flags(50, 1));
enumParAction noiseType = plainEnum(0, texts::noiseType, member(sourceLst, kNoSwept), flags(48, 1));
srcAmpAct chirpAmp(10000, member(sourceLst, groups({0, 1, 5})), flags(46, 1), 0);
floatParAction chirpBurst =
    plainFloat(100, "%5.02f %%", member(sourceLst, groups({0, 1, 5})), flags(44, 1));
enumParAction chirpSource =
    plainEnum(0, texts::chirpSource, member(sourceLst, groups({0, 1, 5})), flags(42, 1));
arbAmpAct arbAmp(10000, member(sourceLst, kNoSwept), flags(40, 1), 0);
enumParAction arbBuffer = plainEnum(1, texts::arbBuffer, member(sourceLst, kNoSwept), flags(38, 1));
sampleActType arbRate(19, member(sourceLst, kNoSwept), flags(36, 1), kNoDisplay);
longParAction arbStart = plainLong(0, "%ld", member(sourceLst, kNoSwept), flags(34, 1));
intParAction arbLength = plainInt(500, "%4d kPts", member(sourceLst, kNoSwept), flags(32, 1));
srcSweptAmp sweptAmp(10000, member(sourceLst, groups({3})), flags(30, 1), 0);
srcSweptAmp sweptIdealRef(1000, member(sourceLst, groups({3})), flags(28, 1), 0);
floatParAction sweptRefUpper =
    plainFloat(3, "%5.01f dB", member(sourceLst, groups({3})), flags(26, 1));
floatParAction sweptRefLower =
    plainFloat(-3, "%5.01f dB", member(sourceLst, groups({3})), flags(24, 1));
srcSweptAmp sweptMaxSource(10000, member(sourceLst, groups({3})), flags(22, 1), 0);
enumParAction sweptRamping = plainEnum(0, offOn, member(sourceLst, groups({3})), flags(20, 1));
floatParAction sweptRampRate =
    plainFloat(1, "%10.3g V/S", member(sourceLst, groups({3})), flags(18, 1));
enumParAction inputSource = plainEnum(0, texts::inputSource, member(sourceLst, kSix), flags(2, 1));
enumParAction sweptAutoLevel = plainEnum(0, autoLevel, member(sourceLst, groups({3})), flags(1, 1));

// ---- list 6 "Limit Setings:"

namespace {
Twin<enumParAction> limitDisplay = twinEnum(1, hideShow, limitLst, kAll, 10, 1);
Twin<enumParAction> limitTest = twinEnum(0, offOn, limitLst, kAll, 5, 1);
Twin<enumParAction> limitBeep = twinEnum(0, offOn, limitLst, kAll, 2, 1);

} // namespace
// ---- list 7 "Input Settings:"

namespace {
enumParAction tachChannel = plainEnum(0, texts::tachChannel, member(inputLst, kAll), flags(65, 5));
} // namespace
floatUnitAction tachHoldoff = plainUnits(2e-06f, timeUnits, member(inputLst, kAll), flags(62, 5));
enumParAction holdoffEnable = plainEnum(0, offOn, member(inputLst, kAll), flags(61, 5));
floatParAction pulsesPerRev = plainFloat(1, "%10.4g", member(inputLst, kAll), flags(60, 5));
enumParAction tachTrig = plainEnum(2, texts::tachTrig, member(inputLst, kAll), flags(59, 5));
floatParAction tachLevel = plainFloat(0, "%4.02f V", member(inputLst, kAll), flags(58, 5));
enumParAction tachSlope = plainEnum(0, slope, member(inputLst, kAll), flags(57, 5));
namespace {
enumParAction tachSwitch = plainEnum(0, offOn, member(inputLst, kAll), flags(56, 5));
} // namespace
impedParAction refImpedance(50, "%10.4g ", member(inputLst, kAll), flags(40, 1), 0);
enumParAction autoOffset = plainEnum(0, offOn, member(inputLst, kAll), flags(38, 1));
enumParAction inputMode1 = plainEnum(0, inputMode, member(inputLst, kAll), flags(36, 1));
enumParAction grounding1 = plainEnum(0, grounding, member(inputLst, kAll), flags(34, 1));
rngEnumAction coupling1 =
    plainRange(RangeRecords(ranges::coupling1), 0, coupling, member(inputLst, kAll), flags(32, 1));
enumParAction inputMode2 = plainEnum(0, inputMode, member(inputLst, kAll), flags(30, 1));
enumParAction grounding2 = plainEnum(0, grounding, member(inputLst, kAll), flags(28, 1));
rngEnumAction coupling2 =
    plainRange(RangeRecords(ranges::coupling2), 0, coupling, member(inputLst, kAll), flags(26, 1));
enumParAction aaFilter1 = plainEnum(1, offOn, member(inputLst, kAll), flags(24, 1));
enumParAction aaFilter2 = plainEnum(1, offOn, member(inputLst, kAll), flags(22, 1));
enumParAction aWeighting1 = plainEnum(0, offOn, member(inputLst, kAll), flags(20, 1));
enumParAction aWeighting2 = plainEnum(0, offOn, member(inputLst, kAll), flags(18, 1));
enumParAction autoRange1 = plainEnum(0, autoRange, member(inputLst, kAll), flags(16, 1));
enumParAction autoRange2 = plainEnum(0, autoRange, member(inputLst, kAll), flags(14, 1));
longParAction playbackStart = plainLong(0, "%ld", member(inputLst, kAll), flags(12, 1), kNoDisplay);
intParAction playbackLength =
    plainInt(500, "%4d kPts/ch", member(inputLst, kAll), flags(10, 1), kNoDisplay);
enumParAction playbackMode =
    plainEnum(0, texts::playbackMode, member(inputLst, kAll), flags(8, 1), kNoDisplay);
enumParAction playbackSpeed =
    plainEnum(0, texts::playbackSpeed, member(inputLst, kAll), flags(6, 1), kNoDisplay);
inpRngAct inputRange1(0, 0, member(inputLst, kAll), flags(2, 1), 0);
inpRngAct inputRange2(0, 1, member(inputLst, kAll), flags(1, 1), 0);

// ---- list 8 "Trigger Settings:"

namespace {
enumParAction armSwitch = plainEnum(1, offOn, member(triggerLst, kAll), flags(41, 5));
} // namespace
floatUnitAction timeArmStep = plainUnits(0.1f, timeUnits, member(triggerLst, kAll), flags(40, 5));
enumParAction rpmDeltaEnable = plainEnum(0, rpmDelta, member(triggerLst, kAll), flags(30, 5));
floatParAction startRpmArm = plainFloat(50, "%10.4g", member(triggerLst, kAll), flags(29, 5));
floatParAction stopRpmArm = plainFloat(10, "%10.4g", member(triggerLst, kAll), flags(28, 5));
enumParAction triggeredSourceMode =
    plainEnum(1, trigSourceMode, member(triggerLst, kAll), flags(11, 1));
enumParAction triggerMode = plainEnum(0, texts::triggerMode, member(triggerLst, kAll), flags(6, 1));
enumParAction triggerSource =
    plainEnum(0, texts::triggerSource, member(triggerLst, kAll), flags(5, 1));
trigLevAct triggerLevel(0, member(triggerLst, kAll), flags(4, 1), 0);
enumParAction triggerSlope = plainEnum(0, slope, member(triggerLst, kAll), flags(3, 1));
binDelayAct delayA(0, -8000, 100000, 0, member(triggerLst, groups({0, 1, 5})), flags(2, 5), 0);
binDelayAct delayB(0, -8000, 100000, 0, member(triggerLst, groups({0, 1, 5})), flags(1, 5), 0);

// ---- list 9 "General System Settings:"

namespace {
longParAction systemSerial = plainLong(0, "%ld", member(systemLst, kAll), flags(33, 1));
enumParAction keyClick = plainEnum(1, quietNoisy, member(systemLst, kAll), flags(32, 1));
enumParAction controlSource = plainEnum(1, hostInstrument, member(systemLst, kAll), flags(31, 1));
enumParAction printerType = plainEnum(5, texts::printerType, member(systemLst, kAll), flags(30, 1));
enumParAction plotterType = plainEnum(1, texts::plotterType, member(systemLst, kAll), flags(29, 1));
enumParAction outputPort = plainEnum(0, texts::outputPort, member(systemLst, kAll), flags(28, 1));
intParAction plotSpeed = plainInt(2, "%4d", member(systemLst, kAll), flags(27, 1));
enumParAction printArea = plainEnum(0, texts::printArea, member(systemLst, kAll), flags(26, 1));
enumParAction outputKind = plainEnum(1, texts::outputKind, member(systemLst, kAll), flags(25, 1));
enumParAction graphShading = plainEnum(2, shading, member(systemLst, kAll), flags(24, 1));
enumParAction backShading = plainEnum(0, shading, member(systemLst, kAll), flags(23, 1));
enumParAction traceColour = plainEnum(0, blackWhite, member(systemLst, kAll), flags(22, 1));
enumParAction screenColours =
    plainEnum(0, texts::screenColours, member(systemLst, kAll), flags(21, 1));
intParAction pen1 = plainInt(1, "%4d", member(systemLst, kAll), flags(20, 1));
intParAction pen2 = plainInt(1, "%4d", member(systemLst, kAll), flags(19, 1));
intParAction pen3 = plainInt(1, "%4d", member(systemLst, kAll), flags(18, 1));
intParAction pen4 = plainInt(1, "%4d", member(systemLst, kAll), flags(17, 1));
intParAction penMode = plainInt(0, "%2d", member(systemLst, kAll), flags(16, 1));
intParAction brightness = plainInt(50, "%4d", member(systemLst, kAll), flags(15, 1));
intParAction contrast = plainInt(100, "%4d", member(systemLst, kAll), flags(14, 1));
enumParAction confirmations = plainEnum(1, noYes, member(systemLst, kAll), flags(13, 1));
strActionObj systemName("", 40, 0, nullptr, nullptr, member(systemLst, kAll), flags(12, 1), 0);
enumParAction displayFormat =
    plainEnum(1, texts::displayFormat, member(systemLst, kAll), flags(11, 1));
enumParAction systemSwitch1 = plainEnum(0, offOn, member(systemLst, kAll), flags(10, 1));
enumParAction systemSwitch2 = plainEnum(1, offOn, member(systemLst, kAll), flags(9, 1));
enumParAction alarmSound = plainEnum(1, quietNoisy, member(systemLst, kAll), flags(8, 1));
intParAction screenSaverDelay = plainInt(10, "%2d m", member(systemLst, kAll), flags(7, 1));
enumParAction screenSaver = plainEnum(1, offOn, member(systemLst, kAll), flags(6, 1));
intParAction systemLevel1 = plainInt(250, "%3d", member(systemLst, kAll), flags(5, 1));
intParAction systemLevel2 = plainInt(45, "%3d", member(systemLst, kAll), flags(4, 1));
enumParAction systemSwitch3 = plainEnum(1, offOn, member(systemLst, kAll), flags(3, 1));
enumParAction binRounding = plainEnum(0, texts::binRounding, member(systemLst, kAll), flags(2, 1));

} // namespace
// ---- list 11 "Capture Settings:"

namespace {
enumParAction captureSwitch = plainEnum(1, offOn, member(captureLst, kAll), flags(5, 1));
} // namespace
intParAction captureLength =
    plainInt(500, "%4d kPts/ch", member(captureLst, kAll), flags(4, 1), kNoDisplay);
sampleActType captureRate(19, member(captureLst, kAll), flags(3, 1), kNoDisplay);
enumParAction captureMode =
    plainEnum(0, oneShotContinuous, member(captureLst, kAll), flags(2, 1), kNoDisplay);
namespace {
enumParAction captureChannels =
    plainEnum(2, texts::captureChannels, member(captureLst, kAll), flags(1, 1));

} // namespace
// ---- list 12 "Communications Settings:" and list 13 "DRAM settings:"

namespace {
enumParAction commPort = plainEnum(1, gpibRs232, member(commLst, kAll), flags(6, 1));
intParAction gpibAddress = plainInt(10, "%3d", member(commLst, kAll), flags(5, 1));
enumParAction commEcho = plainEnum(1, noYes, member(commLst, kAll), flags(4, 1));
enumParAction baudRate = plainEnum(4, texts::baudRate, member(commLst, kAll), flags(3, 1));
enumParAction dataBits = plainEnum(1, texts::dataBits, member(commLst, kAll), flags(2, 1));
enumParAction parity = plainEnum(0, texts::parity, member(commLst, kAll), flags(1, 1));

intParAction dramCapture = plainInt(500, "%d Blks", member(dramLst, kAll), flags(8, 1));
intParAction dramArb = plainInt(490, "%d Blks", member(dramLst, kAll), flags(7, 1));
intParAction dramUser = plainInt(2, "%d Blks", member(dramLst, kAll), flags(6, 1));

} // namespace
// ---- list 14 "File List:"

enumParAction modalData = plainEnum(0, noYes, member(fileLst, kAll), flags(20, 4));
Twin<strActionObj> refName = twinText("NONE", 10, fileLst, kAll, 10, 4);
Twin<intParAction> refNumber = twinInt(1, "%4d", fileLst, kAll, 9, 4);
Twin<enumParAction> refDirection = twinEnum(6, directions, fileLst, kAll, 8, 4);
Twin<strActionObj> respName = twinText("NONE", 10, fileLst, kAll, 5, 4);
Twin<intParAction> respNumber = twinInt(1, "%4d", fileLst, kAll, 4, 4);
Twin<enumParAction> respDirection = twinEnum(6, directions, fileLst, kAll, 3, 4);

// ---- free-standing settings, in no list

enumParAction liveMode = plainEnum(0, offLine, kFreeStanding, 0);
namespace {
enumParAction statusDisplay = plainEnum(0, statusResults, kFreeStanding, 0);
enumParAction symmetry = plainEnum(1, texts::symmetry, kFreeStanding, 0);
intParAction statusNumber = plainInt(0, "%4d", kFreeStanding, 0);

} // namespace

// ---- links between the settings, made once all objects exist

namespace {

bool linkCatalogue() {
    for (int16_t d = 0; d < 2; ++d) {
        DisplayLinks& links = displayLinks(d);
        links.baseFreq = &baseFreq[d];
        links.fftLines = &fftLines[d];
        links.span = &span[d];
        links.startFreq = &startFreq[d];
        links.octaveResolution = &octaveResolution[d];
        links.euPerVolt[0] = &euPerVolt1[d];
        links.euPerVolt[1] = &euPerVolt2[d];
        links.view = &view[d];
        links.units = &units[d];
        units[d].linkEnumerations(&dbMode[d], &peakUnits[d], &phaseUnits[d]);
    }
    MainPAOlist().setMeasureGroup(&measureGroup[0]);
    setRpmDisplaySwitch(&rpmDisplaySwitch);
    return true;
}

const bool catalogueLinked = linkCatalogue();

} // namespace

} // namespace vx::cat

namespace vx {

void applyModalOptions(const ConvOptions& o) {
    if (o.modalFlags == 0) return;
    using namespace cat;
    (void)modalData.setData(1, 0);
    if (o.modalFlags & eModalRefName) (void)refName[0].setData(o.modalValues.refName);
    if (o.modalFlags & eModalRefNumber) (void)refNumber[0].setData(o.modalValues.refNumber);
    if (o.modalFlags & eModalRefDirection)
        (void)refDirection[0].setData(o.modalValues.refDirection, 0);
    if (o.modalFlags & eModalRespName) (void)respName[0].setData(o.modalValues.respName);
    if (o.modalFlags & eModalRespNumber) (void)respNumber[0].setData(o.modalValues.respNumber);
    if (o.modalFlags & eModalRespDirection)
        (void)respDirection[0].setData(o.modalValues.respDirection, 0);
}

} // namespace vx
