// Derived parameters in the frequency and time domain: the display links,
// frequencies, the start/center/end triple, octave spans, spans and sample
// rates, and delays kept in seconds and samples.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "params/DerivedParams.h"
#include "base/LeBytes.h"
#include "params/STARTUP.h"

namespace vx {

// ---- the display links

namespace {

DisplayLinks unlinked[2]; // the links of objects built outside a catalogue

constexpr int16_t kDefaultBaseFreq = 1; // 102.4 kHz
constexpr int16_t kDefaultFftLines = 2; // 400 lines
constexpr int16_t kHighestFftLines = 3;
constexpr uint32_t kFullSpanCounts = 0x19000000;   // 102.4 kHz at the 102.4 kHz base
constexpr uint32_t kFullSampleCounts = 0x40000000; // the 262.144 kHz sample rate

int16_t entryOr(const enumParAction* p, int16_t fallback) {
    return p ? p->getData(ePaoEntry) : fallback;
}

// Indices used as shift counts stay within their tables.
int16_t clampIndex(int16_t v, int16_t highest) {
    return std::clamp<int16_t>(v, 0, highest);
}

// The preferred third-octave centres from 40 kHz down.
constexpr float kOctaveCentres[] = {
    40000, 32000,  25000, 20000, 16000, 12500,  10000, 8000,  6300,  5000, 4000,  3150,
    2500,  2000,   1600,  1250,  1000,  800,    630,   500,   400,   315,  250,   200,
    160,   125,    100,   80,    63,    50,     40,    31.5,  25,    20,   16,    12.5,
    10,    8,      6.3,   5,     4,     3.15,   2.5,   2,     1.6,   1.25, 1,     0.8,
    0.63,  0.5,    0.4,   0.315, 0.25,  0.2,    0.16,  0.125, 0.1,   0.08, 0.063, 0.05,
    0.04,  0.0315, 0.025, 0.02,  0.016, 0.0125, 0.01,  0.008, 0.0063};
constexpr int kHighestCentre = 68;

float centreAt(int index) {
    return kOctaveCentres[std::clamp(index, 0, kHighestCentre)];
}

void writeFreq(uint8_t* p, const FreqValue& v) {
    putLe32(p, static_cast<uint32_t>(v.count));
    putLe64(p + 4, doubleBits(v.hz));
}

FreqValue readFreq(const uint8_t* p) {
    return FreqValue{static_cast<int32_t>(getLe32(p)), bitsDouble(getLe64(p + 4))};
}

} // namespace

DisplayLinks* paramActionObj::constructionLinks() {
    DisplayLinks* links = linksInConstruction();
    return links ? links : unlinked;
}

const DisplayLinks& paramActionObj::links() const {
    return linkTable[dispIndex == 1 ? 1 : 0];
}

int16_t displayBaseFreq(const DisplayLinks& links) {
    return entryOr(links.baseFreq, kDefaultBaseFreq);
}

int16_t displayFftLines(const DisplayLinks& links) {
    return clampIndex(entryOr(links.fftLines, kDefaultFftLines), kHighestFftLines);
}

double displayLineSpacing(const DisplayLinks& links) {
    const int16_t span = clampIndex(entryOr(links.span, 19), 19);
    return std::ldexp(freqResolution(displayBaseFreq(links)), span - displayFftLines(links) + 3);
}

double octaveBandCentre(int16_t i, int16_t lowestBand, int16_t resolution) {
    if (resolution == 0) return centreAt(3 * lowestBand + 1 - 3 * i);
    if (resolution == 1) return centreAt(3 * lowestBand + 2 - i);
    return std::pow(2.0, (2.0 * i - 7) / 24) * 32000 / std::pow(2.0, lowestBand);
}

// ---- freqAct

freqAct::freqAct(int32_t defCount, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr) {
    const FreqValue v{defCount, defCount * freqResolution(displayBaseFreq(links()))};
    pReal = poolValue(v);
    for (FreqValue& slot : slots)
        slot = v;
    registerInList(this, paoFlags, paoId);
}

const char* freqAct::getStr(char slot) {
    formatFrequency(&slots[slotIndex(slot)], textBuf, sizeof textBuf, displayBaseFreq(links()), 8,
                    true, links().rpmSwitch);
    return textBuf;
}

void* freqAct::setParam(actType) {
    *pReal = slots[ePaoEntry];
    return pReal;
}

Status freqAct::setHz(double hz) {
    const int16_t base = displayBaseFreq(links());
    const int32_t count = hzToCount(hz, base);
    slots[ePaoEntry] = FreqValue{count, count * freqResolution(base)};
    *pReal = slots[ePaoEntry];
    return kStatusOk;
}

Status freqAct::Serialize(socket* stream, int16_t dir, char slot) {
    const int s = slotIndex(slot);
    uint8_t bytes[12];
    if (dir != 0) {
        writeFreq(bytes, s == ePaoEntry ? *pReal : slots[s]);
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.ok()) slots[s] = readFreq(bytes);
    return status;
}

void freqAct::slotToSlot(EPaoIndex from, EPaoIndex to) {
    slots[slotIndex(to)] = slots[slotIndex(from)];
}

// ---- startFreqAction

startFreqAction::startFreqAction(int32_t start, int32_t center, int32_t end, uint32_t paoId,
                                 int16_t paoFlags, int16_t dispIdx)
    : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr) {
    const int32_t counts[3] = {start, center, end};
    const double resolution = freqResolution(displayBaseFreq(links()));
    for (int k = 0; k < 3; ++k) {
        const FreqValue v{counts[k], counts[k] * resolution};
        pReal[k] = poolValue(v);
        for (FreqValue& slot : slots[k])
            slot = v;
    }
    registerInList(this, paoFlags, paoId);
}

int16_t startFreqAction::clampWhich(int16_t which) {
    return std::clamp<int16_t>(which, eStart, eEnd);
}

FreqValue startFreqAction::value(int16_t which, char slot) const {
    FreqValue v = slots[clampWhich(which)][slotIndex(slot)];
    v.hz = v.count * freqResolution(displayBaseFreq(links()));
    return v;
}

Status startFreqAction::setHz(int16_t which, double hz) {
    const int16_t base = displayBaseFreq(links());
    const spanActType* spanParam = links().span;
    const int64_t span = spanParam ? spanParam->counts(ePaoEntry) : kFullSpanCounts;
    const int64_t given = hzToCount(hz, base);
    const int64_t start = which == eEnd      ? given - span
                          : which == eCenter ? given - span / 2
                                             : given;
    const int64_t counts[3] = {start, start + span / 2, start + span};
    const double resolution = freqResolution(base);
    for (int k = 0; k < 3; ++k) {
        const int32_t count = static_cast<int32_t>(std::clamp<int64_t>(
            counts[k], std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
        slots[k][ePaoEntry] = FreqValue{count, count * resolution};
        *pReal[k] = slots[k][ePaoEntry];
    }
    selector = clampWhich(which);
    return kStatusOk;
}

const char* startFreqAction::getStr(char slot) {
    formatFrequency(&slots[clampWhich(selector)][slotIndex(slot)], textBuf, sizeof textBuf,
                    displayBaseFreq(links()), 10, true, links().rpmSwitch);
    return textBuf;
}

void* startFreqAction::setParam(actType) {
    for (int k = 0; k < 3; ++k)
        *pReal[k] = slots[k][ePaoEntry];
    return pReal[0];
}

Status startFreqAction::Serialize(socket* stream, int16_t dir, char slot) {
    const int s = slotIndex(slot);
    uint8_t bytes[36];
    if (dir != 0) {
        const double resolution = freqResolution(displayBaseFreq(links()));
        for (int k = 0; k < 3; ++k) {
            FreqValue& v = s == ePaoEntry ? *pReal[k] : slots[k][s];
            v.hz = v.count * resolution;
            writeFreq(bytes + 12 * k, v);
        }
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.failed()) return status;
    for (int k = 0; k < 3; ++k)
        slots[k][s] = readFreq(bytes + 12 * k);
    return status;
}

void startFreqAction::slotToSlot(EPaoIndex from, EPaoIndex to) {
    for (auto& value : slots)
        value[slotIndex(to)] = value[slotIndex(from)];
}

// ---- octActType

octActType::octActType(int16_t defIndex, int16_t highest, int16_t defLowest, uint32_t paoId,
                       int16_t paoFlags, int16_t dispIdx)
    : enumParAction(defIndex, highest, nullptr, nullptr, paoId, paoFlags, 0, dispIdx),
      pLowest(poolValue(defLowest)), lowestSlots{defLowest, defLowest, defLowest} {}

int16_t octActType::lowestBand(char slot) const {
    return lowestSlots[slotIndex(slot)];
}

Status octActType::setLowestBand(int16_t band) {
    lowestSlots[ePaoEntry] = band;
    *pLowest = band;
    return kStatusOk;
}

const char* octActType::getStr(char slot) {
    const int s = slotIndex(slot);
    const int16_t resolution = clampIndex(entryOr(links().octaveResolution, 1), 2);
    // The index is the highest octave of the span (its highest band), the
    // second number the lowest octave (its lowest band).
    const bool lowest = iface != 0;
    const int16_t band = lowest ? lowestSlots[s] : slots[s];
    const int16_t bandsPerOctave = resolution == 0 ? 1 : resolution == 1 ? 3 : 12;
    const double hz = octaveBandCentre(lowest ? 0 : bandsPerOctave - 1, band, resolution);
    formatWithUnits(textBuf, sizeof textBuf, hz, freqUnits, resolution == 2 ? 6 : 4, eUnitsShown);
    return textBuf;
}

void* octActType::setParam(actType action) {
    *pLowest = lowestSlots[ePaoEntry];
    return enumParAction::setParam(action);
}

Status octActType::Serialize(socket* stream, int16_t dir, char slot) {
    const int s = slotIndex(slot);
    uint8_t bytes[4];
    if (dir != 0) {
        putLe16(bytes, static_cast<uint16_t>(getRealData(slot)));
        putLe16(bytes + 2, static_cast<uint16_t>(s == ePaoEntry ? *pLowest : lowestSlots[s]));
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.failed()) return status;
    slots[s] = static_cast<int16_t>(getLe16(bytes));
    lowestSlots[s] = static_cast<int16_t>(getLe16(bytes + 2));
    return status;
}

void octActType::slotToSlot(EPaoIndex from, EPaoIndex to) {
    enumParAction::slotToSlot(from, to);
    lowestSlots[slotIndex(to)] = lowestSlots[slotIndex(from)];
}

// ---- spanActType and sampleActType

spanActType::spanActType(int16_t defIndex, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : spanActType(0, defIndex, paoId, paoFlags, dispIdx) {}

spanActType::spanActType(int16_t kindValue, int16_t defIndex, uint32_t paoId, int16_t paoFlags,
                         int16_t dispIdx)
    : enumParAction(defIndex, kHighestIndex, nullptr, nullptr, paoId, paoFlags, 0, dispIdx),
      spanKind(kindValue) {}

int32_t spanActType::counts(char slot) const {
    const int16_t index = clampIndex(slots[slotIndex(slot)], kHighestIndex);
    const uint32_t full = spanKind == 1 ? kFullSampleCounts : kFullSpanCounts;
    return static_cast<int32_t>(full >> (kHighestIndex - index));
}

const char* spanActType::getStr(char slot) {
    const int16_t base = displayBaseFreq(links());
    const int16_t lines = displayFftLines(links());
    uint32_t count = static_cast<uint32_t>(counts(slot));
    if (iface != 0) count = (count >> lines) / 100; // the spacing of 100 x 2^L lines
    FreqValue value{static_cast<int32_t>(count), 0};
    if (iface == 0 || iface == 1) {
        formatFrequency(&value, textBuf, sizeof textBuf, base, 4, true, links().rpmSwitch);
        return textBuf;
    }
    double t = 1.0 / (count * freqResolution(base));
    if (iface == 3) t /= std::ldexp(256.0, lines);
    formatWithUnits(textBuf, sizeof textBuf, t, timeUnits, 3, eUnitsShown);
    return textBuf;
}

Status spanActType::Serialize(socket* stream, int16_t dir, char slot) {
    uint8_t bytes[18];
    if (dir != 0) {
        const int16_t index = getRealData(slot);
        const int16_t lines = displayFftLines(links());
        const double r = std::ldexp(freqResolution(displayBaseFreq(links())),
                                    clampIndex(index, kHighestIndex) - lines + 3);
        putLe16(bytes, static_cast<uint16_t>(index));
        putLe64(bytes + 2, doubleBits(std::ldexp(128.0, lines) * r));
        putLe64(bytes + 10, doubleBits(r));
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.ok()) slots[slotIndex(slot)] = static_cast<int16_t>(getLe16(bytes));
    return status;
}

sampleActType::sampleActType(int16_t defIndex, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : spanActType(1, defIndex, paoId, paoFlags, dispIdx) {}

// ---- binDelayAct

namespace {
constexpr double kSamplePeriod100k = 1.0 / 256000;
constexpr double kSamplePeriod102k = 1.0 / 262144;
constexpr double kRecordSamples = 2048;
} // namespace

binDelayAct::binDelayAct(float secondsValue, int32_t lower, int32_t upper, int16_t modeValue,
                         uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : pairedSlotsAct(secondsValue, 0, dispIdx), lowerSamples(lower), upperSamples(upper),
      mode(modeValue) {
    for (int s = ePaoDefault; s <= ePaoFile; ++s) {
        samplesFromSeconds(s);
        secondsFromSamples(s);
    }
    makeEntryReal();
    registerInList(this, paoFlags, paoId);
}

double binDelayAct::samplePeriod() const {
    if (mode == 1) return 1.0 / (displayLineSpacing(links()) * kRecordSamples);
    const DisplayLinks& display = links();
    const int16_t span = clampIndex(entryOr(display.span, 19), 19);
    double dt = (displayBaseFreq(display) == 0 ? kSamplePeriod100k : kSamplePeriod102k) *
                std::ldexp(1.0, 19 - span);
    const bool zoomed = display.startFreq && display.startFreq->value(0, ePaoEntry).count != 0;
    if (zoomed && (!display.span || display.span->kind() == 0)) dt *= 2;
    return dt;
}

void binDelayAct::samplesFromSeconds(int s) {
    const double n = std::round(firstSlots[s] / samplePeriod());
    // NaN and values beyond the limits take the nearest limit.
    if (!(n >= lowerSamples)) {
        secondSlots[s] = lowerSamples;
        return;
    }
    secondSlots[s] = n > upperSamples ? upperSamples : static_cast<int32_t>(n);
}

void binDelayAct::secondsFromSamples(int s) {
    firstSlots[s] = static_cast<float>(secondSlots[s] * samplePeriod());
}

const char* binDelayAct::getStr(char slot) {
    const int s = slotIndex(slot);
    samplesFromSeconds(s);
    secondsFromSamples(s);
    formatWithUnits(textBuf, sizeof textBuf, firstSlots[s], timeUnits, 6, eUnitsShown);
    return textBuf;
}

Status binDelayAct::setSeconds(float value) {
    firstSlots[ePaoEntry] = value;
    samplesFromSeconds(ePaoEntry);
    secondsFromSamples(ePaoEntry);
    makeEntryReal();
    return kStatusOk;
}

Status binDelayAct::setSamples(int32_t value) {
    secondSlots[ePaoEntry] = std::clamp(value, lowerSamples, upperSamples);
    secondsFromSamples(ePaoEntry);
    makeEntryReal();
    return kStatusOk;
}

} // namespace vx
