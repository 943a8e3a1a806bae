// Derived parameters of a display: its units, its measurement with the view
// and units remembered per measurement, its view, and its scales.
#include <cstdio>
#include <cstring>

#include "params/DerivedParams.h"
#include "base/LeBytes.h"
#include "params/STARTUP.h"

namespace vx {

// ---- unitParAction

unitParAction::unitParAction(int16_t defRange, int16_t defIndex, uint32_t paoId, int16_t paoFlags,
                             int16_t dispIdx)
    : rngEnumAction(RangeRecords(ranges), defRange, defIndex, kHighestIndex, textPtrs, nullptr,
                    paoId, paoFlags, 0, dispIdx) {
    for (auto& range : ranges) {
        range[eRangeLowest] = 0;
        range[eRangeHighest] = kHighestIndex;
        range[eRangeRemembered] = defIndex;
    }
    for (int i = 0; i <= kHighestIndex; ++i)
        textPtrs[i] = textStore[i];
    setUnitText(0, "Vpk");
    setUnitText(1, "Vrms");
}

Status unitParAction::setData(int16_t code, actType action) {
    (void)rngEnumAction::setData(code, action);
    const int16_t fields[3] = {UnitsCode::dbMode(code), UnitsCode::peakUnits(code),
                               UnitsCode::phaseUnits(code)};
    for (int k = 0; k < 3; ++k)
        if (enumerations[k]) (void)enumerations[k]->setData(fields[k], action);
    return kStatusOk;
}

void unitParAction::linkEnumerations(enumParAction* dbMode, enumParAction* peakUnits,
                                     enumParAction* phaseUnits) {
    enumerations[0] = dbMode;
    enumerations[1] = peakUnits;
    enumerations[2] = phaseUnits;
}

void unitParAction::setUnitText(int16_t i, const char* text) {
    if (i < 0 || i > kHighestIndex) return;
    std::snprintf(textStore[i], kTextSize, "%s", text ? text : "");
}

// ---- measParAction

namespace {

constexpr uint8_t kRealPart = 3;
constexpr uint8_t kNyquist = 7;
constexpr uint8_t kLinearMag = 1;

// Initial remembered views: time records in "Real Part", orbits in "Nyquist",
// coherence and normalised variance in "Linear Mag", everything else "Log Mag".
uint8_t initialView(int meas) {
    const auto in = [meas](int lo, int hi) { return meas >= lo && meas <= hi; };
    if (in(4, 7) || in(12, 13) || in(19, 27) || in(35, 36) || in(57, 61) || in(65, 66) ||
        in(72, 81))
        return kRealPart;
    if (meas == 8 || meas == 62) return kNyquist;
    if (meas == 9 || meas == 44 || meas == 45) return kLinearMag;
    return 0;
}

// Initial remembered units: dB of peak values for spectra, dB for responses,
// none for dimensionless results, peak values for the rest.
uint8_t initialUnits(int meas) {
    const auto in = [meas](int lo, int hi) { return meas >= lo && meas <= hi; };
    if (in(0, 3) || meas == 10 || in(33, 34) || in(42, 43) || meas == 46 || in(53, 56) ||
        in(63, 64))
        return 5;
    if (meas == 11 || meas == 47) return 1;
    if (meas == 9 || in(44, 45) || meas == 61 || in(72, 77)) return 0;
    return 4;
}

constexpr uint16_t kScaleModeBytes = 14;

template <class T> T* poolTable(uint16_t count) {
    void* block = paramActionObj::getBlk(static_cast<uint16_t>(count * sizeof(T)));
    std::memset(block, 0, count * sizeof(T));
    return static_cast<T*>(block);
}

} // namespace

measParAction::measParAction(RangeRecords rangeTable, int16_t defRange, int16_t defIndex,
                             const char* const* names, uint32_t paoId, int16_t paoFlags,
                             int16_t dispIdx)
    : rngEnumAction(rangeTable, defRange, defIndex, kMeasCount - 1, names, nullptr, paoId, paoFlags,
                    0, dispIdx),
      views(poolTable<uint8_t>(kMeasCount)), units(poolTable<uint8_t>(kMeasCount)),
      scaleModes(poolTable<uint8_t>(kScaleModeBytes)), scaleRefs(poolTable<int32_t>(kMeasCount)),
      scalePairs(poolTable<int32_t>(2 * kMeasCount)) {
    for (int m = 0; m < kMeasCount; ++m) {
        views[m] = initialView(m);
        units[m] = initialUnits(m);
    }
}

int16_t measParAction::rememberedView(int16_t meas) const {
    return known(meas) ? views[meas] : 0;
}

int16_t measParAction::rememberedUnits(int16_t meas) const {
    return known(meas) ? units[meas] : 0;
}

void measParAction::remember(int16_t meas, int16_t view, int16_t unitsCode) {
    if (!known(meas)) return;
    views[meas] = static_cast<uint8_t>(view);
    units[meas] = static_cast<uint8_t>(unitsCode);
}

void* measParAction::setParam(actType action) {
    void* real = rngEnumAction::setParam(action);
    const int16_t meas = slots[ePaoEntry];
    if (!known(meas)) return real;
    const DisplayLinks& display = links();
    if (display.view) (void)display.view->setData(views[meas], 0);
    if (display.units) (void)display.units->setData(units[meas], 0);
    return real;
}

// ---- viewParAction

namespace {
constexpr int16_t kInitialViewUnits[viewParAction::kViewCount] = {5, 4, 4, 4, 4, 0, 0, 4, 5};
}

viewParAction::viewParAction(int16_t defIndex, const char* const* names, uint32_t paoId,
                             int16_t paoFlags, int16_t dispIdx)
    : enumParAction(defIndex, kViewCount - 1, names, nullptr, paoId, paoFlags, 0, dispIdx),
      unitsTable(poolTable<int16_t>(kViewCount)), scaleTable(poolTable<uint8_t>(kScaleBytes)),
      defaultUnits(poolTable<int16_t>(kViewCount)), defaultScale(poolTable<uint8_t>(kScaleBytes)) {
    for (int v = 0; v < kViewCount; ++v)
        unitsTable[v] = defaultUnits[v] = kInitialViewUnits[v];
}

int16_t viewParAction::viewUnits(int16_t view) const {
    return view >= 0 && view < kViewCount ? unitsTable[view] : 0;
}

Status viewParAction::Serialize(socket* stream, int16_t dir, char slot) {
    const int s = slotIndex(slot);
    int16_t* unitsOf = s == ePaoDefault ? defaultUnits : unitsTable;
    uint8_t* scaleOf = s == ePaoDefault ? defaultScale : scaleTable;
    uint8_t bytes[108];
    if (dir != 0) {
        putLe16(bytes, static_cast<uint16_t>(getRealData(slot)));
        for (int v = 0; v < kViewCount; ++v)
            putLe16(bytes + 2 + 2 * v, static_cast<uint16_t>(unitsOf[v]));
        std::memcpy(bytes + 2 + 2 * kViewCount, scaleOf, kScaleBytes);
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.failed()) return status;
    slots[s] = static_cast<int16_t>(getLe16(bytes));
    for (int v = 0; v < kViewCount; ++v)
        unitsOf[v] = static_cast<int16_t>(getLe16(bytes + 2 + 2 * v));
    std::memcpy(scaleOf, bytes + 2 + 2 * kViewCount, kScaleBytes);
    return status;
}

void viewParAction::slotToSlot(EPaoIndex from, EPaoIndex to) {
    enumParAction::slotToSlot(from, to);
    if ((from == ePaoDefault) == (to == ePaoDefault)) return; // the same tables
    const bool toDefault = to == ePaoDefault;
    std::memcpy(toDefault ? defaultUnits : unitsTable, toDefault ? unitsTable : defaultUnits,
                kViewCount * sizeof(int16_t));
    std::memcpy(toDefault ? defaultScale : scaleTable, toDefault ? scaleTable : defaultScale,
                kScaleBytes);
}

// ---- scaleAction

scaleAction::scaleAction(int32_t first, int32_t second, int16_t setting0, int16_t setting1,
                         uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr), pReal{poolValue(first),
                                                                                poolValue(second)},
      slots{{first, first, first}, {second, second, second}}, settings{setting0, setting1} {
    registerInList(this, paoFlags, paoId);
}

const char* scaleAction::getStr(char slot) {
    const int s = slotIndex(slot);
    std::snprintf(textBuf, sizeof textBuf, "%ld .. %ld", static_cast<long>(slots[0][s]),
                  static_cast<long>(slots[1][s]));
    return textBuf;
}

void* scaleAction::setParam(actType) {
    *pReal[0] = slots[0][ePaoEntry];
    *pReal[1] = slots[1][ePaoEntry];
    return pReal[0];
}

Status scaleAction::Serialize(socket* stream, int16_t dir, char slot) {
    const int s = slotIndex(slot);
    uint8_t bytes[8];
    if (dir != 0) {
        for (int k = 0; k < 2; ++k)
            putLe32(bytes + 4 * k, static_cast<uint32_t>(s == ePaoEntry ? *pReal[k] : slots[k][s]));
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.failed()) return status;
    for (int k = 0; k < 2; ++k)
        slots[k][s] = static_cast<int32_t>(getLe32(bytes + 4 * k));
    return status;
}

void scaleAction::slotToSlot(EPaoIndex from, EPaoIndex to) {
    for (auto& value : slots)
        value[slotIndex(to)] = value[slotIndex(from)];
}

} // namespace vx
