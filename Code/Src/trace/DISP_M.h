// Views and units: the unit texts that label a display, and the conversion of
// a stored trace point into the value of one output column (magnitude, power,
// real or imaginary part, phase, unwrapped phase) in the display's units.
#pragma once
#include <cstdint>

#include "base/Options.h"
#include "trace/TRACE.h"

namespace vx {

struct Catalogue;

// Views of a display (the view parameter) and the exponent multiplier of each.
enum EView : int16_t {
    eViewLogMag = 0,
    eViewLinearMag = 1,
    eViewMagSquared = 2,
    eViewReal = 3,
    eViewImag = 4,
    eViewPhase = 5,
    eViewUnwrapped = 6,
    eViewNyquist = 7,
    eViewNichols = 8,
};
// 2 for "Mag^2", 1 for every other view.
int16_t viewMultiplier(int16_t view);

// Fields of the packed units code (UnitsCode).
enum EDbMode : int16_t { eDbOff = 0, eDbOn = 1, eDbm = 2, eDbSpl = 3 };
enum EPeakUnits : int16_t { ePeakOff = 0, ePeakPk = 1, ePeakRms = 2, ePeakPp = 3 };
enum EPhaseUnits : int16_t { ePhaseDeg = 0, ePhaseRad = 1 };

// What refreshing the unit texts derives for a display.
struct UnitTexts {
    static constexpr int kTextSize = 32;
    int16_t exponentSum = 0; // sum of the combined exponents
    bool dimensionless = false;
    bool power = false;      // a power quantity: dB with 10 log10, rms halves
    bool squared = false;    // some raw exponent is 2 or more
    bool nonChannel = false; // a unit other than a channel unit takes part
    char display[kTextSize] = "Vpk";
    char rms[kTextSize] = "Vrms";
};

// The derived values and texts of display 0 (A) or 1 (B).
const UnitTexts& unitTexts(int16_t display);
// The unit-name table by unit code: 0 empty, 1 to 4 the channels' time and
// spectrum units, 5 "s", 6 "count", 7 "V"; "" for a code beyond the table.
const char* unitName(int code);
// Rebuilds the unit names and the display's texts and flags from its
// measurement, view, units code and engineering-unit settings. Column values
// computed after this take the settings afresh.
void refreshUnitTexts(Catalogue& cat, int16_t display);

// The x value of a trace point (the axis's), which the transducer exponent
// needs for the frequency of the point. An empty source has no x values.
struct PointX {
    float (*fn)(const void* context, int32_t index) = nullptr;
    const void* context = nullptr;
    bool empty() const { return fn == nullptr; }
    float operator()(int32_t index) const { return fn(context, index); }
};

// The x values of an axis object; empty for no axis.
PointX axisPointX(xAxisT* axis);

// The expanded output columns (codes 1 to 7, 0-terminated) with the packed
// units code of each.
struct ExpandedColumns {
    static constexpr int kCapacity = 2 * kMaxColumns;
    int32_t codes[kCapacity + 1] = {};
    int16_t units[kCapacity] = {};
    int count = 0;
};

// Expands a 0-terminated list of column codes (at most kMaxColumns are read)
// for display A, "v" giving the column or columns of the saved view, and
// chooses each column's units from the options (-1 when not given). Clears
// the unwrapped-phase state; the display's view and units are left as found.
ExpandedColumns setupColumns(Catalogue& cat, const int32_t* codes, int16_t peakUnits,
                             int16_t dbMode, int16_t phaseUnits);

// The value of column code (1 to 6; 0 for any other) for point `index` of
// display A's trace, in the packed units. Leaves the column's view and units
// set on the display. A negative index or an empty x source skips the
// transducer exponent. Settings other than view and units are those of the
// last setupColumns or refreshUnitTexts.
float columnValue(Catalogue& cat, int32_t code, int16_t units, const Point& point, int32_t index,
                  const PointX& x = {});

// The unit text for the heading of a column: axisUnit for the x column (7),
// else the display text in the column's view and units ("Orbit" real parts
// take the channel-1 time unit). Valid until the next call.
const char* columnTitleUnit(Catalogue& cat, int32_t code, int16_t units, const char* axisUnit);

// Display A's view and units as found: the columns' values and titles leave
// their own on the display, and a later expansion of "v" (one per waterfall
// slice) must see the saved ones. Put back by restore and when it goes.
class CSavedView {
  public:
    explicit CSavedView(Catalogue& cat);
    ~CSavedView() { restore(); }
    CSavedView(const CSavedView&) = delete;
    CSavedView& operator=(const CSavedView&) = delete;
    void restore();

  private:
    Catalogue& cat_;
    int16_t view_;
    int16_t units_;
};

// The transducer conversion of display A's measurement: the scale of its
// values and the exponent of j 2 pi f by which they are multiplied.
float transducerScale(Catalogue& cat);
int16_t transducerExponent(Catalogue& cat);
// Multiplies (re, im) by (j 2 pi f)^exponent, f the x value of point index;
// at f = 0 a tenth of the next point's x value stands in.
void applyTransducerExponent(float& re, float& im, int16_t exponent, int32_t index,
                             const PointX& x);

// Point helpers: magnitude, power, and phase atan2(im, re) (0 at the origin).
float pointMagnitude(const Point& p);
float pointPower(const Point& p);
float pointPhase(const Point& p);

} // namespace vx
