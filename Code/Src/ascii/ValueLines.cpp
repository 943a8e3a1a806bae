// Formatting values and headings into buffered lines.
#include "ascii/ValueLines.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace vx {

namespace {

constexpr size_t kFlushBytes = 16384;
constexpr size_t kValueBufferBytes = 512; // /F is at most 14 characters
constexpr int kMaxPlainPrecision = 40;

// The format applied to one double; a result longer than the buffer is cut.
size_t formatValue(char (&buf)[kValueBufferBytes], const char* format, double v) {
    int n = std::snprintf(buf, sizeof buf, format, v);
    if (n < 0) return 0;
    return static_cast<size_t>(n) < sizeof buf ? static_cast<size_t>(n) : sizeof buf - 1;
}

// Reads a decimal number of at most two digits; false when there are more.
bool readSmallNumber(const char*& p, int& n) {
    n = 0;
    for (int digits = 0; *p >= '0' && *p <= '9'; ++p, ++digits) {
        if (digits == 2) return false;
        n = 10 * n + (*p - '0');
    }
    return true;
}

std::string centred(const std::string& text, int w) {
    int width = static_cast<int>(text.size());
    int lead = (w - width) / 2;
    return std::string(lead, ' ') + text + std::string(w - width - lead, ' ');
}

} // namespace

PlainExponentFormat plainExponentFormat(const char* format) {
    PlainExponentFormat f;
    const char* p = format;
    if (*p++ != '%' || *p == '0') return f; // a leading 0 is the zero-padding flag
    if (!readSmallNumber(p, f.width)) return f;
    f.precision = 6;
    if (*p == '.' && !readSmallNumber(++p, f.precision)) return f;
    f.plain = p[0] == 'e' && p[1] == '\0' && f.precision <= kMaxPlainPrecision;
    return f;
}

size_t formatPlainExponent(char* out, const PlainExponentFormat& f, double v) {
    // std::to_chars gives the digits printf gives, rounding included.
    char digits[kMaxPlainPrecision + 16];
    char* end =
        std::to_chars(digits, digits + sizeof digits, v, std::chars_format::scientific, f.precision)
            .ptr;
    size_t length = static_cast<size_t>(end - digits);
    size_t pad = static_cast<size_t>(f.width) > length ? static_cast<size_t>(f.width) - length : 0;
    std::memset(out, ' ', pad);
    std::memcpy(out + pad, digits, length);
    return pad + length;
}

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
    : out_(out), format_(dataFormat), plain_(plainExponentFormat(dataFormat)),
      separator_(separator), pointsPerLine_(pointsPerLine), counter_(pointsPerLine) {
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
    buffer_.append(buf, plain_.plain ? formatPlainExponent(buf, plain_, v)
                                     : formatValue(buf, format_, v));
    flushWhenFull();
}

void CValueLines::text(const char* s) {
    buffer_ += s;
    flushWhenFull();
}

void CValueLines::text(const char* s, size_t n) {
    buffer_.append(s, n);
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
