// Catalog rows in JSON Lines and CSV.
#include "archive/CatalogRow.h"

#include <cstdio>

#include "archive/JsonText.h"
#include "csv/CsvNumbers.h"
#include "csv/CsvRows.h"

namespace vx {

namespace {

std::string numberText(double v) {
    char buf[kMaxNumberText + 1];
    return std::string(buf, shortestText(buf, v));
}

// A text member, or null when empty.
std::string textOrNull(const std::string& s) {
    return s.empty() ? "null" : jsonQuoted(s);
}
std::string countOrNull(int64_t v) {
    return v < 0 ? "null" : std::to_string(v);
}
std::string rateOrNull(double v) {
    return v < 0 ? "null" : numberText(v);
}

std::string textOf(const JsonValue& v) {
    return v.type == JsonValue::eString ? v.text : "";
}
int64_t countOf(const JsonValue& v) {
    return v.type == JsonValue::eNumber ? v.integer() : -1;
}
double rateOf(const JsonValue& v) {
    return v.type == JsonValue::eNumber ? v.number : -1.0;
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
std::string csvField(const std::string& bytes) {
    return csvQuoted(utf8OrEscaped(bytes));
}

} // namespace

std::string rowJson(const CatalogRow& row) {
    std::string s = "{\"path\":" + jsonQuoted(row.path);
    if (!row.segments.empty()) {
        s += ",\"segments\":[";
        for (size_t i = 0; i < row.segments.size(); ++i)
            s += (i ? "," : "") + jsonQuoted(row.segments[i]);
        s += "]";
    }
    s += ",\"kind\":" + textOrNull(row.kind);
    s += ",\"size\":" + countOrNull(row.size);
    s += ",\"mtime_ns\":" + std::to_string(row.mtimeNs);
    s += ",\"sha256\":" + textOrNull(row.sha256);
    s += ",\"status\":" + jsonQuoted(row.status);
    s += ",\"message\":" + jsonQuoted(row.message);
    s += ",\"measurement\":" + textOrNull(row.measurement);
    s += ",\"measure_group\":" + textOrNull(row.measureGroup);
    s += ",\"points\":" + countOrNull(row.points);
    s += ",\"span_hz\":" + rateOrNull(row.spanHz);
    s += ",\"sample_rate_hz\":" + rateOrNull(row.sampleRateHz);
    s += ",\"time\":" + textOrNull(row.time);
    s += ",\"outputs\":[";
    for (size_t i = 0; i < row.outputs.size(); ++i)
        s += std::string(i ? "," : "") + "{\"path\":" + jsonQuoted(row.outputs[i].path) +
             ",\"size\":" + std::to_string(row.outputs[i].size) + "}";
    return s + "]}";
}

bool rowFromJson(const std::string& line, CatalogRow& row) {
    JsonValue v;
    if (!parseJson(line, v) || v.type != JsonValue::eObject) return false;
    if (v["path"].type != JsonValue::eString || v["status"].type != JsonValue::eString)
        return false;
    row = CatalogRow();
    row.path = v["path"].str();
    for (const JsonValue& segment : v["segments"].items)
        row.segments.push_back(textOf(segment));
    row.kind = textOf(v["kind"]);
    row.size = countOf(v["size"]);
    row.mtimeNs = countOf(v["mtime_ns"]);
    row.sha256 = textOf(v["sha256"]);
    row.status = v["status"].str();
    row.message = textOf(v["message"]);
    row.measurement = textOf(v["measurement"]);
    row.measureGroup = textOf(v["measure_group"]);
    row.points = countOf(v["points"]);
    row.spanHz = rateOf(v["span_hz"]);
    row.sampleRateHz = rateOf(v["sample_rate_hz"]);
    row.time = textOf(v["time"]);
    for (const JsonValue& out : v["outputs"].items)
        row.outputs.push_back({textOf(out["path"]), countOf(out["size"])});
    return true;
}

std::string csvHeader() {
    return "path,kind,size,sha256,status,message,measurement,measure_group,points,span_hz,"
           "sample_rate_hz,time,outputs\n";
}

std::string rowCsv(const CatalogRow& row) {
    std::string outputs;
    for (const CatalogOutput& out : row.outputs)
        outputs += (outputs.empty() ? "" : ";") + out.path;
    const std::string fields[] = {row.path,
                                  row.kind,
                                  row.size < 0 ? "" : std::to_string(row.size),
                                  row.sha256,
                                  row.status,
                                  row.message,
                                  row.measurement,
                                  row.measureGroup,
                                  row.points < 0 ? "" : std::to_string(row.points),
                                  row.spanHz < 0 ? "" : numberText(row.spanHz),
                                  row.sampleRateHz < 0 ? "" : numberText(row.sampleRateHz),
                                  row.time,
                                  outputs};
    std::string line;
    for (const std::string& field : fields)
        line += csvField(field) + ',';
    line.back() = '\n';
    return line;
}

} // namespace vx
