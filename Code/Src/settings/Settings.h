// The settings model: every line of a file's exhaustive text header as a
// record with a stable key and a typed value, and the file's identity. The
// JSON output writes it; hosts of the library read it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "settings/HeaderLines.h"
#include "settings/Json.h"

namespace vx {

class xAxisT;

struct SettingRecord {
    enum EKind { eText, eNumber, eSwitch };
    std::string key;   // snake_case, unique in the file
    std::string label; // the header's label, byte for byte
    std::string text;  // the value as the header prints it
    EKind kind = eText;
    double number = 0.0; // eNumber: in the SI base unit
    bool on = false;     // eSwitch
    std::string unit;    // the unit symbol of the number; empty: none
};

// The value of a choice: its text without the padding the header prints.
std::string choiceValue(const SettingRecord& record);

// The key of a label: its words in lower case joined by "_", with the
// label's typos and symbols spelled out.
std::string settingKey(const std::string& label);
// A header line typed: "102.4 kHz" is 102400 Hz, "3 ms" 0.003 s, "50.00%" 50
// with the unit "%", "On" and "Off" true and false, other texts a choice.
SettingRecord typedSetting(const std::string& label, const std::string& text);
// The records of header lines, keys made unique by a "_2", "_3" ... suffix.
std::vector<SettingRecord> settingRecords(const std::vector<HeaderLine>& lines);

// The x-axis of a trace: a start and a step when its points are evenly
// spaced, else the list of x values.
struct AxisIdentity {
    std::string kind; // "frequency", "time", ...; empty: none
    std::string unit;
    bool uniform = true;
    double start = 0.0;
    double step = 0.0;
    std::vector<float> values; // when not uniform
};
AxisIdentity axisIdentity(xAxisT* axis, int32_t points);

struct FileIdentity {
    std::string kind;       // "VX560 Display", "VX550 Display", "HP SDF", ...
    std::string instrument; // empty: not known
    std::string measureGroup;
    std::string measurement;
    std::string time; // ISO 8601; empty: the file has none
    int32_t points = 0;
    AxisIdentity axis;
    std::vector<std::string> units; // of the data columns
};

// The time stamp as ISO 8601 local time; empty when it holds no date.
std::string isoTime(const TimeStamp& ts);
// The identity of the trace in the model (its measure group, measurement,
// time and points); the caller adds the axis and units.
FileIdentity traceIdentity(CModel& model, const std::string& kind);

// Writes "identity" and "settings" members into an open object.
void writeIdentity(CJson& json, const FileIdentity& id);
void writeSettings(CJson& json, const std::vector<SettingRecord>& records);

} // namespace vx
