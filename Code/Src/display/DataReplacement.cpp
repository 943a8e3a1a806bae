// Option /Q: the values of an ASCII list replace a trace's vector 1.
#include "display/DataReplacement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/ErrLogger.h"
#include "base/FileIO.h"

namespace vx {

namespace {

// Longer lines are refused rather than cut: no number is written that wide.
constexpr size_t kMaxLineLen = 1024;

// The next line, whole, without its line end; false at the end of the
// stream or for a line longer than kMaxLineLen.
bool readLine(socket& in, std::string& line) {
    line.clear();
    char c;
    bool any = false;
    while (in.readBytes(&c, 1).ok()) {
        any = true;
        if (c == '\n') break;
        if (line.size() == kMaxLineLen) return false;
        line += c;
    }
    return any;
}

// True when only white space (a CR of a CR LF line end too) follows `stop`
// to the end of the line; a NUL byte is not an end, so nothing hides behind one.
bool onlySpaceAfter(const char* stop, const std::string& line) {
    const char* end = line.c_str() + line.size();
    while (stop < end && (*stop == ' ' || *stop == '\t' || *stop == '\r'))
        ++stop;
    return stop == end;
}

// The count line: a whole number from 1 up, also written as an integral
// floating-point value ("4.010000000000000000e+02").
bool parseCount(const std::string& line, double& count) {
    char* stop = nullptr;
    count = std::strtod(line.c_str(), &stop);
    return stop != line.c_str() && onlySpaceAfter(stop, line) && std::isfinite(count) && count >= 1 &&
           std::floor(count) == count;
}

// A value line: one number within single-precision range (a value too
// small for it becomes zero or subnormal, as any float reader makes it).
bool parseValue(const std::string& line, float& value) {
    char* stop = nullptr;
    value = std::strtof(line.c_str(), &stop);
    return stop != line.c_str() && onlySpaceAfter(stop, line) && std::isfinite(value);
}

// The first `points` points of the list after its count line; false when a
// line is missing or is not a number.
bool readPoints(socket& in, size_t points, std::vector<float>& values) {
    std::string line;
    values.resize(2 * points);
    for (float& v : values)
        if (!readLine(in, line) || !parseValue(line, v)) return false;
    return true;
}

} // namespace

// The list is read whole before the vector changes, so a refused list leaves
// the trace as it was.
Status replaceData(TraceMgr& trace, const char* name) {
    userdiskPrt file(name);
    file.setMode(socket::eRead);
    std::vector<Point>* held = trace.vector(0);
    bool ok = file.openWithChecks(CFileWriter::kMinFreeBytes).ok() && file.isOpen() && held;
    std::string line;
    double count = 0;
    ok = ok && readLine(file, line) && parseCount(line, count);
    const size_t points = ok ? static_cast<size_t>(std::min(count, double(held->size()))) : 0;
    std::vector<float> values;
    ok = ok && readPoints(file, points, values);
    if (!ok) {
        errLog() << msg::eInvalidAsciiData << endLine;
        return kStatusFailed;
    }
    for (size_t p = 0; p < held->size(); ++p)
        (*held)[p] = p < points ? Point{values[2 * p], values[2 * p + 1]} : Point();
    return kStatusOk;
}

} // namespace vx
