// Inside the views and units module: the engineering-unit settings of a
// channel, and the unit texts computed apart from publishing them, which the
// column values reuse within a pass.
#pragma once
#include <cstdint>

#include "trace/DISP_M.h"

namespace vx {

struct Catalogue;

// Channel 0 or 1 of a display: its engineering-unit switch, EU label and
// transducer output unit.
struct ChannelUnits {
    bool euOn = false;
    int16_t label = 0;
    int16_t output = 0;
    // Engineering units on with one of the eight transducer labels.
    bool transducer() const { return euOn && label >= 0 && label < 8; }
};
ChannelUnits channelUnits(Catalogue& cat, int16_t display, int channel);

// The display's measurement, clamped to the catalogue.
int16_t displayMeasurement(Catalogue& cat, int16_t display);

// Rewrites the unit-name table and computes the display's texts and flags
// from its current view and units code, without publishing them.
void computeUnitTexts(Catalogue& cat, int16_t display, UnitTexts& out);
// Makes texts the display's current unit texts.
void publishUnitTexts(Catalogue& cat, int16_t display, const UnitTexts& texts);
// Drops the column plans derived from the settings (DISP_M).
void invalidateColumnPlans();

} // namespace vx
