// Header names and the rows of the CSV output.
#include "csv/CsvRows.h"

#include <algorithm>
#include <charconv>

namespace vx {

std::string csvQuoted(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

namespace {

// Readers rename or merge repeated names; each is given a number instead.
void makeUnique(std::vector<std::string>& names) {
    for (size_t i = 1; i < names.size(); ++i) {
        auto begin = names.begin(), at = begin + static_cast<ptrdiff_t>(i);
        const std::string base = names[i];
        for (int n = 2; std::find(begin, at, names[i]) != at; ++n)
            names[i] = base + " " + std::to_string(n);
    }
}

} // namespace

std::string columnName(const char* name, const char* unit) {
    if (!unit || !*unit || std::string(unit) == name) return name;
    return std::string(name) + " (" + unit + ")";
}

void CCsvRows::header(std::vector<std::string> names) {
    spill();
    makeUnique(names);
    std::string line;
    for (size_t i = 0; i < names.size(); ++i)
        line += (i > 0 ? "," : "") + csvQuoted(names[i]);
    line += '\n';
    write(line.data(), line.size());
}

void CCsvRows::spill() {
    write(row_.data(), used_);
    used_ = 0;
}

void CCsvRows::write(const char* bytes, size_t count) {
    if (count == 0) return;
    Status st = out_.writeBytes(bytes, static_cast<uint32_t>(count));
    if (status_.ok()) status_ = st;
}

void CCsvRows::field(float v) {
    char* at = nextField();
    used_ += static_cast<size_t>(shortestText(at, v) - at);
}

void CCsvRows::field(double v) {
    char* at = nextField();
    used_ += static_cast<size_t>(shortestText(at, v) - at);
}

void CCsvRows::field(int32_t v) {
    char* at = nextField();
    used_ += static_cast<size_t>(std::to_chars(at, at + kMaxField, v).ptr - at);
}

} // namespace vx
