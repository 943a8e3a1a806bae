// Typing the header lines, the keys of labels and the file's identity.
#include "settings/Settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "params/Catalog.h"
#include "trace/AXIS.h"

namespace vx {

namespace {

// Spellings in labels that keys replace: typos, symbols and abbreviations
// whose letters alone would not say what they mean.
struct Spelling {
    const char* from;
    const char* to;
};
constexpr Spelling kSpellings[] = {
    {"Fitler", "Filter"},
    {"EU's/Volt", "EU per Volt"},
    {"EU/Volt", "EU per Volt"},
    {"Trig'd", "Triggered"},
    {"# of", "Num"},
    {"#", "Num"},
    {"'", ""},
};

// SI prefixes of the unit texts the parameters print, and the units they
// scale (the others keep their number as printed).
struct Prefix {
    const char* text;
    int exponent;
};
constexpr Prefix kPrefixes[] = {{"G", 9},       {"M", 6},      {"k", 3},  {"m", -3},
                                {"micro ", -6}, {"micro", -6}, {"n", -9}, {"p", -12}};
constexpr const char* kScaledUnits[] = {"Hz", "s", "V", "Vpk", "Vrms", "Vpp", "RPM"};

bool scaledUnit(const std::string& u) {
    for (const char* s : kScaledUnits)
        if (u == s) return true;
    return false;
}

std::string trimmed(const std::string& s) {
    size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// A unit is one word of letters, "%" or "/" (or a prefix "micro " and a word).
bool unitWord(const std::string& u) {
    if (u.empty()) return false;
    std::string w = u.rfind("micro ", 0) == 0 ? u.substr(6) : u;
    for (unsigned char c : w)
        if (!std::isalpha(c) && c != '%' && c != '/') return false;
    return !w.empty();
}

// The number and unit of "value unit", the unit's prefix folded into the
// number; false when the text is not a number with an optional unit.
bool parseQuantity(const std::string& text, double& number, std::string& unit) {
    if (text.empty()) return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (*begin == '+') ++begin;
    if (begin == end ||
        !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '-' || *begin == '.'))
        return false;
    auto r = std::from_chars(begin, end, number);
    if (r.ec != std::errc() || !std::isfinite(number)) return false;
    unit = trimmed(std::string(r.ptr, end));
    if (unit.empty()) return true;
    if (!unitWord(unit)) return false;
    if (scaledUnit(unit)) return true;
    for (const Prefix& p : kPrefixes) {
        std::string rest = unit.rfind(p.text, 0) == 0 ? unit.substr(std::strlen(p.text)) : "";
        if (!scaledUnit(rest)) continue;
        // The decimal text with the prefix as its exponent reads as the
        // double nearest the value ("3.00026 ms" is 0.00300026 exactly so).
        std::string digits(begin, r.ptr);
        if (digits.find_first_of("eE") == std::string::npos) {
            digits += "e" + std::to_string(p.exponent);
            (void)std::from_chars(digits.data(), digits.data() + digits.size(), number);
        } else {
            number *= std::pow(10.0, p.exponent);
        }
        unit = rest;
        return true;
    }
    return true;
}

} // namespace

std::string settingKey(const std::string& label) {
    std::string spelled = label;
    for (const Spelling& s : kSpellings)
        for (size_t at; (at = spelled.find(s.from)) != std::string::npos;)
            spelled.replace(at, std::strlen(s.from), s.to);
    std::string key;
    for (unsigned char c : spelled) {
        if (std::isalnum(c) && c < 0x80) {
            key += static_cast<char>(std::tolower(c));
        } else if (!key.empty() && key.back() != '_') {
            key += '_';
        }
    }
    while (!key.empty() && key.back() == '_')
        key.pop_back();
    return key.empty() ? "setting" : key;
}

SettingRecord typedSetting(const std::string& label, const std::string& text) {
    SettingRecord r;
    r.key = settingKey(label);
    r.label = label;
    r.text = text;
    const std::string t = trimmed(text);
    if (t == "On" || t == "Off" || t == "Yes" || t == "No") {
        r.kind = SettingRecord::eSwitch;
        r.on = t == "On" || t == "Yes";
    } else if (parseQuantity(t, r.number, r.unit)) {
        r.kind = SettingRecord::eNumber;
    } else {
        r.unit.clear();
    }
    return r;
}

std::vector<SettingRecord> settingRecords(const std::vector<HeaderLine>& lines) {
    std::vector<SettingRecord> records;
    std::map<std::string, int> seen;
    for (const HeaderLine& l : lines) {
        records.push_back(typedSetting(l.label, l.text));
        int n = ++seen[records.back().key];
        if (n > 1) records.back().key += "_" + std::to_string(n);
    }
    return records;
}

AxisIdentity axisIdentity(xAxisT* axis, int32_t points) {
    AxisIdentity a;
    if (!axis || points <= 0) return a;
    static const std::map<int32_t, const char*> kKinds = {{eFreqAxis, "frequency"},
                                                          {eSweepAxis, "frequency"},
                                                          {eOctAxis, "frequency"},
                                                          {eOrdTrkFreqAxis, "order"},
                                                          {eOrderTimeAxis, "revolutions"},
                                                          {eTimeAxis, "time"},
                                                          {eCorrAxis, "lag"},
                                                          {eHistAxis, "level"},
                                                          {eRpmAxis, "rpm"},
                                                          {eTrackAxis, "rpm"},
                                                          {eWFTimeSliceAxis, "index"},
                                                          {eCaptureAxis, "time"}};
    auto k = kKinds.find(axis->kind());
    a.kind = k == kKinds.end() ? "x" : k->second;
    a.unit = axis->unitText();
    std::vector<float> xs(static_cast<size_t>(points));
    for (int32_t i = 0; i < points; ++i)
        xs[i] = axis->x(static_cast<int16_t>(i));
    a.start = xs[0];
    a.step = points > 1 ? double(xs[1]) - double(xs[0]) : 0.0;
    // Evenly spaced when every x is start + i * step to float precision.
    for (int32_t i = 0; i < points && a.uniform; ++i)
        a.uniform = static_cast<float>(a.start + i * a.step) == xs[i] ||
                    std::fabs(a.start + i * a.step - xs[i]) <= 1e-6 * std::fabs(xs[i]);
    if (!a.uniform) a.values = std::move(xs);
    return a;
}

std::string isoTime(const TimeStamp& ts) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = 1900 + ts.year();
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (ts.month() < 1 || ts.month() > 12 || ts.hours() > 23 || ts.minutes() > 59 ||
        ts.seconds() > 59)
        return "";
    // A damaged stamp's day may not exist in its month: no date then.
    if (ts.day() < 1 || ts.day() > kDays[ts.month() - 1] + (ts.month() == 2 && leap)) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, ts.month(), ts.day(),
                  ts.hours(), ts.minutes(), ts.seconds());
    return text;
}

FileIdentity traceIdentity(CModel& model, const std::string& kind) {
    FileIdentity id;
    id.kind = kind;
    // Waterfall files come from the VX560 only; an HP SDF file names no
    // instrument of ours.
    if (kind.find("VX550") != std::string::npos)
        id.instrument = "VX550";
    else if (kind != "HP SDF")
        id.instrument = "VX560";
    id.measureGroup = model.cat.measureGroup[0].getStr(ePaoEntry);
    id.measurement = model.cat.measurement[0].getStr(ePaoEntry);
    id.time = isoTime(model.trace.timeStamp);
    // A waterfall's slices are read later: the length each will have.
    id.points = model.trace.vector(0) ? model.trace.pointsToWrite()
                                      : std::max<int32_t>(0, model.trace.extractedPoints());
    return id;
}

void writeIdentity(CJson& json, const FileIdentity& id) {
    json.key("identity").beginObject();
    json.key("kind").string(id.kind);
    json.key("instrument").stringOrNull(id.instrument);
    json.key("measure_group").stringOrNull(id.measureGroup);
    json.key("measurement").stringOrNull(id.measurement);
    json.key("time").stringOrNull(id.time);
    json.key("points").integer(id.points);
    json.key("x_axis");
    if (id.axis.kind.empty()) {
        json.null();
    } else {
        json.beginObject();
        json.key("kind").string(id.axis.kind);
        json.key("unit").stringOrNull(id.axis.unit);
        if (id.axis.uniform) {
            json.key("start").number(id.axis.start);
            json.key("step").number(id.axis.step);
        } else {
            json.key("values").beginArray();
            for (float x : id.axis.values)
                json.number(x);
            json.endArray();
        }
        json.endObject();
    }
    json.key("units").beginArray();
    for (const std::string& u : id.units)
        json.stringOrNull(u);
    json.endArray();
    json.endObject();
}

std::string choiceValue(const SettingRecord& record) {
    return trimmed(record.text);
}

void writeSettings(CJson& json, const std::vector<SettingRecord>& records) {
    json.key("settings").beginArray();
    for (const SettingRecord& r : records) {
        json.beginObject();
        json.key("key").string(r.key);
        json.key("label").string(r.label);
        json.key("value");
        switch (r.kind) {
        case SettingRecord::eNumber:
            json.number(r.number);
            break;
        case SettingRecord::eSwitch:
            json.boolean(r.on);
            break;
        default:
            json.string(choiceValue(r));
            break;
        }
        json.key("unit").stringOrNull(r.unit);
        json.key("text").string(r.text);
        json.endObject();
    }
    json.endArray();
}

} // namespace vx
