// The parameter catalogue: every instrument setting built in one fixed order
// into its catalogue's lists, and the /M modal values put into it.
#include "params/Catalog.h"

#include <initializer_list>

#include "base/Options.h"

namespace vx {

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

Catalogue::Catalogue()
    : // ---- list 0: process settings
      rpmDisplaySwitch(plainEnum(0, offOn, 0, 0)),
      // ---- list 1 "Filter List:". The settings that others derive from come first.
      baseFreq(twinEnum(1, texts::baseFreq, filterLst, kSix, 200, 1)),
      fftLines(twinEnum(2, texts::fftLines, filterLst, groups({0, 1, 5}), 185, 1)),
      span([](int16_t d) {
          return spanActType(19, member(filterLst, groups({0, 1, 5}), d), flags(190, 1, true), d);
      }),
      startFreq([](int16_t d) {
          return startFreqAction(0, 209715200, 419430400, member(filterLst, groups({0, 1, 5}), d),
                                 flags(195, 1, true), d);
      }),
      octaveResolution(twinEnum(1, texts::octaveResolution, filterLst, groups({2}), 110, 1)),
      measureGroup(twinEnum(0, measureGroups, filterLst, kSix, 250, 1)),
      engUnits1(twinEnum(0, offOn, filterLst, kSix, 240, 5)),
      engUnits2(twinEnum(0, offOn, filterLst, kSix, 235, 5)), euPerVolt1([](int16_t d) {
          return euSensAct(1, member(filterLst, kSix, d), flags(210, 5, true), d);
      }),
      euPerVolt2([](int16_t d) {
          return euSensAct(1, member(filterLst, kSix, d), flags(205, 5, true), d);
      }),
      histogramLength([](int16_t d) {
          return binDelayAct(0.0039f, 1, 2096128, 2, member(filterLst, groups({5}), d),
                             flags(202, 5, true), d);
      }),
      channelMode(plainRange(RangeRecords(rangeTables.channelMode), 1, texts::channelMode,
                             member(filterLst, groups({0, 1, 2, 5})), flags(201, 5))),
      histogramBins(twinEnum(6, texts::histogramBins, filterLst, groups({5}), 184, 1)),
      window([this](int16_t d) {
          return plainRange(
              d == 1 ? RangeRecords(rangeTables.windowB) : RangeRecords(rangeTables.windowA), 3,
              windows, member(filterLst, groups({0, 1, 4}), d), flags(180, 1, true), d);
      }),
      forceExp1(plainEnum(0, forceExp, member(filterLst, groups({0, 4})), flags(179, 5))),
      forceExp2(plainEnum(1, forceExp, member(filterLst, groups({0, 4})), flags(178, 5))),
      linearAvgMode(twinEnum(0, texts::linearAvgMode, filterLst, groups({0, 1, 5}), 175, 1)),
      octLinearAvgMode(twinEnum(0, texts::octLinearAvgMode, filterLst, groups({2}), 171, 1)),
      forceLength([](int16_t d) {
          return binDelayAct(0.003f, 1, 2048, 1, member(filterLst, groups({0, 4}), d),
                             flags(170, 5, true), d);
      }),
      expoTC(twinFloat(50, "%.2f%%", filterLst, groups({0, 4}), 165, 5)),
      averaging(twinEnum(1, texts::averaging, filterLst, groups({0, 1, 4}), 150, 5)),
      powerBin(twinEnum(0, texts::powerBin, filterLst, groups({2}), 149, 1)),
      numAverages(twinInt(2, "%4d", filterLst, groups({0, 1, 4}), 145, 1)),
      timeRecordIncr(twinFloat(100, "%.2f%%", filterLst, groups({0}), 140, 1)),
      overloadReject(twinEnum(0, offOn, filterLst, groups({0, 1}), 135, 1)),
      rejectTrigger(
          plainEnum(0, texts::rejectTrigger, member(filterLst, groups({0})), flags(134, 1))),
      rejectInterval(plainUnits(2, timeUnits, member(filterLst, groups({0})), flags(131, 1))),
      octaveChannels(twinEnum(0, texts::octaveChannels, filterLst, groups({2}), 105, 1)),
      confidence(twinEnum(0, texts::confidence, filterLst, groups({2}), 100, 1)),
      octaveSpan([](int16_t d) {
          return octActType(1, 18, 11, member(filterLst, groups({2}), d), flags(95, 1, true), d);
      }),
      octIntegrationTime(twinUnits(0.1f, timeUnits, filterLst, groups({2}), 90, 1)),
      octAveragingType(twinEnum(1, texts::octAveragingType, filterLst, groups({2}), 85, 1)),
      sweptPoints(twinInt(200, "%4d", filterLst, groups({3}), 80, 1)),
      sweptRepeat(twinEnum(1, shotMode, filterLst, groups({3}), 75, 1)),
      settleCycles(twinLong(1, "%4ld", filterLst, groups({3}), 70, 1)),
      integrationCycles(twinLong(10, "%4ld", filterLst, groups({3}), 65, 1)),
      sweptStart(twinUnits(1000, freqUnits, filterLst, groups({3}), 60, 1)),
      sweptStop(twinUnits(20000, freqUnits, filterLst, groups({3}), 55, 1)),
      settleTime([](int16_t d) {
          return blockParAction(2, member(filterLst, groups({3}), d), flags(50, 1, true), d);
      }),
      sweptIntegrationTime([](int16_t d) {
          return blockParAction(4, member(filterLst, groups({3}), d), flags(45, 1, true), d);
      }),
      autoResolution(twinEnum(0, offOn, filterLst, groups({3}), 40, 1)),
      maxSkipSize(twinEnum(2, skipSize, filterLst, groups({3}), 35, 1)),
      fasterThreshold(twinFloat(0.1f, "< %10.4g dB", filterLst, groups({3}), 30, 1)),
      slowerThreshold(twinFloat(0.5f, "> %10.4g dB", filterLst, groups({3}), 25, 1)),
      minRpm(twinFloat(30, "%10.4g", filterLst, groups({4}), 21, 5)),
      sweptType(twinEnum(0, linearLog, filterLst, groups({3}), 20, 1)),
      maxRpm(twinFloat(60000, "%10.4g", filterLst, groups({4}), 19, 5)),
      maxOrder(twinFloat(10, "%10.4g", filterLst, groups({4}), 18, 5)), deltaOrder([](int16_t d) {
          return DOFloatParAction(0.1f, "%10.4g", member(filterLst, groups({4}), d),
                                  flags(17, 5, true), d);
      }),
      track1Value([](int16_t d) {
          return OTFloatParAction(1, "%10.4g", member(filterLst, groups({4}), d),
                                  flags(14, 5, true), d);
      }),
      track1Bnc(twinEnum(0, trackBnc, filterLst, groups({4}), 13, 5)), track2Value([](int16_t d) {
          return OTFloatParAction(1, "%10.4g", member(filterLst, groups({4}), d),
                                  flags(12, 5, true), d);
      }),
      track2Bnc(twinEnum(1, trackBnc, filterLst, groups({4}), 11, 5)),
      trackPoints(twinInt(400, "%4d", filterLst, groups({4}), 9, 5)),
      // ---- list 2 "Delay List:" (the waterfall settings)
      waterfallMode([this](int16_t d) {
          return plainRange(
              d == 1 ? RangeRecords(rangeTables.waterfallB) : RangeRecords(rangeTables.waterfallA),
              0, texts::waterfallMode, member(delayLst, kNoSwept, d), flags(130, 1, true), d);
      }),
      waterfallStore(twinEnum(0, texts::waterfallStore, delayLst, kNoSwept, 129, 5)),
      waterfallDepth(twinInt(500, "%4d", delayLst, kNoSwept, 125, 1)), waterfallSkip([](int16_t d) {
          return wfSkipParAction(30, "%4d", member(delayLst, groups({0, 1, 4, 5}), d),
                                 flags(120, 1, true), d);
      }),
      waterfallOctSkip([](int16_t d) {
          return wfOctSkipParAction(0.1f, timeUnits, member(delayLst, groups({2}), d),
                                    flags(115, 1, true), d);
      }),
      orderWaterfallMode(twinEnum(0, continuousOneShot, delayLst, groups({4}), 16, 5)),
      orderWaterfallSwitch(twinEnum(0, offOn, delayLst, groups({4}), 8, 5)),
      // ---- list 3 "Meas Settings:"
      measurement([this](int16_t d) {
          return measParAction(d == 1 ? RangeRecords(rangeTables.measurementB)
                                      : RangeRecords(rangeTables.measurementA),
                               0, d == 1 ? 1 : 0, measurements, member(measLst, kSix, d),
                               flags(245, 1, true), d);
      }),
      measAveraging(twinEnum(1, noYes, measLst, groups({0, 1, 4}), 160, 5)),
      measAveragingType([this](int16_t d) {
          return plainRange(d == 1 ? RangeRecords(rangeTables.measAveragingB)
                                   : RangeRecords(rangeTables.measAveragingA),
                            0, texts::measAveragingType, member(measLst, groups({0, 1, 4}), d),
                            flags(155, 5, true), d);
      }),
      measTitle1(twinText("", 40, measLst, kNoSwept, 5, 1)),
      measTitle2(twinText("", 40, measLst, kNoSwept, 4, 1)),
      // ---- list 4 "View Settings:"
      view([](int16_t d) {
          return viewParAction(0, views, member(viewLst, kAll, d), flags(100, 1, true), d);
      }),
      units([](int16_t d) {
          return unitParAction(0, 0, member(viewLst, kAll, d), flags(90, 1, true), d);
      }),
      waterfallOrder(twinEnum(0, texts::waterfallOrder, viewLst, kAll, 82, 1)),
      waterfallHeight(twinInt(70, "%3d%%", viewLst, kAll, 80, 1)), waterfallAngle([](int16_t d) {
          return wfAngParAction(-30, member(viewLst, kAll, d), flags(78, 1, true), d);
      }),
      waterfallHidden(twinEnum(0, offOn, viewLst, kAll, 76, 1)),
      waterfallThreshold(twinInt(0, "%3d%%", viewLst, kAll, 74, 1)),
      markerVisibility(twinEnum(0, visibility, viewLst, kAll, 72, 1)),
      markerMode(twinEnum(1, texts::markerMode, viewLst, kAll, 70, 1)),
      markerType(twinEnum(0, texts::markerType, viewLst, kAll, 68, 1)),
      markerSeek(twinEnum(0, texts::markerSeek, viewLst, kAll, 66, 1)),
      markerWidth(twinEnum(0, texts::markerWidth, viewLst, kAll, 64, 1)),
      markerRelative(twinEnum(0, texts::markerRelative, viewLst, kAll, 62, 1)),
      markerOffset(twinEnum(0, offOn, viewLst, kAll, 60, 1)), markerRelX([](int16_t d) {
          return relXAction(0, "%10.5g", member(viewLst, kAll, d), flags(58, 1, true), d);
      }),
      markerRelY([](int16_t d) {
          return relYAction(0, "%10.5g", member(viewLst, kAll, d), flags(56, 1, true), d);
      }),
      harmonicCount(twinInt(1, "%10d", viewLst, kAll, 54, 1)),
      harmonicRatio(twinEnum(0, ratio, viewLst, kAll, 53, 1)), harmonicReadout([](int16_t d) {
          return rdOutParAction(0, "#%d", member(viewLst, kAll, d), flags(52, 1, true), d);
      }),
      sidebandMode(twinEnum(0, absRel, viewLst, kAll, 50, 1)),
      traceSubtract(twinEnum(0, subtract, viewLst, kAll, 49, 1)),
      bandLimit(twinEnum(0, lowerUpper, viewLst, kAll, 48, 1)),
      sidebandSeparation(twinFloat(0, "%10.4g", viewLst, kAll, 46, 5)),
      displayStyle(twinEnum(0, normalWaterfall, viewLst, kAll, 44, 1)),
      traceNumber(twinInt(1, "%d", viewLst, kAll, 42, 1)),
      waterfallTraces(twinInt(10, "%4d", viewLst, kAll, 40, 1)), scaleY([](int16_t d) {
          return scaleAction(-100, 100, 0, 0, member(viewLst, kAll, d), flags(38, 1, true), d);
      }),
      scaleX([](int16_t d) {
          return scaleAction(0, 100, 1, 1, member(viewLst, kAll, d), flags(36, 1, true), d);
      }),
      scaleZ([](int16_t d) {
          return scaleAction(0, 100, 0, 1, member(viewLst, kAll, d), flags(34, 1, true), d);
      }),
      zoomStart(twinLong(0, "%4ld", viewLst, kAll, 32, 1)),
      zoomFactor(twinInt(1, "x%d", viewLst, kAll, 30, 1)),
      coordinates(twinEnum(0, rectPolar, viewLst, kAll, 29, 5)),
      xAxisScale(twinEnum(0, linearLog, viewLst, kAll, 28, 1)),
      grid(twinEnum(1, offOn, viewLst, kAll, 26, 1)),
      gridDivisions(twinEnum(1, texts::gridDivisions, viewLst, kAll, 24, 1)),
      psdUnits(twinEnum(0, offOn, viewLst, kAll, 22, 1)),
      transducerOut1(twinEnum(0, transducerUnits, viewLst, groups({0, 3, 4}), 20, 5)),
      transducerOut2(twinEnum(0, transducerUnits, viewLst, groups({0, 3, 4}), 19, 5)),
      dbReference(twinFloat(0, "%10.4e", viewLst, kAll, 18, 1)),
      phaseSuppress(twinFloat(0.5f, "%10.4g", viewLst, groups({0, 3}), 15, 1)),
      dbMode(twinEnum(1, dbModes, viewLst, kAll, 13, 5)),
      phaseUnits(twinEnum(0, texts::phaseUnits, viewLst, kAll, 11, 5)),
      peakUnits(twinEnum(1, texts::peakUnits, viewLst, kAll, 9, 5)),
      euLabel1(twinEnum(0, euLabels, viewLst, kSix, 8, 5)),
      euLabel2(twinEnum(0, euLabels, viewLst, kSix, 7, 5)),
      euUserLabel1(twinText("EU", 6, viewLst, kSix, 6, 5)),
      euUserLabel2(twinText("EU", 6, viewLst, kSix, 5, 5)),
      // ---- list 5 "Source Settings:"
      source(0, nullptr, member(sourceLst, kNoSwept), flags(100, 1), 0, 0),
      sourcePeriod(plainUnits(0.1f, timeUnits, member(sourceLst, groups({2, 4})), flags(91, 1))),
      sourceType(0, nullptr, member(sourceLst, kNoSwept), flags(90, 1), 0, 0),
      sineFreq1(41943040, member(sourceLst, kNoSwept), flags(60, 1), kNoDisplay),
      sineFreq2(209715200, member(sourceLst, kNoSwept), flags(58, 1), kNoDisplay),
      sineAmp1(5000, 0, member(sourceLst, kNoSwept), flags(56, 1), 0),
      sourceOffset(0, 2, member(sourceLst, kSix), flags(55, 3), 0),
      sineAmp2(0, 1, member(sourceLst, kNoSwept), flags(54, 1), 0),
      noiseAmp(10000, member(sourceLst, kNoSwept), flags(52, 1), 0),
      noiseBurst(plainFloat(100, "%.3f %%", member(sourceLst, kNoSwept), flags(50, 1))),
      noiseType(plainEnum(0, texts::noiseType, member(sourceLst, kNoSwept), flags(48, 1))),
      chirpAmp(10000, member(sourceLst, groups({0, 1, 5})), flags(46, 1), 0),
      chirpBurst(plainFloat(100, "%5.02f %%", member(sourceLst, groups({0, 1, 5})), flags(44, 1))),
      chirpSource(
          plainEnum(0, texts::chirpSource, member(sourceLst, groups({0, 1, 5})), flags(42, 1))),
      arbAmp(10000, member(sourceLst, kNoSwept), flags(40, 1), 0),
      arbBuffer(plainEnum(1, texts::arbBuffer, member(sourceLst, kNoSwept), flags(38, 1))),
      arbRate(19, member(sourceLst, kNoSwept), flags(36, 1), kNoDisplay),
      arbStart(plainLong(0, "%ld", member(sourceLst, kNoSwept), flags(34, 1))),
      arbLength(plainInt(500, "%4d kPts", member(sourceLst, kNoSwept), flags(32, 1))),
      sweptAmp(10000, member(sourceLst, groups({3})), flags(30, 1), 0),
      sweptIdealRef(1000, member(sourceLst, groups({3})), flags(28, 1), 0),
      sweptRefUpper(plainFloat(3, "%5.01f dB", member(sourceLst, groups({3})), flags(26, 1))),
      sweptRefLower(plainFloat(-3, "%5.01f dB", member(sourceLst, groups({3})), flags(24, 1))),
      sweptMaxSource(10000, member(sourceLst, groups({3})), flags(22, 1), 0),
      sweptRamping(plainEnum(0, offOn, member(sourceLst, groups({3})), flags(20, 1))),
      sweptRampRate(plainFloat(1, "%10.3g V/S", member(sourceLst, groups({3})), flags(18, 1))),
      inputSource(plainEnum(0, texts::inputSource, member(sourceLst, kSix), flags(2, 1))),
      sweptAutoLevel(plainEnum(0, autoLevel, member(sourceLst, groups({3})), flags(1, 1))),
      // ---- list 6 "Limit Setings:"
      limitDisplay(twinEnum(1, hideShow, limitLst, kAll, 10, 1)),
      limitTest(twinEnum(0, offOn, limitLst, kAll, 5, 1)),
      limitBeep(twinEnum(0, offOn, limitLst, kAll, 2, 1)),
      // ---- list 7 "Input Settings:"
      tachChannel(plainEnum(0, texts::tachChannel, member(inputLst, kAll), flags(65, 5))),
      tachHoldoff(plainUnits(2e-06f, timeUnits, member(inputLst, kAll), flags(62, 5))),
      holdoffEnable(plainEnum(0, offOn, member(inputLst, kAll), flags(61, 5))),
      pulsesPerRev(plainFloat(1, "%10.4g", member(inputLst, kAll), flags(60, 5))),
      tachTrig(plainEnum(2, texts::tachTrig, member(inputLst, kAll), flags(59, 5))),
      tachLevel(plainFloat(0, "%4.02f V", member(inputLst, kAll), flags(58, 5))),
      tachSlope(plainEnum(0, slope, member(inputLst, kAll), flags(57, 5))),
      tachSwitch(plainEnum(0, offOn, member(inputLst, kAll), flags(56, 5))),
      refImpedance(50, "%10.4g ", member(inputLst, kAll), flags(40, 1), 0),
      autoOffset(plainEnum(0, offOn, member(inputLst, kAll), flags(38, 1))),
      inputMode1(plainEnum(0, inputMode, member(inputLst, kAll), flags(36, 1))),
      grounding1(plainEnum(0, grounding, member(inputLst, kAll), flags(34, 1))),
      coupling1(plainRange(RangeRecords(rangeTables.coupling1), 0, coupling, member(inputLst, kAll),
                           flags(32, 1))),
      inputMode2(plainEnum(0, inputMode, member(inputLst, kAll), flags(30, 1))),
      grounding2(plainEnum(0, grounding, member(inputLst, kAll), flags(28, 1))),
      coupling2(plainRange(RangeRecords(rangeTables.coupling2), 0, coupling, member(inputLst, kAll),
                           flags(26, 1))),
      aaFilter1(plainEnum(1, offOn, member(inputLst, kAll), flags(24, 1))),
      aaFilter2(plainEnum(1, offOn, member(inputLst, kAll), flags(22, 1))),
      aWeighting1(plainEnum(0, offOn, member(inputLst, kAll), flags(20, 1))),
      aWeighting2(plainEnum(0, offOn, member(inputLst, kAll), flags(18, 1))),
      autoRange1(plainEnum(0, autoRange, member(inputLst, kAll), flags(16, 1))),
      autoRange2(plainEnum(0, autoRange, member(inputLst, kAll), flags(14, 1))),
      playbackStart(plainLong(0, "%ld", member(inputLst, kAll), flags(12, 1), kNoDisplay)),
      playbackLength(
          plainInt(500, "%4d kPts/ch", member(inputLst, kAll), flags(10, 1), kNoDisplay)),
      playbackMode(
          plainEnum(0, texts::playbackMode, member(inputLst, kAll), flags(8, 1), kNoDisplay)),
      playbackSpeed(
          plainEnum(0, texts::playbackSpeed, member(inputLst, kAll), flags(6, 1), kNoDisplay)),
      inputRange1(0, 0, member(inputLst, kAll), flags(2, 1), 0),
      inputRange2(0, 1, member(inputLst, kAll), flags(1, 1), 0),
      // ---- list 8 "Trigger Settings:"
      armSwitch(plainEnum(1, offOn, member(triggerLst, kAll), flags(41, 5))),
      timeArmStep(plainUnits(0.1f, timeUnits, member(triggerLst, kAll), flags(40, 5))),
      rpmDeltaEnable(plainEnum(0, rpmDelta, member(triggerLst, kAll), flags(30, 5))),
      startRpmArm(plainFloat(50, "%10.4g", member(triggerLst, kAll), flags(29, 5))),
      stopRpmArm(plainFloat(10, "%10.4g", member(triggerLst, kAll), flags(28, 5))),
      triggeredSourceMode(plainEnum(1, trigSourceMode, member(triggerLst, kAll), flags(11, 1))),
      triggerMode(plainEnum(0, texts::triggerMode, member(triggerLst, kAll), flags(6, 1))),
      triggerSource(plainEnum(0, texts::triggerSource, member(triggerLst, kAll), flags(5, 1))),
      triggerLevel(0, member(triggerLst, kAll), flags(4, 1), 0),
      triggerSlope(plainEnum(0, slope, member(triggerLst, kAll), flags(3, 1))),
      delayA(0, -8000, 100000, 0, member(triggerLst, groups({0, 1, 5})), flags(2, 5), 0),
      delayB(0, -8000, 100000, 0, member(triggerLst, groups({0, 1, 5})), flags(1, 5), 0),
      // ---- list 9 "General System Settings:"
      systemSerial(plainLong(0, "%ld", member(systemLst, kAll), flags(33, 1))),
      keyClick(plainEnum(1, quietNoisy, member(systemLst, kAll), flags(32, 1))),
      controlSource(plainEnum(1, hostInstrument, member(systemLst, kAll), flags(31, 1))),
      printerType(plainEnum(5, texts::printerType, member(systemLst, kAll), flags(30, 1))),
      plotterType(plainEnum(1, texts::plotterType, member(systemLst, kAll), flags(29, 1))),
      outputPort(plainEnum(0, texts::outputPort, member(systemLst, kAll), flags(28, 1))),
      plotSpeed(plainInt(2, "%4d", member(systemLst, kAll), flags(27, 1))),
      printArea(plainEnum(0, texts::printArea, member(systemLst, kAll), flags(26, 1))),
      outputKind(plainEnum(1, texts::outputKind, member(systemLst, kAll), flags(25, 1))),
      graphShading(plainEnum(2, shading, member(systemLst, kAll), flags(24, 1))),
      backShading(plainEnum(0, shading, member(systemLst, kAll), flags(23, 1))),
      traceColour(plainEnum(0, blackWhite, member(systemLst, kAll), flags(22, 1))),
      screenColours(plainEnum(0, texts::screenColours, member(systemLst, kAll), flags(21, 1))),
      pen1(plainInt(1, "%4d", member(systemLst, kAll), flags(20, 1))),
      pen2(plainInt(1, "%4d", member(systemLst, kAll), flags(19, 1))),
      pen3(plainInt(1, "%4d", member(systemLst, kAll), flags(18, 1))),
      pen4(plainInt(1, "%4d", member(systemLst, kAll), flags(17, 1))),
      penMode(plainInt(0, "%2d", member(systemLst, kAll), flags(16, 1))),
      brightness(plainInt(50, "%4d", member(systemLst, kAll), flags(15, 1))),
      contrast(plainInt(100, "%4d", member(systemLst, kAll), flags(14, 1))),
      confirmations(plainEnum(1, noYes, member(systemLst, kAll), flags(13, 1))),
      systemName("", 40, 0, nullptr, nullptr, member(systemLst, kAll), flags(12, 1), 0),
      displayFormat(plainEnum(1, texts::displayFormat, member(systemLst, kAll), flags(11, 1))),
      systemSwitch1(plainEnum(0, offOn, member(systemLst, kAll), flags(10, 1))),
      systemSwitch2(plainEnum(1, offOn, member(systemLst, kAll), flags(9, 1))),
      alarmSound(plainEnum(1, quietNoisy, member(systemLst, kAll), flags(8, 1))),
      screenSaverDelay(plainInt(10, "%2d m", member(systemLst, kAll), flags(7, 1))),
      screenSaver(plainEnum(1, offOn, member(systemLst, kAll), flags(6, 1))),
      systemLevel1(plainInt(250, "%3d", member(systemLst, kAll), flags(5, 1))),
      systemLevel2(plainInt(45, "%3d", member(systemLst, kAll), flags(4, 1))),
      systemSwitch3(plainEnum(1, offOn, member(systemLst, kAll), flags(3, 1))),
      binRounding(plainEnum(0, texts::binRounding, member(systemLst, kAll), flags(2, 1))),
      // ---- list 11 "Capture Settings:"
      captureSwitch(plainEnum(1, offOn, member(captureLst, kAll), flags(5, 1))),
      captureLength(
          plainInt(500, "%4d kPts/ch", member(captureLst, kAll), flags(4, 1), kNoDisplay)),
      captureRate(19, member(captureLst, kAll), flags(3, 1), kNoDisplay),
      captureMode(
          plainEnum(0, oneShotContinuous, member(captureLst, kAll), flags(2, 1), kNoDisplay)),
      captureChannels(plainEnum(2, texts::captureChannels, member(captureLst, kAll), flags(1, 1))),
      // ---- list 12 "Communications Settings:" and list 13 "DRAM settings:"
      commPort(plainEnum(1, gpibRs232, member(commLst, kAll), flags(6, 1))),
      gpibAddress(plainInt(10, "%3d", member(commLst, kAll), flags(5, 1))),
      commEcho(plainEnum(1, noYes, member(commLst, kAll), flags(4, 1))),
      baudRate(plainEnum(4, texts::baudRate, member(commLst, kAll), flags(3, 1))),
      dataBits(plainEnum(1, texts::dataBits, member(commLst, kAll), flags(2, 1))),
      parity(plainEnum(0, texts::parity, member(commLst, kAll), flags(1, 1))),
      dramCapture(plainInt(500, "%d Blks", member(dramLst, kAll), flags(8, 1))),
      dramArb(plainInt(490, "%d Blks", member(dramLst, kAll), flags(7, 1))),
      dramUser(plainInt(2, "%d Blks", member(dramLst, kAll), flags(6, 1))),
      // ---- list 14 "File List:"
      modalData(plainEnum(0, noYes, member(fileLst, kAll), flags(20, 4))),
      refName(twinText("NONE", 10, fileLst, kAll, 10, 4)),
      refNumber(twinInt(1, "%4d", fileLst, kAll, 9, 4)),
      refDirection(twinEnum(6, directions, fileLst, kAll, 8, 4)),
      respName(twinText("NONE", 10, fileLst, kAll, 5, 4)),
      respNumber(twinInt(1, "%4d", fileLst, kAll, 4, 4)),
      respDirection(twinEnum(6, directions, fileLst, kAll, 3, 4)),
      // ---- free-standing settings, in no list
      liveMode(plainEnum(0, offLine, kFreeStanding, 0)),
      statusDisplay(plainEnum(0, statusResults, kFreeStanding, 0)),
      symmetry(plainEnum(1, texts::symmetry, kFreeStanding, 0)),
      statusNumber(plainInt(0, "%4d", kFreeStanding, 0)) {
    registering_.end();
    for (int16_t d = 0; d < 2; ++d) {
        DisplayLinks& l = links[d];
        l.baseFreq = &baseFreq[d];
        l.fftLines = &fftLines[d];
        l.span = &span[d];
        l.startFreq = &startFreq[d];
        l.octaveResolution = &octaveResolution[d];
        l.euPerVolt[0] = &euPerVolt1[d];
        l.euPerVolt[1] = &euPerVolt2[d];
        l.view = &view[d];
        l.units = &units[d];
        l.rpmSwitch = &rpmDisplaySwitch;
        units[d].linkEnumerations(&dbMode[d], &peakUnits[d], &phaseUnits[d]);
    }
    lists.setMeasureGroup(&measureGroup[0]);
    lists.initLists();
}

// Both displays' copies come first: applying one list may set members of
// another (a measurement sets its display's view and units).
void Catalogue::reset() {
    for (int16_t list = 1; list <= 14; ++list)
        lists.copyListSlots(ePaoDefault, ePaoEntry, list, 2);
    for (int16_t list = 1; list <= 14; ++list)
        lists.applyList(list, 2);
}

void Catalogue::applyModalOptions(const ConvOptions& o) {
    if (o.modalFlags == 0) return;
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
