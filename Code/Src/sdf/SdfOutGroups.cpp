// SDF headers from the instrument settings, by measurement group.
#include "sdf/SdfOutGroups.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "params/Catalog.h"
#include "sdf/SdfOutTables.h"
#include "trace/DISP_M.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

using H = CSdfHdrs;
constexpr size_t M = H::kMeasHdr;
constexpr size_t D = H::kDataHdr;

template <class P> int16_t entry(const P& p) {
    return p.getData(ePaoEntry);
}

double spanHz(Catalogue& cat) {
    return cat.span[0].counts(ePaoEntry) * freqResolution(entry(cat.baseFreq[0]));
}
FreqValue startFreq(Catalogue& cat) {
    return cat.startFreq[0].value(startFreqAction::eStart, ePaoEntry);
}
bool baseband(Catalogue& cat) {
    return startFreq(cat).count == 0;
}
int32_t fftLines(Catalogue& cat) {
    return 100 << std::clamp<int16_t>(entry(cat.fftLines[0]), 0, 3);
}

void setCenterSpan(H& h, double center, double span) {
    h.setF32(M + 10, float(center));
    h.setF32(M + 14, float(span));
    h.setF64(M + 102, center);
    h.setF64(M + 110, span);
}

void setStopIndex(H& h, int32_t stop) {
    h.setI16(M + 26, int16_t(stop & 0xFFFF));
    h.setI32(M + 144, stop);
}

void setAverages(H& h, int16_t type, int32_t count) {
    h.setI16(M + 28, type);
    h.setI32(M + 30, count);
    h.setF64(M + 148, double(count));
}

// Average type of the FFT family from the averaging mode and type.
void fftAveraging(Catalogue& cat, H& h) {
    if (entry(cat.measAveraging[0]) == 0) return setAverages(h, 0, 1);
    static const int16_t kLinear[] = {0, 3, 1, 6};
    static const int16_t kExponential[] = {0, 4, 2, 5};
    int16_t type = std::clamp<int16_t>(entry(cat.measAveragingType[0]), 0, 3);
    bool linear = entry(cat.averaging[0]) == 0;
    setAverages(h, linear ? kLinear[type] : kExponential[type], entry(cat.numAverages[0]));
}

// Data types whose values are powers.
bool powerData(int16_t dataType) {
    return dataType == 2 || dataType == 3 || dataType == 5 || dataType == 6;
}

struct WindowBlock {
    int16_t type;
    float bandwidth, wideBand, narrowBand;
};

// By the index of the window setting.
constexpr WindowBlock kWindows[] = {{3, 1, 1, 1},
                                    {2, 3.8193595f, 2.3982351f, 4.6869144f},
                                    {1, 1.5f, 1.6329932f, 2.0f},
                                    {12, 1, 1, 1},
                                    {10, 1, 1, 1},
                                    {4, 1, 1, 1},
                                    {6, 1, 1, 1},
                                    {3, 1, 1, 1},
                                    {15, 2, 1, 2},
                                    {14, 2, 1, 2}};

// SDF direction codes of the modal direction ids "-Z Rot" ... "+Z Rot".
constexpr int16_t kDirectionCodes[] = {-9, -8, -7, -3, -2, -1, 0, 1, 2, 3, 7, 8, 9};

int16_t directionCode(int16_t id) {
    return id >= 0 && id <= 12 ? kDirectionCodes[id] : 0;
}

// ------------------------------------------------------------ FFT

class CSdfOutFFT : public CSdfOutTrans {
  public:
    using CSdfOutTrans::CSdfOutTrans;

    void measurementHeader() override {
        double span = spanHz(cat);
        setCenterSpan(h, (startFreq(cat).hz + span) / 2, span * 1.28);
        int32_t stop = fftLines(cat);
        int32_t block = t.nPts;
        const bool freqAxis = t.desc.axisKind() == eFreqAxis;
        // A damaged file's stored nPts may be huge: the doubled block wraps
        // as a 32-bit field does instead of overflowing.
        if (freqAxis && baseband(cat)) block = int32_t(uint32_t(block) * 2u);
        if (measurementType() == kCorrelationType && !freqAxis) {
            block /= 2;
            stop /= 2;
        }
        h.setI32(M + 18, block);
        setStopIndex(h, stop);
        fftAveraging(cat, h);
        // The overlap of successive time records, from their increment.
        float overlap = 1.0f - cat.timeRecordIncr[0].getData(ePaoEntry) / 100.0f;
        h.setF32(M + 34, std::max(overlap, 0.0f));
        h.setI16(M + 126, measurementType());
    }

    void dataHeader() override {
        const bool freqAxis = t.desc.axisKind() == eFreqAxis;
        const int16_t type = t.dataType;
        h.setI16(D + 26, freqAxis ? 0 : 1);
        h.setI16(D + 28, type);
        setPoints(t.points, t.points - 1);
        setXStartStep(x(0), double(x(1)) - x(0));
        putSdfUnit(h, D + 68, freqAxis ? kSdfHertz : kSdfSeconds);
        bool real =
            type == 2 || type == 8 || type == 22 || (type == 0 && baseband(cat) && !freqAxis);
        if (real) h.setI16(D + 52, 0);
        if (type == 8) h.setI16(D + 54, 1);
        if (type == 22) h.setI16(D + 50, 2);
        if (powerData(type)) h.setI16(D + 56, 1);
        if (isUserFunction(t.measurement)) h.setI16(D + 56, unitTexts(0).power ? 1 : 0);
        h.setI16(D + 132, t.desc.windowed() && freqAxis ? 1 : 0);
    }

    void vectorHeader() override {
        if (userFunctionVector()) return;
        const int16_t type = t.dataType;
        if (t.desc.channelMask() == 3) {
            if (type == 3 || type == 6 || type == 22) return setVector(1, 0, 48, 48);
            if (type == 8) return setVector(1, 0, 0, 0);
            return setVector(1, 0, 48, -48);
        }
        int16_t c = singleChannel();
        if (c >= 0) setVector(c, -1, type == 2 || type == 5 ? 96 : 48, 0);
    }

    void channelHeaders() override {
        CSdfOutTrans::channelHeaders();
        windowBlocks();
        h.setF64(H::channelAt(0) + 192, cat.delayA.seconds(ePaoEntry));
        h.setF64(H::channelAt(1) + 192, cat.delayB.seconds(ePaoEntry));
    }

  protected:
    static constexpr int16_t kCorrelationType = 7;
    virtual int16_t measurementType() const { return 3; }
};

// As FFT, without the input delays.
class CSdfOutCorr : public CSdfOutFFT {
  public:
    using CSdfOutFFT::CSdfOutFFT;

    void channelHeaders() override {
        CSdfOutTrans::channelHeaders();
        windowBlocks();
    }

  protected:
    int16_t measurementType() const override { return kCorrelationType; }
};

// ------------------------------------------------------------ Time Histogram

class CSdfOutHist : public CSdfOutFFT {
  public:
    using CSdfOutFFT::CSdfOutFFT;

    void measurementHeader() override {
        CSdfOutFFT::measurementHeader();
        if (timeAxis()) return;
        h.setI16(M + 126, 8);
        setStopIndex(h, h.blockSize() - 1);
        setAverages(h, 0, 1);
    }

    void dataHeader() override {
        CSdfOutFFT::dataHeader();
        if (t.dataType == 0) return;
        h.setI16(D + 26, 2);
        putSdfUnit(h, D + 68, kSdfVolts);
        // Bin counts, densities and distributions have no imaginary part.
        h.setI16(D + 52, 0);
        const bool counts = t.dataType == 14 || t.dataType == kSdfUnknownType;
        putSdfUnit(h, D + 90, counts ? kSdfCounts : kSdfNoUnit);
    }

    void vectorHeader() override {
        if (t.dataType == 0 || t.dataType == kSdfUnknownType) return CSdfOutFFT::vectorHeader();
        if (userFunctionVector()) return;
        int16_t c = singleChannel();
        if (c >= 0) setVector(c, -1, t.dataType == 15 ? -48 : 48, 0);
    }

    void channelHeaders() override {
        CSdfOutTrans::channelHeaders();
        if (t.dataType == 0) return;
        // The histogram's full scale is 1.25 times the range: the reader takes it off again.
        for (int slot = 0; slot < 2; ++slot) {
            size_t at = H::channelAt(slot) + 94;
            h.setF32(at, h.f32(at) + 1.93820026f);
        }
    }

  private:
    bool timeAxis() const { return t.desc.axisKind() == eTimeAxis; }
};

// ------------------------------------------------------------ Order

class CSdfOutOrd : public CSdfOutFFT {
  public:
    using CSdfOutFFT::CSdfOutFFT;

    void measurementHeader() override {
        double maxOrder = cat.maxOrder[0].getData(ePaoEntry);
        setCenterSpan(h, maxOrder / 2, maxOrder);
        h.setI32(M + 18, 2 * (1024 >> orderTimeRecordCode(cat)));
        setStopIndex(h, t.points - 1);
        fftAveraging(cat, h);
        h.setI16(M + 126, 4);
    }

    void dataHeader() override {
        const int8_t kind = t.desc.axisKind();
        const int16_t type = t.dataType;
        const bool rpmBased = kind == eRpmAxis || kind == eTrackAxis;
        h.setI16(D + 26, kind == eOrdTrkFreqAxis ? 4 : 1);
        h.setI16(D + 28, type);
        setPoints(t.points, t.points - 1);
        h.setI16(D + 52, kind == eTrackAxis || type == 1 ? 1 : 0);
        if (rpmBased) {
            setXStartStep(0, 0);
            h.setI16(D + 42, 2);
            h.setI16(D + 46, 1);
        } else {
            setXStartStep(0, x(1));
        }
        if (type == 21) h.setI16(D + 56, 1);
        if (type == 22) h.setI16(D + 50, 2);
        putSdfUnit(h, D + 68,
                   kind == eOrdTrkFreqAxis ? kSdfOrders
                   : rpmBased              ? kSdfRpm
                                           : kSdfRevolutions);
        if (kind == eRpmAxis) putSdfUnit(h, D + 90, kSdfSeconds);
    }

    void vectorHeader() override {
        if (userFunctionVector()) return;
        int16_t c = singleChannel();
        if (t.dataType == 22) return setVector(1, 0, 48, 48);
        if (t.dataType == 21 && c >= 0) return setVector(c, c, 48, 48);
        if (c >= 0) setVector(c, -1, 48, 0);
    }

    void channelHeaders() override {
        CSdfOutTrans::channelHeaders();
        windowBlocks();
    }
};

// ------------------------------------------------------------ Octave

class CSdfOutOct : public CSdfOutTrans {
  public:
    using CSdfOutTrans::CSdfOutTrans;

    void measurementHeader() override {
        h.setI16(M + 126, 5);
        h.setI32(M + 18, t.points - 1);
        setStopIndex(h, t.points - 1);
        static const int16_t kAverageTypes[] = {1, 2, 6, 10};
        h.setI16(M + 28, kAverageTypes[std::clamp<int16_t>(entry(cat.octAveragingType[0]), 0, 3)]);
        h.setF32(M + 34, cat.octIntegrationTime[0].getData(ePaoEntry) * 2.0f);
        h.setI32(M + 30, 0);
        h.setF64(M + 148, 0.0);
    }

    void dataHeader() override {
        h.setI16(D + 26, 6);
        h.setI16(D + 28, t.dataType);
        h.setI16(D + 42, 1);
        h.setI16(D + 52, 0);
        setPoints(t.points - 1, t.points - 2);
        putSdfUnit(h, D + 68, kSdfHertz);
        const int32_t steps = std::max(t.points - 2, 1);
        const double lowest = x(0);
        const double highest = x(int16_t(std::max(t.points - 2, 0)));
        double start = lowest;
        double ratio = 1.0;
        switch (entry(cat.octaveResolution[0])) {
        case 0:
            ratio = std::pow(highest / lowest, 1.0 / steps);
            break;
        case 1:
            start = lowest * 0.793799526;
            ratio = std::pow(highest * 1.25992105 / start, 1.0 / steps);
            break;
        default:
            ratio = std::pow(highest / lowest, 1.0 / steps);
            break;
        }
        setXStartStep(start, ratio);
    }

    void vectorHeader() override {
        if (userFunctionVector()) return;
        int16_t c = singleChannel();
        if (c >= 0) setVector(c, c, 48, 48);
    }
};

// ------------------------------------------------------------ Swept Sine

class CSdfOutSS : public CSdfOutTrans {
  public:
    using CSdfOutTrans::CSdfOutTrans;

    void measurementHeader() override {
        const double start = cat.sweptStart[0].getData(ePaoEntry);
        const double span = cat.sweptStop[0].getData(ePaoEntry) - start;
        setCenterSpan(h, start + span / 2, span);
        h.setI32(M + 18, 401);
        setStopIndex(h, 400);
        h.setI16(M + 126, 2);
    }

    void dataHeader() override {
        const double f1 = cat.sweptStart[0].getData(ePaoEntry);
        const double f2 = cat.sweptStop[0].getData(ePaoEntry);
        const double steps = std::max(cat.sweptPoints[0].getData(ePaoEntry) - 1, 1);
        h.setI16(D + 26, 0);
        h.setI16(D + 28, t.dataType);
        setPoints(t.points, t.points - 1);
        putSdfUnit(h, D + 68, kSdfHertz);
        const bool logSweep = entry(cat.sweptType[0]) == 1;
        double step = std::fabs(f2 - f1) / steps;
        if (logSweep) {
            h.setI16(D + 42, 1);
            const double low = std::min(f1, f2);
            step = low > 0 ? std::pow(std::max(f1, f2) / low, 1.0 / steps) : 1.0;
        }
        setXStartStep(f1, step);
        if (powerData(t.dataType)) h.setI16(D + 56, 1);
        if (t.dataType == 25) {
            h.setI16(D + 52, 0);
            h.setI16(D + 54, 1);
        }
    }

    void vectorHeader() override {
        if (userFunctionVector()) return;
        int16_t c = singleChannel();
        if (t.dataType == 25 && c >= 0) return setVector(c, c, 0, 0);
        if (t.desc.channelMask() == 3) return setVector(1, 0, 48, t.dataType == 3 ? 48 : -48);
        if (c >= 0) setVector(c, -1, 48, 0);
    }
};

} // namespace

// ------------------------------------------------------------ shared operations

void CSdfOutTrans::setPoints(int32_t points, int32_t lastValid) {
    h.setI32(D + 134, points);
    h.setI16(D + 30, int16_t(points));
    h.setI32(D + 138, lastValid);
    h.setI16(D + 32, int16_t(lastValid));
}

void CSdfOutTrans::setXStartStep(double start, double step) {
    h.setF64(D + 114, start);
    h.setF64(D + 122, step);
    h.setF32(D + 34, float(start));
    h.setF32(D + 38, float(step));
}

void CSdfOutTrans::setVector(int16_t c0, int16_t c1, int16_t p0, int16_t p1) {
    h.setI16(H::kVectorHdr + 10, c0);
    h.setI16(H::kVectorHdr + 12, c1);
    h.setI16(H::kVectorHdr + 14, p0);
    h.setI16(H::kVectorHdr + 16, p1);
}

int16_t CSdfOutTrans::singleChannel() const {
    uint8_t mask = t.desc.channelMask();
    return mask == 1 || mask == 2 ? int16_t(mask - 1) : int16_t(-1);
}

bool CSdfOutTrans::userFunctionVector() {
    if (!isUserFunction(t.measurement)) return false;
    int16_t channel[2] = {-1, -1};
    int16_t power[2] = {0, 0};
    int used = 0;
    for (int i = 0; i < MeasDesc::kPairCount; ++i) {
        const int e = t.desc.unitExponent(i);
        if (e == 0) break;
        const int code = t.desc.unitCode(i);
        if (code < eUnitCh1Time || code > eUnitCh2Spec) continue;
        const int16_t c = code <= eUnitCh1Spec ? 0 : 1;
        int k = 0;
        while (k < used && channel[k] != c)
            ++k;
        if (k == used) {
            if (used == 2) continue;
            channel[used++] = c;
        }
        power[k] = int16_t(power[k] + 48 * e);
    }
    setVector(channel[0], channel[1], power[0], power[1]);
    return true;
}

bool CSdfOutTrans::channelPresent(int slot) const {
    return h.vectorChannel(0) == slot || h.vectorChannel(1) == slot;
}

void CSdfOutTrans::channelHeaders() {
    inpRngAct* ranges[2] = {&cat.inputRange1, &cat.inputRange2};
    rngEnumAction* couplings[2] = {&cat.coupling1, &cat.coupling2};
    enumParAction* filters[2] = {&cat.aaFilter1, &cat.aaFilter2};
    const bool modal = entry(cat.modalData) == 1;
    for (int slot = 0; slot < 2; ++slot) {
        const size_t at = H::channelAt(slot);
        h.setF32(at + 94, ranges[slot]->range(ePaoEntry));
        h.setI16(at + 102, entry(*couplings[slot]) != 0 ? 1 : 0);
        h.setI16(at + 148, entry(*filters[slot]));
        if (!modal || !channelPresent(slot)) continue;
        // The first input of a two-channel measurement is the reference.
        const bool reference = slot == 0 && t.desc.channelMask() == 3;
        h.setI16(at + 98,
                 directionCode(entry(reference ? cat.refDirection[0] : cat.respDirection[0])));
        h.setI16(at + 100, entry(reference ? cat.refNumber[0] : cat.respNumber[0]));
    }
}

void CSdfOutTrans::windowBlocks() {
    const int16_t w = entry(cat.window[0]);
    const WindowBlock& b = kWindows[w >= 0 && w <= 9 ? w : 3];
    for (int slot = 0; slot < 2; ++slot) {
        if (!channelPresent(slot)) continue;
        const size_t at = H::channelAt(slot);
        h.setI16(at + 64, b.type);
        h.setF32(at + 68, b.bandwidth);
        h.setF32(at + 80, b.wideBand);
        h.setF32(at + 84, b.narrowBand);
    }
}

std::unique_ptr<CSdfOutTrans> makeSdfOutTranslator(Catalogue& cat, int group, CSdfHdrs& hdrs,
                                                   const SdfOutTrace& trace) {
    switch (group) {
    case 0:
        return std::make_unique<CSdfOutFFT>(cat, hdrs, trace);
    case 1:
        return std::make_unique<CSdfOutCorr>(cat, hdrs, trace);
    case 2:
        return std::make_unique<CSdfOutOct>(cat, hdrs, trace);
    case 3:
        return std::make_unique<CSdfOutSS>(cat, hdrs, trace);
    case 4:
        return std::make_unique<CSdfOutOrd>(cat, hdrs, trace);
    case 5:
        return std::make_unique<CSdfOutHist>(cat, hdrs, trace);
    default:
        return nullptr;
    }
}

void sdfEngineeringUnitsOut(Catalogue& cat, CSdfHdrs& h) {
    enumParAction* on[2] = {&cat.engUnits1[0], &cat.engUnits2[0]};
    euSensAct* factor[2] = {&cat.euPerVolt1[0], &cat.euPerVolt2[0]};
    enumParAction* label[2] = {&cat.euLabel1[0], &cat.euLabel2[0]};
    enumParAction* output[2] = {&cat.transducerOut1[0], &cat.transducerOut2[0]};
    strActionObj* userLabel[2] = {&cat.euUserLabel1[0], &cat.euUserLabel2[0]};
    constexpr int16_t kUser = 14;
    for (int c = 0; c < 2; ++c) {
        if (entry(*on[c]) != 1) continue;
        const size_t at = H::channelAt(c);
        h.data()[at + 116 + 9] = 0;
        // A zero factor has no calibration: the values stay in volts.
        const float f = factor[c]->getData(ePaoEntry);
        h.setF32(at + 138, f != 0.0f ? 1.0f / f : 1.0f);
        const int16_t id = entry(*label[c]);
        if (id == kUser) {
            char text[10] = {};
            std::snprintf(text, sizeof text, "%s", userLabel[c]->getStr(ePaoEntry));
            putSdfUnit(h, at + 116, SdfUnit{text, 1.0f, {}});
        } else {
            putSdfUnit(
                h, at + 116,
                sdfEngineeringUnit(id > 7 ? id : std::clamp<int16_t>(entry(*output[c]), 0, 7)));
        }
    }
}

} // namespace vx
