// The ASCII trace writer under random valid option sets (/C /U /F /P /K /D
// /H /A): every data line holds the values it should, and each value parses
// back to the value of a full-precision reference run within the precision
// of the format. The CSV output of the same columns and units reads back to
// exactly those values, and so does the JSON output, which parses whole.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "HarnessSupport.h"
#include "Harnesses.h"
#include "params/Catalog.h"
#include "run/OptionMgr.h"
#include "support/DisplayFixture.h"
#include "support/TestModel.h"
#include "trace/MeasDesc.h"

namespace vxfuzz {

namespace {

const char* const kColumns[] = {"x", "v", "mag", "m2", "r", "i", "p", "up"};
const char* const kPeak[] = {"rms", "pk", "pp"};
const char* const kDb[] = {"lin", "dB", "dBm", "dBSpl"};
const char* const kPhase[] = {"deg", "rad"};
const char kSeparators[] = {' ', ',', '\t'};
const char kConversions[] = {'e', 'E', 'f', 'g', 'G'};
const char kFlags[] = {'-', '+', ' ', '#', '0'};

template <size_t N> const char* pick(const char* const (&choices)[N], ByteSource& in) {
    return choices[in.next() % N];
}

// A Display file of measurement m (cached: building one sets the catalogue).
const std::string& displayOf(int m) {
    static std::map<int, std::string> made;
    auto found = made.find(m);
    if (found != made.end()) return found->second;
    resetProcessState();
    return made[m] = vxtest::measurementDisplayFile(int16_t(vx::groupOfMeasurement(m)), int16_t(m));
}

// The Display file with the floats at its end (the last vector's points)
// replaced by the input's bytes.
std::string withPoints(std::string file, const std::string& bytes) {
    size_t n = std::min(bytes.size() / 4 * 4, file.size() / 2 / 4 * 4);
    file.replace(file.size() - n, n, bytes.substr(0, n));
    return file;
}

struct Format {
    std::string text;
    char conversion;
    int precision;
};

Format randomFormat(ByteSource& in) {
    Format f{"%", kConversions[in.next() % 5], 6};
    for (int flags = in.next() % 3; flags > 0; --flags)
        f.text += kFlags[in.next() % 5];
    if (int width = in.next() % 31) f.text += std::to_string(width);
    if (in.next() % 2) {
        f.precision = in.next() % 16;
        f.text += "." + std::to_string(f.precision);
    }
    f.text += f.conversion;
    return f;
}

int convert(std::vector<std::string> args) {
    args.insert(args.begin(), "vxconv");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    vx::COptionMgr job(vxtest::testModel(), int(args.size()), argv.data(), nullptr);
    if (job.errorIndex() != 0) return 1;
    return job.run().code();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream s(text);
    for (std::string line; std::getline(s, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    while (!out.empty() && out.back().empty())
        out.pop_back();
    return out;
}

std::vector<std::string> tokens(const std::string& line, char separator) {
    std::vector<std::string> out;
    if (separator == ' ') {
        std::istringstream s(line);
        for (std::string t; s >> t;)
            out.push_back(t);
        return out;
    }
    std::istringstream s(line);
    for (std::string t; std::getline(s, t, separator);) {
        t.erase(0, t.find_first_not_of(' '));
        t.erase(t.find_last_not_of(' ') + 1);
        out.push_back(t);
    }
    return out;
}

bool parses(const std::string& token, double& v) {
    char* end = nullptr;
    v = std::strtod(token.c_str(), &end);
    return !token.empty() && *end == '\0';
}

// The printed value stands for the reference within the format's precision.
bool matches(double printed, double reference, const Format& f) {
    if (std::isnan(reference) || std::isnan(printed))
        return std::isnan(reference) && std::isnan(printed);
    if (std::isinf(reference) || std::isinf(printed)) return printed == reference;
    const double scale = std::fabs(reference);
    double tolerance;
    if (f.conversion == 'f')
        tolerance = std::pow(10.0, -f.precision) + 1e-8 * scale;
    else if (f.conversion == 'g' || f.conversion == 'G')
        tolerance = std::pow(10.0, 1 - std::max(f.precision, 1)) * scale + 1e-300;
    else
        tolerance = std::pow(10.0, -f.precision) * scale + 1e-300;
    return std::fabs(printed - reference) <= tolerance * 1.0000001 + 1e-8 * scale;
}

// The CSV output: a header row, then one row per point of exactly the
// reference's values (single precision, as the trace holds them).
void checkCsv(std::vector<std::string> args, const std::vector<double>& expected, size_t perPoint) {
    resetProcessState();
    args[1] = "/Ocsv";
    args.insert(args.begin() + 1, path("out.csv"));
    require(convert(args) == 0, "the CSV output succeeds where the ASCII output does");
    std::vector<std::string> rows = lines(readFile(path("out.csv")));
    require(!rows.empty() && rows.size() - 1 == expected.size() / std::max<size_t>(perPoint, 1),
            "a header row and a row per point");
    size_t value = 0;
    for (size_t r = 1; r < rows.size(); ++r) {
        std::vector<std::string> t = tokens(rows[r], ',');
        require(t.size() == perPoint, "a CSV row holds its point's values");
        for (const std::string& token : t) {
            double v;
            require(parses(token, v), "every CSV value parses");
            const float want = float(expected[value++]);
            require(std::isnan(want) ? std::isnan(v) : float(v) == want,
                    "a CSV value reads back to the value written");
        }
    }
}

// A JSON value as read back: enough of a reader to check that a document
// follows the grammar (strings with their escapes, numbers as JSON writes
// them) and to walk its members.
struct JsonValue {
    enum Kind { eNull, eBool, eNumber, eString, eArray, eObject } kind = eNull;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;
    const JsonValue* member(const std::string& name) const {
        for (const auto& m : members)
            if (m.first == name) return &m.second;
        return nullptr;
    }
};

class JsonReader {
  public:
    explicit JsonReader(const std::string& text) : s_(text) {}
    // The whole text as one value; false when it is not JSON.
    bool document(JsonValue& v) { return value(v) && (space(), at_ == s_.size()); }

  private:
    void space() {
        while (at_ < s_.size() && std::strchr(" \t\r\n", s_[at_]))
            ++at_;
    }
    bool literal(const char* word) {
        size_t n = std::strlen(word);
        if (s_.compare(at_, n, word) != 0) return false;
        at_ += n;
        return true;
    }
    bool value(JsonValue& v) {
        space();
        if (at_ >= s_.size()) return false;
        const char c = s_[at_];
        if (c == '{') return object(v);
        if (c == '[') return array(v);
        if (c == '"') return v.kind = JsonValue::eString, string(v.text);
        if (literal("null")) return v.kind = JsonValue::eNull, true;
        if (literal("true") || literal("false")) return v.kind = JsonValue::eBool, true;
        return v.kind = JsonValue::eNumber, number(v.number);
    }
    bool digits() {
        size_t from = at_;
        while (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_])))
            ++at_;
        return at_ > from;
    }
    bool number(double& v) {
        const size_t from = at_;
        if (s_[at_] == '-') ++at_;
        if (s_.compare(at_, 1, "0") == 0)
            ++at_;
        else if (!digits())
            return false;
        if (s_.compare(at_, 1, ".") == 0 && (++at_, !digits())) return false;
        if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
            ++at_;
            if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
            if (!digits()) return false;
        }
        v = std::strtod(s_.substr(from, at_ - from).c_str(), nullptr);
        return true;
    }
    bool string(std::string& out) {
        ++at_;
        while (at_ < s_.size()) {
            const unsigned char c = static_cast<unsigned char>(s_[at_++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at_ >= s_.size()) return false;
            const char e = s_[at_++];
            if (e == 'u') {
                if (at_ + 4 > s_.size()) return false;
                for (int k = 0; k < 4; ++k)
                    if (!std::isxdigit(static_cast<unsigned char>(s_[at_ + k]))) return false;
                out += '?';
                at_ += 4;
            } else if (!std::strchr("\"\\/bfnrt", e)) {
                return false;
            } else {
                out += e;
            }
        }
        return false;
    }
    template <class Item> bool sequence(char close, Item item) {
        ++at_;
        space();
        if (at_ < s_.size() && s_[at_] == close) return ++at_, true;
        for (;;) {
            if (!item()) return false;
            space();
            if (at_ >= s_.size()) return false;
            const char c = s_[at_++];
            if (c == close) return true;
            if (c != ',') return false;
        }
    }
    bool array(JsonValue& v) {
        v.kind = JsonValue::eArray;
        return sequence(']', [&] { return v.items.emplace_back(), value(v.items.back()); });
    }
    bool object(JsonValue& v) {
        v.kind = JsonValue::eObject;
        return sequence('}', [&] {
            space();
            v.members.emplace_back();
            if (at_ >= s_.size() || s_[at_] != '"' || !string(v.members.back().first)) return false;
            space();
            if (at_ >= s_.size() || s_[at_++] != ':') return false;
            return value(v.members.back().second);
        });
    }

    const std::string& s_;
    size_t at_ = 0;
};

// The JSON output: one document that parses, with a record per setting and
// the values of each point, x where /C names it, exactly as the reference.
void checkJson(std::vector<std::string> args, const std::string& columns,
               const std::vector<double>& expected, size_t perPoint) {
    resetProcessState();
    args[1] = "/Ojson";
    args.insert(args.begin() + 1, path("out.json"));
    require(convert(args) == 0, "the JSON output succeeds where the ASCII output does");
    JsonValue doc;
    require(JsonReader(readFile(path("out.json"))).document(doc), "the JSON document parses");
    const JsonValue* settings = doc.member("settings");
    require(settings && settings->kind == JsonValue::eArray, "the document holds its settings");
    for (const JsonValue& s : settings->items)
        require(s.member("key") && s.member("label") && s.member("value") && s.member("unit") &&
                    s.member("text"),
                "a setting has its key, label, value, unit and text");
    const JsonValue* data = doc.member("data");
    const JsonValue* x = data ? data->member("x") : nullptr;
    const JsonValue* cols = data ? data->member("columns") : nullptr;
    require(x && cols, "a trace's data holds x and the columns");
    // The /C names in order; a "v" stands for one column or, with a
    // two-column view, two.
    std::vector<std::string> names = tokens(columns, ',');
    const size_t xs = size_t(std::count(names.begin(), names.end(), "x"));
    const size_t vs = size_t(std::count(names.begin(), names.end(), "v"));
    require(xs + cols->items.size() == perPoint, "every column of the point is in the document");
    const size_t perV = vs ? 1 + (cols->items.size() - (names.size() - xs)) / vs : 1;
    const size_t points = expected.size() / std::max<size_t>(perPoint, 1);
    require(x->items.size() == points, "an x value per point");
    size_t value = 0;
    for (size_t i = 0; i < points; ++i) {
        size_t column = 0;
        for (const std::string& name : names) {
            const size_t n = name == "x" ? 1 : name == "v" ? perV : 1;
            for (size_t k = 0; k < n; ++k) {
                const JsonValue& got =
                    name == "x" ? x->items[i] : cols->items[column++].member("values")->items[i];
                const float want = float(expected[value++]);
                require(std::isfinite(want)
                            ? got.kind == JsonValue::eNumber && float(got.number) == want
                            : got.kind == JsonValue::eNull,
                        "a JSON value reads back to the value written; NaN and infinities as null");
            }
        }
    }
}

} // namespace

int fuzzAsciiOptions(const uint8_t* data, size_t size) {
    ByteSource in(data, size);
    const int measurement = in.next() % vx::kMeasurementCount;
    const std::string display = displayOf(measurement);
    resetProcessState();

    std::string columns;
    for (int n = 1 + in.next() % 4; n > 0; --n)
        columns += std::string(columns.empty() ? "" : ",") + pick(kColumns, in);
    std::string units = std::string(pick(kPeak, in)) + "," + pick(kDb, in) + "," + pick(kPhase, in);
    const Format format = randomFormat(in);
    const int perLine = 1 + in.next() % 6;
    const int separator = in.next() % 3;
    const int header = in.next() % 4; // standard, /D, /H1, /H2
    const bool append = in.next() % 2;
    writeFile(path("in.56d"), withPoints(display, in.rest()));

    const std::vector<std::string> common = {path("in.56d"), "/Oasc", "/C" + columns, "/U" + units};
    std::vector<std::string> reference = common;
    reference.insert(reference.begin() + 1, path("ref.asc"));
    for (const char* extra : {"/D", "/F%.9e"})
        reference.push_back(extra);
    int st = convert(reference);
    if (st != 0) return st;
    std::vector<double> expected;
    size_t perPoint = 0;
    std::vector<std::string> refLines = lines(readFile(path("ref.asc")));
    for (const std::string& line : refLines) {
        std::vector<std::string> t = tokens(line, ' ');
        perPoint = t.size();
        for (const std::string& token : t) {
            double v;
            require(parses(token, v), "a full-precision value parses");
            expected.push_back(v);
        }
    }
    checkCsv(common, expected, perPoint);
    checkJson(common, columns, expected, perPoint);

    resetProcessState();
    const std::string previous = "an earlier table\n";
    writeFile(path("out.asc"), append ? previous : "");
    std::vector<std::string> args = common;
    args.insert(args.begin() + 1, path("out.asc"));
    args.push_back("/F" + format.text);
    args.push_back("/P" + std::to_string(perLine));
    args.push_back("/K" + std::to_string(separator));
    const char* headerOptions[] = {nullptr, "/D", "/H1", "/H2"};
    if (headerOptions[header]) args.push_back(headerOptions[header]);
    if (append) args.push_back("/A");
    st = convert(args);
    if (st != 0) return st;

    std::string out = readFile(path("out.asc"));
    if (append) {
        require(out.compare(0, previous.size(), previous) == 0, "/A keeps what the file held");
        out.erase(0, previous.size());
    }
    if (header >= 2) return 0; // file information only
    const size_t points = refLines.size();
    const size_t dataLines = (points + size_t(perLine) - 1) / size_t(perLine);
    std::vector<std::string> all = lines(out);
    require(all.size() >= dataLines, "every point has its line");
    size_t value = 0;
    for (size_t l = all.size() - dataLines; l < all.size(); ++l) {
        std::vector<std::string> t = tokens(all[l], kSeparators[separator]);
        size_t onLine =
            std::min(size_t(perLine), points - (l - (all.size() - dataLines)) * perLine);
        require(t.size() == onLine * perPoint, "a data line holds its points' values");
        for (const std::string& token : t) {
            double v;
            require(parses(token, v), "every value on a data line parses");
            require(matches(v, expected[value++], format), "a value parses back to the value");
        }
    }
    return 0;
}

} // namespace vxfuzz
