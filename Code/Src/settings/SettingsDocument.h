// A file's identity and settings as the members of a JSON document, and as
// a document of their own: the head of the JSON output, what the library's
// settings call returns, and the settings a netCDF file carries.
#pragma once
#include <string>

#include "settings/Json.h"
#include "settings/Settings.h"
#include "timebuf/CapArb.h"
#include "trace/DISP_M.h"

namespace vx {

// The kind a trace's identity names: the given one, else the Display file's.
std::string kindOf(const CModel& model, const std::string& kind);
// The /C columns expanded under the saved view (which it puts back first),
// with the unwrapped phase restarted.
ExpandedColumns columnsOf(CModel& model, CSavedView& saved);
// The identity and settings members of a trace's document.
void writeTraceHead(CJson& json, CModel& model, const std::string& kind, xAxisT* axis,
                    const ExpandedColumns& cols);
// The identity of a Capture/Arb. buffer: kind, time stamp, points, time axis.
FileIdentity capArbIdentity(const CapArbHeader& h, int16_t kind);
// The identity and settings members of a Capture/Arb. buffer's document.
void writeCapArbHead(CJson& json, const CapArbHeader& h, int16_t kind,
                     const enumParAction& rpmSwitch);

// The settings model of a trace, or of a Capture/Arb. buffer, as the JSON
// document without its data.
std::string traceSettingsJson(CModel& model, const std::string& kind);
std::string capArbSettingsJson(const CapArbHeader& header, int16_t kind,
                               const enumParAction& rpmSwitch);

} // namespace vx
