// Formatting values and headings into buffered lines.
#include "ascii/ValueLines.h"

#include <cstdio>
#include <cstring>

namespace vx {

namespace {

constexpr size_t kFlushBytes = 16384;
constexpr size_t kValueBufferBytes = 512; // /F is at most 14 characters

// The format applied to one double; a result longer than the buffer is cut.
size_t formatValue(char (&buf)[kValueBufferBytes], const char* format, double v) {
    int n = std::snprintf(buf, sizeof buf, format, v);
    if (n < 0) return 0;
    return static_cast<size_t>(n) < sizeof buf ? static_cast<size_t>(n) : sizeof buf - 1;
}

std::string centred(const std::string& text, int w) {
    int width = static_cast<int>(text.size());
    int lead = (w - width) / 2;
    return std::string(lead, ' ') + text + std::string(w - width - lead, ' ');
}

} // namespace

int fieldWidth(const char* dataFormat) {
    char buf[kValueBufferBytes];
    return static_cast<int>(formatValue(buf, dataFormat, -1.0));
}

std::string fitHeading(const char* prefix, const std::string& unit, int w) {
    std::string heading = std::string(prefix) + unit + "]";
    if (static_cast<int>(heading.size()) > w) heading = "[" + unit + "]";
    if (static_cast<int>(heading.size()) <= w) return centred(heading, w);
    if (w < 5) return std::string(w > 0 ? w : 0, '.');
    return unit.substr(0, w - 3) + "...";
}

CValueLines::CValueLines(socket& out, const char* dataFormat, uint16_t pointsPerLine,
                         const char* separator)
    : out_(out), format_(dataFormat), separator_(separator), pointsPerLine_(pointsPerLine),
      counter_(pointsPerLine) {
    buffer_.reserve(kFlushBytes + kValueBufferBytes);
}

void CValueLines::startPoint() {
    if (counter_ == 0) {
        endLine();
        counter_ = pointsPerLine_ > 0 ? pointsPerLine_ - 1 : 0;
    } else {
        --counter_;
    }
}

void CValueLines::value(double v) {
    char buf[kValueBufferBytes];
    buffer_.append(buf, formatValue(buf, format_, v));
    flushWhenFull();
}

void CValueLines::text(const char* s) {
    buffer_ += s;
    flushWhenFull();
}

void CValueLines::flushWhenFull() {
    if (buffer_.size() >= kFlushBytes) (void)flush();
}

Status CValueLines::flush() {
    if (!buffer_.empty()) {
        Status st = out_.writeBytes(buffer_.data(), static_cast<uint32_t>(buffer_.size()));
        if (status_.ok()) status_ = st;
        buffer_.clear();
    }
    return status_;
}

} // namespace vx
