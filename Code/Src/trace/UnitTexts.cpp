// The unit texts of a display: channel unit names, the measurement's unit
// pairs combined by name, the power and squared flags, and the display and
// rms texts.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "params/Catalog.h"
#include "params/CatalogTexts.h"
#include "trace/MeasDesc.h"
#include "trace/UnitTexts.h"

namespace vx {

namespace {

constexpr int kNameSize = 16;
constexpr int kUnitNameCount = 8;
constexpr int16_t kEuLabelUser = 14;

// Unit names by unit code; entries 1 to 4 are rewritten by every refresh.
// One set per thread, as the column state of DISP_M.
thread_local char unitNames[kUnitNameCount][kNameSize] = {"",  "V", "V",     "V",
                                                          "V", "s", "count", "V"};

thread_local UnitTexts displayTexts[2];

int displaySlot(int16_t display) {
    return display == 1 ? 1 : 0;
}

int16_t entry(const enumParAction& p) {
    return p.getData(ePaoEntry);
}

void setName(int code, const char* text) {
    std::snprintf(unitNames[code], kNameSize, "%s", text);
}

// Step 1: the time and spectrum unit names of both channels.
void refreshUnitNames(Catalogue& cat, int16_t display) {
    strActionObj* userLabel[2] = {&cat.euUserLabel1[display], &cat.euUserLabel2[display]};
    for (int c = 0; c < 2; ++c) {
        const ChannelUnits ch = channelUnits(cat, display, c);
        const int timeCode = 2 * c + 1;
        if (!ch.euOn) {
            setName(timeCode, "V");
            setName(timeCode + 1, "V");
            continue;
        }
        const enumParAction& labels = c == 0 ? cat.euLabel1[display] : cat.euLabel2[display];
        const enumParAction& outputs =
            c == 0 ? cat.transducerOut1[display] : cat.transducerOut2[display];
        setName(timeCode,
                ch.label == kEuLabelUser ? userLabel[c]->getStr(ePaoEntry) : labels.text(ch.label));
        setName(timeCode + 1, ch.transducer() ? outputs.text(ch.output) : unitNames[timeCode]);
    }
}

// One entry of the measurement's unit combined by name.
struct Combined {
    int code;
    const char* name;
    int exponent;
};

struct CombinedUnits {
    Combined entries[MeasDesc::kPairCount];
    int count = 0;
};

// Steps 2 and 3: the flags from the raw pairs, then the pairs combined.
CombinedUnits combinePairs(const MeasDesc& desc, int multiplier, UnitTexts& out) {
    int rawPositive = 0, rawNegative = 0;
    CombinedUnits units;
    for (int i = 0; i < MeasDesc::kPairCount; ++i) {
        const int e = desc.unitExponent(i);
        if (e == 0) break;
        (e > 0 ? rawPositive : rawNegative) += std::abs(e);
        const int code = desc.unitCode(i);
        const char* name = unitName(code);
        Combined* same = nullptr;
        for (int k = 0; k < units.count && !same; ++k)
            if (std::strcmp(units.entries[k].name, name) == 0) same = &units.entries[k];
        if (same)
            same->exponent += e * multiplier;
        else
            units.entries[units.count++] = Combined{code, name, e * multiplier};
    }
    out.power = rawPositive * multiplier > 1 || rawNegative * multiplier > 1;
    out.squared = rawPositive >= 2 || rawNegative >= 2;
    return units;
}

// A text being built in a fixed buffer; what does not fit is cut.
struct TextBuilder {
    char* text;
    size_t used = 0;
    void add(const char* s) {
        const int n = std::snprintf(text + used, UnitTexts::kTextSize - used, "%s", s);
        if (n > 0) used = std::min(used + static_cast<size_t>(n), size_t{UnitTexts::kTextSize - 1});
    }
};

void addExponent(TextBuilder& b, int magnitude) {
    if (magnitude == 2) b.add("^2");
    if (magnitude <= 2) return;
    char buf[12];
    std::snprintf(buf, sizeof buf, "^%d", magnitude);
    b.add(buf);
}

// In dB a single unit is shown to the first power: dBV for a power of volts.
void reduceForDb(CombinedUnits& units) {
    if (units.count != 1) return;
    int& e = units.entries[0].exponent;
    if (e > 1) e = 1;
    if (e < -1) e = -1;
}

// The product of the combined units, each exponent divided by divisor, the
// last entry followed by suffix.
void addUnits(TextBuilder& b, const CombinedUnits& units, int divisor, const char* suffix) {
    for (int k = 0; k < units.count; ++k) {
        const int e = units.entries[k].exponent / divisor;
        if (e == 0) continue;
        if (e < 0) b.add("/");
        b.add(units.entries[k].name);
        if (k == units.count - 1) b.add(suffix);
        addExponent(b, std::abs(e));
    }
}

bool isPhaseView(int16_t view) {
    return view == eViewPhase || view == eViewUnwrapped;
}

// Step 5: the display text.
void buildDisplayText(Catalogue& cat, int16_t display, int16_t view, int16_t code,
                      CombinedUnits& units, UnitTexts& out) {
    TextBuilder b{out.display};
    out.display[0] = '\0';
    const int16_t db = UnitsCode::dbMode(code);
    if (isPhaseView(view)) return b.add(texts::phaseUnits[UnitsCode::phaseUnits(code)]);
    if (db == eDbm || db == eDbSpl) return b.add(texts::dbModes[db]);
    if (db == eDbOn) {
        b.add("dB");
        reduceForDb(units);
    }
    const int16_t peak = UnitsCode::peakUnits(code);
    addUnits(b, units, 1, peak == ePeakOff ? "" : texts::peakUnits[peak]);
    if (entry(cat.psdUnits[display]) == 1) b.add(out.power ? "/Hz" : "/Hz^(1/2)");
}

// Step 6: the rms text, from the exponents as the display text left them.
void buildRmsText(int16_t view, int16_t code, CombinedUnits& units, UnitTexts& out) {
    TextBuilder b{out.rms};
    out.rms[0] = '\0';
    const int16_t db = UnitsCode::dbMode(code);
    if (db == eDbm || db == eDbSpl) return b.add(texts::dbModes[db]);
    if (db == eDbOn) {
        b.add("dB");
        reduceForDb(units);
    }
    addUnits(b, units, viewMultiplier(view), "rms");
}

} // namespace

ChannelUnits channelUnits(Catalogue& cat, int16_t display, int channel) {
    const int d = displaySlot(display);
    ChannelUnits ch;
    ch.euOn = entry(channel == 0 ? cat.engUnits1[d] : cat.engUnits2[d]) == 1;
    ch.label = entry(channel == 0 ? cat.euLabel1[d] : cat.euLabel2[d]);
    ch.output = entry(channel == 0 ? cat.transducerOut1[d] : cat.transducerOut2[d]);
    return ch;
}

int16_t displayMeasurement(Catalogue& cat, int16_t display) {
    const int16_t m = entry(cat.measurement[displaySlot(display)]);
    return m >= 0 && m < kMeasurementCount ? m : 0;
}

int16_t viewMultiplier(int16_t view) {
    return view == eViewMagSquared ? 2 : 1;
}

const char* unitName(int code) {
    return code >= 0 && code < kUnitNameCount ? unitNames[code] : "";
}

void computeUnitTexts(Catalogue& cat, int16_t display, UnitTexts& out) {
    const int d = displaySlot(display);
    refreshUnitNames(cat, static_cast<int16_t>(d));
    const int16_t view = entry(cat.view[d]);
    const int16_t code = cat.units[d].getData(ePaoEntry);
    const MeasDesc& desc = measDescriptor(displayMeasurement(cat, static_cast<int16_t>(d)));
    CombinedUnits units = combinePairs(desc, viewMultiplier(view), out);
    bool allZero = true;
    out.exponentSum = 0;
    out.nonChannel = false;
    for (int k = 0; k < units.count; ++k) {
        allZero = allZero && units.entries[k].exponent == 0;
        out.exponentSum = static_cast<int16_t>(out.exponentSum + units.entries[k].exponent);
        out.nonChannel = out.nonChannel || units.entries[k].code > eUnitCh2Spec;
    }
    out.dimensionless = allZero && UnitsCode::dbMode(code) == eDbOff && !isPhaseView(view);
    buildDisplayText(cat, static_cast<int16_t>(d), view, code, units, out);
    buildRmsText(view, code, units, out);
}

void publishUnitTexts(Catalogue& cat, int16_t display, const UnitTexts& texts) {
    const int d = displaySlot(display);
    displayTexts[d] = texts;
    cat.units[d].setUnitText(0, texts.display);
    cat.units[d].setUnitText(1, texts.rms);
}

const UnitTexts& unitTexts(int16_t display) {
    return displayTexts[displaySlot(display)];
}

void refreshUnitTexts(Catalogue& cat, int16_t display) {
    invalidateColumnPlans();
    UnitTexts texts;
    computeUnitTexts(cat, display, texts);
    publishUnitTexts(cat, display, texts);
}

} // namespace vx
