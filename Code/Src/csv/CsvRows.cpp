// Header names and shortest round-trip numbers of the CSV output.
#include "csv/CsvRows.h"

#include <algorithm>
#include <charconv>

namespace vx {

namespace {

// Quoted by the CSV rules (inner quotes doubled) when the text needs it.
std::string quoted(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

// Readers rename or merge repeated names; each is given a number instead.
void makeUnique(std::vector<std::string>& names) {
    for (size_t i = 1; i < names.size(); ++i) {
        auto begin = names.begin(), at = begin + static_cast<ptrdiff_t>(i);
        const std::string base = names[i];
        for (int n = 2; std::find(begin, at, names[i]) != at; ++n)
            names[i] = base + " " + std::to_string(n);
    }
}

// Some readers (pandas' default parser among them) take at most 17 digits of
// a number in fixed notation, leading zeros included; longer ones are written
// in scientific notation, which they read exactly.
constexpr std::ptrdiff_t kMaxFixedDigits = 17;

template <class T> void shortest(CValueLines& lines, T v) {
    char buf[48];
    char* end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    if (std::find(buf, end, 'e') == end &&
        std::count_if(buf, end, [](char c) { return c >= '0' && c <= '9'; }) > kMaxFixedDigits)
        end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
    lines.text(buf, static_cast<size_t>(end - buf));
}

} // namespace

std::string columnName(const char* name, const char* unit) {
    if (!unit || !*unit || std::string(unit) == name) return name;
    return std::string(name) + " (" + unit + ")";
}

void CCsvRows::header(std::vector<std::string> names) {
    makeUnique(names);
    for (const std::string& name : names) {
        separate();
        lines_.text(quoted(name));
    }
    endRow();
}

void CCsvRows::separate() {
    if (rowStarted_) lines_.separator();
    rowStarted_ = true;
}

void CCsvRows::field(float v) {
    separate();
    shortest(lines_, v);
}

void CCsvRows::field(double v) {
    separate();
    shortest(lines_, v);
}

void CCsvRows::field(int32_t v) {
    separate();
    char buf[16];
    char* end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    lines_.text(buf, static_cast<size_t>(end - buf));
}

void CCsvRows::endRow() {
    lines_.text("\n", 1);
    rowStarted_ = false;
}

} // namespace vx
