// The settings block inside a Display file: built from the parameter lists,
// and applied back to them (VX560 layout, or the older VX550 records).
#pragma once
#include "base/Status.h"
#include "base/TimeStamp.h"
#include "trace/Model.h"

namespace vx {

// Whether the block's PAO version is one this system reads.
bool settingsVersionAcceptable(TraceMgr& trace);
// Writes the trace's settings block from the current parameters.
void buildSettingsBlock(CModel& model);
// Applies the trace's settings block to the parameters, with the job's
// transducers; 1 when it could not be applied.
Status applySettingsBlock(CModel& model);
// Lowers the settings that vector 1's header shows the trace did not complete.
void postReadAdjustments(TraceMgr& trace);
// Takes the time stamp, builds the settings block from the parameters and
// applies it as a file's; then drops vector 1.
void rebuildFromSettings(CModel& model, const TimeStamp& stamp);

} // namespace vx
