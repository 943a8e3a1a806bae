// The identity and settings of a file as JSON members and documents.
#include "settings/SettingsDocument.h"

#include <algorithm>
#include <memory>

#include "base/VX550.h"
#include "params/UTIL.h"
#include "trace/TRACE.h"

namespace vx {

std::string kindOf(const CModel& model, const std::string& kind) {
    if (!kind.empty()) return kind;
    return model.trace.oldFormat ? "VX550 Display" : "VX560 Display";
}

ExpandedColumns columnsOf(CModel& model, CSavedView& saved) {
    saved.restore();
    const ConvOptions& o = model.options;
    return setupColumns(model.cat, o.columns, o.peakUnits, o.dbMode, o.phaseUnits);
}

void writeTraceHead(CJson& json, CModel& model, const std::string& kind, xAxisT* axis,
                    const ExpandedColumns& cols) {
    FileIdentity id = traceIdentity(model, kindOf(model, kind));
    id.axis = axisIdentity(axis, id.points);
    const char* axisUnit = axis ? axis->unitText() : "";
    for (int k = 0; k < cols.count; ++k)
        if (cols.codes[k] != eColX)
            id.units.emplace_back(
                columnTitleUnit(model.cat, cols.codes[k], cols.units[k], axisUnit));
    writeIdentity(json, id);
    writeSettings(json, settingRecords(traceHeaderLines(model, 2, "")));
}

FileIdentity capArbIdentity(const CapArbHeader& h, int16_t kind) {
    const bool arb = kind == eKindArb;
    FileIdentity id;
    id.kind = arb ? "Arb. Waveform" : "Capture";
    id.instrument = "VX560";
    id.time = isoTime(h.timeStamp);
    id.points = std::max<int32_t>(0, h.recordKpts) * (kBlockSamples / kBlockKpts);
    id.axis.kind = "time";
    id.axis.unit = "s";
    id.axis.step = 1.0 / samplesPerSecond(h);
    id.units.emplace_back(arb ? "" : "V");
    return id;
}

void writeCapArbHead(CJson& json, const CapArbHeader& h, int16_t kind,
                     const enumParAction& rpmSwitch) {
    writeIdentity(json, capArbIdentity(h, kind));
    writeSettings(json, settingRecords(capArbHeaderLines(h, kind, rpmSwitch)));
}

std::string traceSettingsJson(CModel& model, const std::string& kind) {
    std::unique_ptr<xAxisT> axis = model.trace.makeAxis();
    CSavedView saved(model.cat);
    CJson json;
    json.beginObject();
    writeTraceHead(json, model, kind, axis.get(), columnsOf(model, saved));
    json.endObject();
    return json.take();
}

std::string capArbSettingsJson(const CapArbHeader& header, int16_t kind,
                               const enumParAction& rpmSwitch) {
    CJson json;
    json.beginObject();
    writeCapArbHead(json, header, kind, rpmSwitch);
    json.endObject();
    return json.take();
}

} // namespace vx
