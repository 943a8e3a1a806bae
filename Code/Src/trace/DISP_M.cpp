// Output columns of a trace: the expanded column list with each column's
// units, the value of a column for a point (transducer scale and exponent,
// PSD, rms and pp, dB, phase units), the unwrapped phase and column headings.
#include "trace/DISP_M.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "base/ErrLogger.h"
#include "params/Catalog.h"
#include "params/CatalogTexts.h"
#include "trace/UnitTexts.h"

namespace vx {

namespace {

// ---- transducer tables, by the eight transducer labels "m/s^2" .. "g"

constexpr int kTransducerLabels = 8;
constexpr int8_t kDerivativeOrder[kTransducerLabels] = {2, 1, 0, 2, 1, 0, 0, 2};
constexpr int8_t kUnitSystem[kTransducerLabels] = {0, 0, 0, 1, 1, 1, 2, 3};
constexpr float kScalePerMetre[kTransducerLabels] = {
    1.0f, 1.0f, 1.0f, 39.370079f, 39.370079f, 39.370079f, 39370.078f, 0.10204080f};

bool transducerLabel(int16_t label) {
    return label >= 0 && label < kTransducerLabels;
}

int derivativeOrder(int16_t label) {
    return transducerLabel(label) ? kDerivativeOrder[label] : 0;
}

// The factor f(c) of a channel's values from its EU label to its output unit.
float channelScale(const ChannelUnits& ch) {
    if (!ch.transducer() || !transducerLabel(ch.output)) return 1.0f;
    if (kUnitSystem[ch.label] == kUnitSystem[ch.output]) return 1.0f;
    return kScalePerMetre[ch.output] / kScalePerMetre[ch.label];
}

// ---- window noise bandwidth, for PSD units

constexpr int16_t kWindowForceExp = 5;
constexpr double kNoiseBandwidth[] = {1.0, 3.770164, 1.5, 2.00435613, 2.009160082};
constexpr int kRecordSamples = 2048;

// The force or exponential window's factor, or 1 when its settings give none.
double forceExpBandwidth(Catalogue& cat, const MeasDesc& desc) {
    const bool dual = cat.channelMode.getData(ePaoEntry) == 1;
    const bool channel2 = !dual && (desc.channelMask() & 0x02);
    const int16_t selector = (channel2 ? cat.forceExp2 : cat.forceExp1).getData(ePaoEntry);
    double factor = 1.0;
    if (selector == 0) factor = cat.forceLength[0].samples(ePaoEntry) / double{kRecordSamples};
    if (selector == 1) {
        const double tau = cat.expoTC[0].getData(ePaoEntry) * 0.01;
        if (tau <= 0) return 1.0;
        factor = (1 - std::exp(-2 / tau)) / (1 - std::exp(-2 / (kRecordSamples * tau)));
    }
    return factor > 0 && std::isfinite(factor) ? factor : 1.0;
}

double noiseBandwidth(Catalogue& cat, int16_t meas, const MeasDesc& desc) {
    if (groupOfMeasurement(meas) == 2) return 1.0;
    const int16_t window = cat.window[0].getData(ePaoEntry);
    if (window >= 0 && window < kWindowForceExp) return kNoiseBandwidth[window];
    if (window == kWindowForceExp) return forceExpBandwidth(cat, desc);
    return 1.0;
}

// ---- column plans: everything a column value needs apart from the point,
// derived once per view and units code and reused until the settings are
// taken afresh.

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kDegreesPerRadian = 57.2957763671875f;
constexpr float kDbSplOffset = 93.9794f;
constexpr int kViewSlots = 10; // views 0 to 8, then every other code
constexpr int kUnitsSlots = 32;
constexpr int32_t kNoColumn = INT32_MIN;

struct ColumnPlan {
    uint64_t generation = 0;
    UnitTexts texts;
    float scale = 1.0f;
    int16_t exponent = 0;
    bool db = false;
    float dbFactor = 20.0f;
    float dbOffset = 0.0f;
    float phaseFactor = 1.0f;
};

// The column state of the write in progress, one per thread (so a second
// thread may write at once); each write starts it afresh.
struct ColumnState {
    ColumnPlan plans[kViewSlots][kUnitsSlots];
    uint64_t planGeneration = 1;
    int32_t appliedCode = kNoColumn; // view and units last set by columnValue
    int16_t appliedUnits = 0;
    float previousPhase = 0.0f;
    float phaseOffset = 0.0f;
};
thread_local ColumnState columnState;

float dbOffsetOf(Catalogue& cat, int16_t dbMode) {
    if (dbMode == eDbm) return 30 - cat.refImpedance.decibel();
    return dbMode == eDbSpl ? kDbSplOffset : 0.0f;
}

// The value scale of the current view and units: transducer, PSD, rms or pp.
float valueScale(Catalogue& cat, const UnitTexts& texts, int16_t units) {
    float k = transducerScale(cat);
    const int16_t meas = displayMeasurement(cat, 0);
    if (cat.psdUnits[0].getData(ePaoEntry) == 1) {
        const MeasDesc& desc = measDescriptor(meas);
        float g =
            static_cast<float>(displayLineSpacing(cat.links[0]) * noiseBandwidth(cat, meas, desc));
        if (meas <= 1) g = std::sqrt(g);
        k /= g;
    }
    // A point that is itself a power scales by 0.5 for rms; an amplitude by
    // 1/sqrt(2) whatever view squares it afterwards.
    const int16_t peak = UnitsCode::peakUnits(units);
    if (peak == ePeakRms) k *= texts.squared ? 0.5f : 0.707106781f;
    if (peak == ePeakPp) k *= 2.0f;
    return k;
}

void computePlan(Catalogue& cat, ColumnPlan& plan, int16_t units) {
    ColumnState& state = columnState;
    computeUnitTexts(cat, 0, plan.texts);
    plan.scale = valueScale(cat, plan.texts, units);
    plan.exponent = transducerExponent(cat);
    const int16_t dbMode = UnitsCode::dbMode(units);
    plan.db = dbMode != eDbOff;
    plan.dbFactor = plan.texts.power ? 10.0f : 20.0f;
    plan.dbOffset = dbOffsetOf(cat, dbMode);
    plan.phaseFactor = UnitsCode::phaseUnits(units) == ePhaseDeg ? kDegreesPerRadian : 1.0f;
    plan.generation = state.planGeneration;
}

void setViewAndUnits(Catalogue& cat, int32_t view, int16_t units) {
    (void)cat.view[0].setData(static_cast<int16_t>(view), 0);
    (void)cat.units[0].setData(units, 0);
}

// Sets the column's view and units on display A and returns its plan, with
// the display's unit texts those of the column.
const ColumnPlan& columnPlan(Catalogue& cat, int32_t code, int16_t units) {
    ColumnState& state = columnState;
    const int viewSlot = code >= 0 && code < kViewSlots - 1 ? code : kViewSlots - 1;
    const int unitsSlot = UnitsCode::pack(UnitsCode::dbMode(units), UnitsCode::peakUnits(units),
                                          UnitsCode::phaseUnits(units));
    ColumnPlan& plan = state.plans[viewSlot][unitsSlot];
    bool changed = code != state.appliedCode || units != state.appliedUnits;
    if (changed) {
        setViewAndUnits(cat, code, units);
        state.appliedCode = code;
        state.appliedUnits = units;
    }
    if (plan.generation != state.planGeneration) {
        computePlan(cat, plan, units);
        changed = true;
    }
    if (changed) publishUnitTexts(cat, 0, plan.texts);
    return plan;
}

float unwrappedPhase(float a) {
    ColumnState& state = columnState;
    const bool now = a >= 0;
    const uint8_t bprior = state.previousPhase >= 0 ? 1 : 0;
    const float step = a - state.previousPhase;
    if (now != (bprior != 0) && (step < -kPi || step > kPi)) {
        if (now) {
            state.phaseOffset -= kTwoPi;
        } else {
            // Crossing to a negative phase, the previous one was not negative.
            VX_ASSERT(bprior & 0x01, "bprior & 0x01");
            state.phaseOffset += kTwoPi;
        }
    }
    state.previousPhase = a;
    return a + state.phaseOffset;
}

// The column that "v" stands for in the saved view (two for Nyquist, Nichols).
int savedViewColumns(int16_t view, int32_t out[2]) {
    switch (view) {
    case eViewMagSquared:
    case eViewReal:
    case eViewImag:
    case eViewPhase:
    case eViewUnwrapped:
        out[0] = view;
        return 1;
    case eViewNyquist:
        out[0] = eColReal, out[1] = eColImag;
        return 2;
    case eViewNichols:
        out[0] = eColMag, out[1] = eColPhase;
        return 2;
    default:
        out[0] = eColMag;
        return 1;
    }
}

// The dB mode option for a magnitude column: dBm and dB SPL need engineering
// units on the measurement's channels, dB SPL a pressure in "Pas".
int16_t magnitudeDbMode(Catalogue& cat, int16_t option, uint8_t channelMask) {
    constexpr int16_t kEuLabelPascal = 12;
    int16_t mode = option;
    for (int c = 0; c < 2; ++c) {
        if (!(channelMask & (1 << c))) continue;
        const ChannelUnits ch = channelUnits(cat, 0, c);
        if (!ch.euOn && mode == eDbSpl) mode = eDbOn;
        if (ch.euOn && mode == eDbm) mode = eDbOn;
        if (ch.euOn && mode == eDbSpl && ch.label != kEuLabelPascal) mode = eDbOn;
    }
    return mode;
}

// The packed units of one expanded column, starting from the remembered code.
int16_t columnUnits(Catalogue& cat, int32_t code, int16_t remembered, int16_t peakOption,
                    int16_t dbOption, uint8_t channelMask) {
    int16_t db = UnitsCode::dbMode(remembered);
    int16_t peak = UnitsCode::peakUnits(remembered);
    const int16_t phase = UnitsCode::phaseUnits(remembered);
    const bool magnitude = code == eColMag || code == eColMagSq;
    if (magnitude && (dbOption == eDbOff || dbOption == eDbOn)) db = dbOption;
    if (magnitude && (dbOption == eDbm || dbOption == eDbSpl))
        db = magnitudeDbMode(cat, dbOption, channelMask);
    if (code >= eColReal && code <= eColUnwrapped) db = eDbOff;
    const int32_t view = code >= eColMag && code <= eColUnwrapped ? code : eViewReal;
    setViewAndUnits(cat, view, UnitsCode::pack(db, peak, phase));
    refreshUnitTexts(cat, 0);
    const UnitTexts& t = unitTexts(0);
    if (t.exponentSum > 2 || t.exponentSum <= 0 || t.nonChannel)
        peak = ePeakOff;
    else if (db == eDbSpl)
        peak = ePeakRms;
    else if (peakOption >= 0)
        peak = peakOption;
    else if (peak == ePeakOff)
        peak = ePeakPk;
    return UnitsCode::pack(db, peak, phase);
}

} // namespace

void invalidateColumnPlans() {
    ColumnState& state = columnState;
    ++state.planGeneration;
    state.appliedCode = kNoColumn;
}

float pointMagnitude(const Point& p) {
    return std::sqrt(p.re * p.re + p.im * p.im);
}

float pointPower(const Point& p) {
    return p.re * p.re + p.im * p.im;
}

float pointPhase(const Point& p) {
    return p.re == 0 && p.im == 0 ? 0.0f : std::atan2(p.im, p.re);
}

float transducerScale(Catalogue& cat) {
    const float f[2] = {channelScale(channelUnits(cat, 0, 0)),
                        channelScale(channelUnits(cat, 0, 1))};
    if (f[0] == 1.0f && f[1] == 1.0f) return 1.0f;
    const MeasDesc& desc = measDescriptor(displayMeasurement(cat, 0));
    float k = 1.0f;
    for (int i = 0; i < MeasDesc::kPairCount; ++i) {
        const int e = desc.unitExponent(i);
        if (e == 0) break;
        if (desc.unitCode(i) == eUnitCh1Spec) k *= std::pow(f[0], static_cast<float>(e));
        if (desc.unitCode(i) == eUnitCh2Spec) k *= std::pow(f[1], static_cast<float>(e));
    }
    return k;
}

int16_t transducerExponent(Catalogue& cat) {
    int delta[2];
    for (int c = 0; c < 2; ++c) {
        const ChannelUnits ch = channelUnits(cat, 0, c);
        delta[c] = ch.transducer() ? derivativeOrder(ch.label) - derivativeOrder(ch.output) : 0;
    }
    const MeasDesc& desc = measDescriptor(displayMeasurement(cat, 0));
    int d = 0;
    for (int i = 0; i < MeasDesc::kPairCount; ++i) {
        const int e = desc.unitExponent(i);
        if (e == 0) break;
        if (desc.unitCode(i) == eUnitCh1Spec) d -= e * delta[0];
        if (desc.unitCode(i) == eUnitCh2Spec) d -= e * delta[1];
    }
    return static_cast<int16_t>(d);
}

void applyTransducerExponent(float& re, float& im, int16_t exponent, int32_t index,
                             const PointX& x) {
    if (exponent == 0 || index < 0 || x.empty()) return;
    constexpr double kTwoPiX = 2 * 3.141592654;
    double omega = kTwoPiX * x(index);
    if (omega == 0 && index < INT32_MAX) omega = kTwoPiX * x(index + 1) * 0.1;
    float h = static_cast<float>(std::pow(omega, exponent));
    // j^d: the quarter turns of (j w)^d, counted the same way for negative d.
    const int quarterTurns = (exponent % 4 + 4) % 4;
    if (quarterTurns >= 2) h = -h;
    if (quarterTurns % 2 == 0) {
        re *= h;
        im *= h;
        return;
    }
    const float rotated = -h * im;
    im = h * re;
    re = rotated;
}

PointX axisPointX(xAxisT* axis) {
    if (!axis) return {};
    auto x = [](const void* a, int32_t i) {
        return static_cast<xAxisT*>(const_cast<void*>(a))->x(static_cast<int16_t>(i));
    };
    return PointX{x, axis};
}

ExpandedColumns setupColumns(Catalogue& cat, const int32_t* codes, int16_t peakUnits,
                             int16_t dbMode, int16_t phaseUnits) {
    ColumnState& state = columnState;
    state.previousPhase = 0.0f;
    state.phaseOffset = 0.0f;
    const int16_t rememberedView = cat.view[0].getData(ePaoEntry);
    const int16_t rememberedUnits = cat.units[0].getData(ePaoEntry);
    ExpandedColumns out;
    for (int i = 0; i < kMaxColumns && codes[i] != eColEnd; ++i) {
        int32_t expanded[2] = {codes[i], 0};
        const int n = codes[i] == eColView ? savedViewColumns(rememberedView, expanded) : 1;
        for (int k = 0; k < n; ++k)
            out.codes[out.count++] = expanded[k];
    }
    out.codes[out.count] = eColEnd;
    int16_t base = rememberedUnits;
    if (phaseUnits >= 0)
        base = UnitsCode::pack(UnitsCode::dbMode(base), UnitsCode::peakUnits(base), phaseUnits);
    const uint8_t mask = measDescriptor(displayMeasurement(cat, 0)).channelMask();
    for (int c = 0; c < out.count; ++c)
        out.units[c] = columnUnits(cat, out.codes[c], base, peakUnits, dbMode, mask);
    setViewAndUnits(cat, rememberedView, rememberedUnits);
    refreshUnitTexts(cat, 0);
    return out;
}

CSavedView::CSavedView(Catalogue& cat)
    : cat_(cat), view_(cat.view[0].getData(ePaoEntry)), units_(cat.units[0].getData(ePaoEntry)) {}

void CSavedView::restore() {
    setViewAndUnits(cat_, view_, units_);
    refreshUnitTexts(cat_, 0);
}

float columnValue(Catalogue& cat, int32_t code, int16_t units, const Point& point, int32_t index,
                  const PointX& x) {
    const ColumnPlan& plan = columnPlan(cat, code, units);
    Point p{plan.scale * point.re, plan.scale * point.im};
    applyTransducerExponent(p.re, p.im, plan.exponent, index, x);
    switch (code) {
    case eColMag:
    case eColMagSq: {
        const float v = code == eColMag ? pointMagnitude(p) : pointPower(p);
        if (!plan.db) return v;
        return v > 0 ? plan.dbFactor * std::log10(v) + plan.dbOffset : -FLT_MAX;
    }
    case eColReal:
        return p.re;
    case eColImag:
        return p.im;
    case eColPhase:
        return pointPhase(p) * plan.phaseFactor;
    case eColUnwrapped:
        return unwrappedPhase(pointPhase(p)) * plan.phaseFactor;
    default:
        return 0.0f;
    }
}

const char* columnTitleUnit(Catalogue& cat, int32_t code, int16_t units, const char* axisUnit) {
    if (code == eColX) return axisUnit ? axisUnit : "";
    setViewAndUnits(cat, code, units);
    refreshUnitTexts(cat, 0);
    const int16_t meas = displayMeasurement(cat, 0);
    if (code != eColReal || (meas != 8 && meas != 62)) return unitTexts(0).display;
    thread_local char orbit[UnitTexts::kTextSize];
    const int16_t peak = UnitsCode::peakUnits(units);
    std::snprintf(orbit, sizeof orbit, "%s%s", unitName(eUnitCh1Time),
                  peak == ePeakOff ? "" : texts::peakUnits[peak]);
    return orbit;
}

} // namespace vx
