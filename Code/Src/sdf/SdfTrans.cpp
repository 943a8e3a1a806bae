// HP SDF translators, reading direction: the settings each measurement group
// takes from the SDF headers, and the vector-header words of its trace.
#include "sdf/SdfTrans.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "params/Catalog.h"
#include "trace/MeasDesc.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

// Data types of each group (the measurement ids of the catalogue).
constexpr SdfDataType kFftTypes[] = {
    {0, 4, true},   {2, 2, true},  {1, 0, true},   {3, 10, false},
    {4, 11, false}, {8, 9, false}, {22, 8, false}, {kSdfTableEnd, -1, false}};
constexpr SdfDataType kCorrTypes[] = {
    {0, 22, true}, {5, 19, true}, {6, 21, false}, {kSdfTableEnd, -1, false}};
constexpr SdfDataType kOctTypes[] = {
    {11, 33, true}, {12, 33, true}, {39, 33, true}, {kSdfTableEnd, -1, false}};
constexpr SdfDataType kSweptTypes[] = {
    {1, 42, true}, {25, 44, true}, {3, 46, false}, {4, 47, false}, {kSdfTableEnd, -1, false}};
constexpr SdfDataType kOrderTypes[] = {
    {21, 55, true}, {0, 57, true}, {22, 62, false}, {kSdfTableEnd, -1, false}};
constexpr SdfDataType kHistTypes[] = {
    {14, 72, true}, {15, 74, true}, {16, 76, true}, {kSdfTableEnd, -1, false}};

// Measurements of the Order group.
enum : int16_t {
    eOrdPwrSpec1 = 55,
    eOrdPwrSpec2 = 56,
    eOrdTime1 = 57,
    eOrdTime2 = 58,
    eOrdOrbit = 62,
    eHisto1 = 72,
    eHisto2 = 73
};
constexpr int16_t kMeasFftOrbit = 8;

// Indices of the enumerations that the translation sets.
enum : int16_t { eBase100k = 0, eBase102k4 = 1 };
enum : int16_t { eAvgNone = 0, eAvgVector, eAvgRms, eAvgPeakHold };
enum : int16_t { eModeLinear = 0, eModeExponential = 1 };
enum : int16_t { eWinUniform = 0, eWinFlattop, eWinHanning, eWinBmh, eWinKaiser, eWinForceExp };
enum : int16_t { eWinHalfT = 7, eWinZeroHalfT = 8, eWinQuarterT = 9 };

int16_t entry(const enumParAction& p) {
    return p.getData(ePaoEntry);
}

int16_t currentMeasurement(Catalogue& cat) {
    return entry(cat.measurement[0]);
}

const MeasDesc& currentDescriptor(Catalogue& cat) {
    return measDescriptor(std::clamp<int>(currentMeasurement(cat), 0, kMeasurementCount - 1));
}

Status invalidFormat() {
    errLog() << msg::eInvalidFileFormat << endLine;
    return kStatusFailed;
}

uint32_t floatWord(float f) {
    uint32_t w;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

uint32_t intWord(int32_t v) {
    return static_cast<uint32_t>(v);
}

// trunc(log2(n) + 0.1) - 7: the length code of a vector of n points.
int32_t lengthCode(int32_t n) {
    return n > 0 ? static_cast<int32_t>(std::log2(double(n)) + 0.1) - 7 : -7;
}

// The span index of a span in Hz on the 102.4 kHz base; -1 when none fits.
int16_t spanIndexOf(double hz) {
    if (!std::isfinite(hz) || hz <= 0) return -1;
    double s = std::round(std::log2(hz / 102400.0)) + spanActType::kHighestIndex;
    if (s < 0 || s > spanActType::kHighestIndex) return -1;
    return static_cast<int16_t>(s);
}

// The first vector channel's slot, or -1 when the vector has none.
int16_t firstSlot(const CSdfHdrs& h) {
    return h.vectorChannel(0);
}

bool spanStartsAtZero(Catalogue& cat) {
    return cat.startFreq[0].value(startFreqAction::eStart, ePaoEntry).count == 0;
}

int16_t averagesSetting(Catalogue& cat) {
    return cat.numAverages[0].getData(ePaoEntry);
}

// Words 9 to 12 of the averaged groups.
void averageWords(Catalogue& cat, uint32_t w[32]) {
    int16_t avgs = averagesSetting(cat);
    w[9] = intWord(avgs);
    w[10] = floatWord(avgs != 0 ? 1.0f - 1.0f / float(avgs) : 0.0f);
    w[11] = floatWord(0.5f);
    w[12] = intWord(avgs);
}

uint32_t channelMaskWord(Catalogue& cat) {
    return intWord(currentDescriptor(cat).channelMask() * 5);
}

} // namespace

int sdfGroupOfMeasType(int16_t t) {
    switch (t) {
    case 0:
    case 1:
    case 3:
    case 10:
        return eSdfFFT;
    case 2:
    case 9:
    case 11:
        return eSdfSS;
    case 4:
        return eSdfOrd;
    case 5:
        return eSdfOct;
    case 7:
        return eSdfCorr;
    case 8:
        return eSdfHist;
    default:
        return -1;
    }
}

int16_t sdfAveragingRange(int16_t t) {
    if (t == 4) return 2;
    if (t == 7) return 1;
    return 0;
}

int16_t CSdfTrans::measurementFor(int16_t dataType, int16_t slot) const {
    for (const SdfDataType* row = types_; row->dataType != kSdfTableEnd; ++row) {
        if (row->dataType != dataType) continue;
        return static_cast<int16_t>(row->measurement + (row->perChannel && slot == 1 ? 1 : 0));
    }
    return -1;
}

// ------------------------------------------------------------ FFT

CSdfFFT::CSdfFFT(Catalogue& cat, CSdfHdrs* hdrs) : CSdfTrans(cat, hdrs, kFftTypes) {}

Status CSdfFFT::frequencySettings() {
    const CSdfHdrs& h = *hdrs_;
    (void)cat.baseFreq[0].setData(eBase102k4, 0);
    const double spanHz = h.span() * 0.78125000174622987;
    const int16_t spanIndex = spanIndexOf(spanHz);
    const double center = h.centerFreq();
    if (spanIndex < 0 || !std::isfinite(center)) return invalidFormat();
    (void)cat.span[0].setData(spanIndex, 0);
    const double start = h.span() == 2 * center ? 0.0 : 2 * (center - 0.390625 * h.span());
    if (start < 0 || start > 102400) return invalidFormat();
    (void)cat.startFreq[0].setHz(startFreqAction::eStart, start);

    const int64_t points = int64_t(h.lastValidIndex()) + 1;
    if (points <= 0) return invalidFormat();
    int64_t lines = std::llround(std::log2(double(points))) - 7;
    if (currentDescriptor(cat).axisKind() == -1 && spanStartsAtZero(cat)) --lines;
    if (lines < 0 || lines > 3) {
        errLog() << msg::eFftLinesUnsupported << points << msg::eFftLinesRange << endLine;
        return kStatusFailed;
    }
    (void)cat.fftLines[0].setData(static_cast<int16_t>(lines), 0);
    return kStatusOk;
}

void CSdfFFT::averageSettings() {
    const int32_t count = std::clamp<int32_t>(hdrs_->averageCount(), 2, 32767);
    (void)cat.numAverages[0].setData(static_cast<int16_t>(count));
    const float overlap = hdrs_->overlap();
    if (std::isfinite(overlap)) (void)cat.timeRecordIncr[0].setData((1.0f - overlap) * 100.0f);
}

Status CSdfFFT::settingsFromHeaders() {
    Status st = frequencySettings();
    if (st.failed()) return st;
    (void)cat.measAveraging[0].setData(1, 0);
    averageSettings();
    windowAndAveragingFromHeaders();
    return kStatusOk;
}

void CSdfFFT::averagingFromType(int16_t averageType, bool knowsPeakHold) {
    int16_t type = eAvgNone;
    int16_t mode = eModeExponential;
    switch (averageType) {
    case 1:
        type = eAvgRms, mode = eModeLinear;
        break;
    case 2:
        type = eAvgRms;
        break;
    case 3:
        type = eAvgVector, mode = eModeLinear;
        break;
    case 4:
        type = eAvgVector;
        break;
    case 5:
        if (knowsPeakHold) type = eAvgPeakHold;
        break;
    case 6:
        if (knowsPeakHold) type = eAvgPeakHold, mode = eModeLinear;
        break;
    default:
        break;
    }
    (void)cat.measAveragingType[0].setData(type, 0);
    (void)cat.averaging[0].setData(mode, 0);
}

void CSdfFFT::windowAndAveragingFromHeaders() {
    const int16_t slot = firstSlot(*hdrs_);
    int16_t w = eWinBmh;
    switch (slot < 0 ? -1 : hdrs_->windowType(slot)) {
    case 3:
        w = eWinUniform;
        break;
    case 2:
        w = eWinFlattop;
        break;
    case 1:
        w = eWinHanning;
        break;
    case 10:
        w = eWinKaiser;
        break;
    case 4:
    case 5:
        w = eWinForceExp;
        break;
    default:
        break;
    }
    (void)cat.window[0].setData(w, 0);
    (void)cat.measAveragingType[0].setRange(0);
    averagingFromType(hdrs_->averageType(), true);
}

void CSdfFFT::traceLayoutFromHeaders(TraceMgr&, uint32_t w[32]) {
    const int32_t n = hdrs_->lastValidIndex() + 1;
    const MeasDesc& d = currentDescriptor(cat);
    const bool baseband = spanStartsAtZero(cat);
    const int32_t startCount = cat.startFreq[0].value(startFreqAction::eStart, ePaoEntry).count;
    w[0] = intWord(n);
    if (d.axisKind() == 3)
        w[4] = 1;
    else if (currentMeasurement(cat) == kMeasFftOrbit)
        w[4] = 0;
    else if (d.axisKind() == -1 && baseband)
        w[4] = 1;
    w[5] = intWord(lengthCode(n));
    w[7] = baseband && d.bytes[5] == 1 ? 1 : 0;
    averageWords(cat, w);
    w[13] = intWord(19 - entry(cat.span[0]));
    w[14] = baseband ? 1 : intWord(-((startCount >> 18) & 0x3FFF));
    w[15] = channelMaskWord(cat);
    w[16] = 1;
    w[17] = static_cast<uint32_t>(startCount) << 14;
}

// ------------------------------------------------------------ Correlation

CSdfCorr::CSdfCorr(Catalogue& cat, CSdfHdrs* hdrs) : CSdfFFT(cat, hdrs, kCorrTypes) {}

void CSdfCorr::windowAndAveragingFromHeaders() {
    const int16_t slot = firstSlot(*hdrs_);
    (void)cat.window[0].setRange(1);
    int16_t w = eWinQuarterT;
    if (slot >= 0 && hdrs_->windowType(slot) == 3) w = eWinHalfT;
    if (slot >= 0 && hdrs_->windowType(slot) == 15) w = eWinZeroHalfT;
    (void)cat.window[0].setData(w, 0);
    (void)cat.measAveragingType[0].setRange(1);
    averagingFromType(hdrs_->averageType(), false);
}

// ------------------------------------------------------------ Octave

CSdfOct::CSdfOct(Catalogue& cat, CSdfHdrs* hdrs) : CSdfTrans(cat, hdrs, kOctTypes) {}

Status CSdfOct::settingsFromHeaders() {
    const CSdfHdrs& h = *hdrs_;
    static const int16_t kBandsPerOctave[] = {1, 3, 12};
    (void)cat.baseFreq[0].setData(eBase100k, 0);
    const int16_t type = h.dataType();
    const int16_t resolution = type == 11 ? 0 : type == 12 ? 1 : 2;
    (void)cat.octaveResolution[0].setData(resolution, 0);

    double x = h.xStart() * 0.0000441941738125;
    if (resolution == 2) x *= 0.89089334;
    const int64_t bands = int64_t(h.lastValidIndex()) + 1;
    if (!std::isfinite(x) || x <= 0 || bands < kBandsPerOctave[resolution]) return invalidFormat();
    // Third octaves: the nearest band. Files of analyzers start at the first
    // band's centre, files of this program at its lower edge; the next integer
    // up puts the latter one octave low.
    const double octaves = -std::log10(x) / std::log10(2.0);
    // Band numbers grow as the frequency falls: the first band of the span is
    // the highest frequency, the lowest band the last.
    const double lowestBand = resolution == 1 ? std::round(octaves) : std::ceil(octaves);
    const double firstBand = lowestBand - double(bands / kBandsPerOctave[resolution]) + 1;
    if (lowestBand < 0 || lowestBand > 18 || firstBand < 0 || firstBand > 18)
        return invalidFormat();
    (void)cat.octaveSpan[0].setData(static_cast<int16_t>(firstBand), 0);
    (void)cat.octaveSpan[0].setLowestBand(static_cast<int16_t>(lowestBand));

    // The field holds twice the integration time, which is at most 1000 s.
    const float integration = h.overlap();
    if (!(integration <= 2000)) return invalidFormat();
    if (integration > 0) (void)cat.octIntegrationTime[0].setData(integration / 2);
    switch (h.averageType()) {
    case 1:
        (void)cat.octAveragingType[0].setData(0, 0);
        break;
    case 2:
        (void)cat.octAveragingType[0].setData(1, 0);
        break;
    case 6:
        (void)cat.octAveragingType[0].setData(2, 0);
        break;
    case 10:
        (void)cat.octAveragingType[0].setData(3, 0);
        break;
    default:
        break;
    }
    return kStatusOk;
}

void CSdfOct::traceLayoutFromHeaders(TraceMgr&, uint32_t w[32]) {
    const int32_t n = hdrs_->lastValidIndex() + 1;
    const float integration = cat.octIntegrationTime[0].getData(ePaoEntry);
    w[0] = intWord(n);
    w[4] = 1;
    w[5] = intWord(lengthCode(n) + 7);
    w[10] = floatWord(integration);
    w[11] = floatWord(0.5f);
    w[12] = intWord(static_cast<int32_t>(integration * 250) + 1);
    w[13] = intWord(19 - entry(cat.octaveSpan[0]));
    w[14] = intWord(19 - cat.octaveSpan[0].lowestBand(ePaoEntry));
    w[15] = channelMaskWord(cat);
    w[16] = 2;
    w[17] = intWord(entry(cat.octaveChannels[0]));
}

// ------------------------------------------------------------ Swept Sine

CSdfSS::CSdfSS(Catalogue& cat, CSdfHdrs* hdrs) : CSdfTrans(cat, hdrs, kSweptTypes) {}

Status CSdfSS::settingsFromHeaders() {
    const CSdfHdrs& h = *hdrs_;
    const double start = h.xStart();
    const double stop = start + h.span();
    const int64_t points = int64_t(h.lastValidIndex()) + 1;
    const bool logarithmic = h.xResolutionType() == 1;
    if (!std::isfinite(start) || !std::isfinite(stop) || start < 0 || stop < 0 || start > 102400 ||
        stop > 102400 || points < 2 || points > 2047 || (logarithmic && (start <= 0 || stop <= 0)))
        return invalidFormat();
    (void)cat.baseFreq[0].setData(eBase102k4, 0);
    (void)cat.sweptStart[0].setData(float(start));
    (void)cat.sweptStop[0].setData(float(stop));
    (void)cat.sweptPoints[0].setData(static_cast<int16_t>(points));
    (void)cat.sweptType[0].setData(logarithmic ? 1 : 0, 0);
    return kStatusOk;
}

void CSdfSS::traceLayoutFromHeaders(TraceMgr&, uint32_t w[32]) {
    const int32_t n = hdrs_->lastValidIndex() + 1;
    const float start = cat.sweptStart[0].getData(ePaoEntry);
    const float stop = cat.sweptStop[0].getData(ePaoEntry);
    const bool logarithmic = entry(cat.sweptType[0]) == 1;
    const float steps = float(std::max(n - 1, 1));
    w[0] = intWord(n);
    w[5] = intWord(lengthCode(n));
    w[13] = floatWord(start);
    w[14] = floatWord(logarithmic ? 0.0f : (stop - start) / steps);
    w[15] = channelMaskWord(cat);
    w[16] = 3;
    w[17] = floatWord(logarithmic ? std::pow(stop / start, 1.0f / steps) : 1.0f);
    for (int k = 18; k <= 21; ++k)
        w[k] = intWord(n);
}

// ------------------------------------------------------------ Order

CSdfOrd::CSdfOrd(Catalogue& cat, CSdfHdrs* hdrs) : CSdfFFT(cat, hdrs, kOrderTypes) {}

Status CSdfOrd::settingsFromHeaders() {
    const CSdfHdrs& h = *hdrs_;
    const double delta = h.xStep();
    if (!std::isfinite(delta) || delta <= 0) return invalidFormat();
    double deltaOrd = 0;
    double maxOrd = 0;
    switch (currentMeasurement(cat)) {
    case eOrdPwrSpec1:
    case eOrdPwrSpec2:
        deltaOrd = delta;
        maxOrd = h.lastValidIndex() * delta;
        break;
    case eOrdTime1:
    case eOrdTime2:
    case eOrdOrbit: {
        const int32_t n = h.pointCount();
        if (n <= 0) return invalidFormat();
        const double b = std::trunc(std::log2(double(n)) - 8);
        if (b < 0 || b > 3) return invalidFormat();
        deltaOrd = 1.0 / (n * delta);
        maxOrd = (400 >> (3 - int(b))) * deltaOrd;
        break;
    }
    default:
        errLog() << msg::eMeasTranslationUnsupported << endLine;
        return kStatusFailed;
    }
    if (!std::isfinite(maxOrd) || maxOrd <= 0 || !std::isfinite(deltaOrd)) return invalidFormat();
    (void)cat.deltaOrder[0].setData(float(deltaOrd));
    (void)cat.maxOrder[0].setData(float(maxOrd));
    (void)cat.maxRpm[0].setData(float(2400000 / maxOrd));
    (void)cat.minRpm[0].setData(0.001f);
    (void)cat.orderWaterfallSwitch[0].setData(0, 0);
    averageSettings();
    windowAndAveragingFromHeaders();
    return kStatusOk;
}

void CSdfOrd::traceLayoutFromHeaders(TraceMgr& trace, uint32_t w[32]) {
    const MeasDesc& d = currentDescriptor(cat);
    trace.computeLengths();
    const int32_t n = trace.nPts;
    const int32_t record = d.axisKind() == -2 ? n / 2 : n;
    const int32_t c = std::clamp(10 - int32_t(std::log2(double(std::max(record, 1)))), 0, 3);
    const float deltaOrd = cat.deltaOrder[0].getData(ePaoEntry);
    const float maxOrd = cat.maxOrder[0].getData(ePaoEntry);
    w[0] = intWord(n);
    w[4] = d.axisKind() == -2 && currentMeasurement(cat) != eOrdOrbit ? 1 : 0;
    w[5] = intWord(lengthCode(n));
    w[7] = d.bytes[5] == 1 ? 1 : 0;
    averageWords(cat, w);
    w[14] = floatWord(maxOrd != 0 ? 2400000 / maxOrd * 0.5f : 0.0f);
    w[15] = channelMaskWord(cat);
    w[16] = 5;
    w[17] = floatWord(float(400 >> c) * deltaOrd);
    w[18] = floatWord(deltaOrd);
}

// ------------------------------------------------------------ Time Histogram

CSdfHist::CSdfHist(Catalogue& cat, CSdfHdrs* hdrs) : CSdfFFT(cat, hdrs, kHistTypes) {}

Status CSdfHist::settingsFromHeaders() {
    const CSdfHdrs& h = *hdrs_;
    const int16_t spanIndex = spanIndexOf(h.span() * 400 / 512);
    const int16_t slot = firstSlot(h);
    const int16_t blockSize = h.i16(CSdfHdrs::kMeasHdr + 18);
    if (spanIndex < 0 || slot < 0 || blockSize <= 0) return invalidFormat();
    const float e = h.range(slot) - 20.0f * std::log10(1.25f);
    if (!std::isfinite(e) || std::fabs(e) > 1000) return invalidFormat();
    (void)cat.fftLines[0].setData(2, 0);
    (void)cat.baseFreq[0].setData(eBase102k4, 0);
    (void)cat.span[0].setData(spanIndex, 0);
    (void)cat.startFreq[0].setHz(startFreqAction::eStart, 0.0);

    const double bins = std::round(std::log2(blockSize * 0.25));
    (void)cat.histogramBins[0].setData(static_cast<int16_t>(std::clamp(bins, 0.0, 8.0)), 0);

    const int32_t even = static_cast<int32_t>(std::fabs(e) + 1) & ~1;
    const int16_t range = static_cast<int16_t>(e < 0 ? -even : even);
    (void)cat.inputRange1.setData(range);
    (void)cat.inputRange2.setData(range);
    if (cat.inputRange1.range(ePaoEntry) != e)
        errLog() << msg::eRangeIncompatible << e << msg::eDbvpkUsing
                 << cat.inputRange1.range(ePaoEntry) << msg::eDbvpkUnit << endLine;
    return kStatusOk;
}

void CSdfHist::traceLayoutFromHeaders(TraceMgr&, uint32_t w[32]) {
    const int32_t n = hdrs_->i32(CSdfHdrs::kMeasHdr + 18);
    const float f = 1.25f * std::pow(10.0f, cat.inputRange1.range(ePaoEntry) / 20.0f) *
                    sdfCorrectionFactor(*hdrs_);
    w[0] = intWord(n);
    w[4] = 1;
    w[5] = intWord(lengthCode(n));
    w[13] = intWord(19 - entry(cat.span[0]));
    w[14] = 1;
    w[15] = channelMaskWord(cat);
    w[16] = 1;
    w[17] = floatWord(-f);
    w[18] = floatWord(f);
    w[19] = floatWord(n != 0 ? 2 * f / float(n) : 0.0f);
    w[20] = floatWord(f != 0 ? float(n) / (2 * f) : 0.0f);
    w[21] = intWord(n);
}

std::unique_ptr<CSdfTrans> makeSdfTranslator(Catalogue& cat, int group, CSdfHdrs* hdrs) {
    switch (group) {
    case eSdfFFT:
        return std::make_unique<CSdfFFT>(cat, hdrs);
    case eSdfCorr:
        return std::make_unique<CSdfCorr>(cat, hdrs);
    case eSdfOct:
        return std::make_unique<CSdfOct>(cat, hdrs);
    case eSdfSS:
        return std::make_unique<CSdfSS>(cat, hdrs);
    case eSdfOrd:
        return std::make_unique<CSdfOrd>(cat, hdrs);
    case eSdfHist:
        return std::make_unique<CSdfHist>(cat, hdrs);
    default:
        return nullptr;
    }
}

} // namespace vx
