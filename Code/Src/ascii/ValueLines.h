// Value lines of the ASCII output: values printed with the /F data format,
// /P points per line, the /K separator, headings fitted to the field width,
// all collected in a buffer and written to the stream in large pieces.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/DISK_M.h"
#include "base/Status.h"

namespace vx {

// The length of the text that the data format produces for -1.
int fieldWidth(const char* dataFormat);

// The heading prefix + unit + "]" fitted to width w: "[" + unit + "]" when
// that is too long; then w dots for w < 5, else the unit cut to w characters
// ending in "..."; centred with blanks to exactly w characters when it fits.
std::string fitHeading(const char* prefix, const std::string& unit, int w);

// A data format of the form "%We", "%W.Pe" or "%.Pe" (the default "%14.6e"
// among them), which is printed without printf: width W (at most two digits,
// no flags), precision P (6 when not given, at most 40).
struct PlainExponentFormat {
    bool plain = false;
    int width = 0;
    int precision = 6;
};
PlainExponentFormat plainExponentFormat(const char* dataFormat);
// v as printf prints it with the format; out has room for width + 56 characters.
size_t formatPlainExponent(char* out, const PlainExponentFormat& format, double v);

class CValueLines {
  public:
    CValueLines(socket& out, const char* dataFormat, uint16_t pointsPerLine, const char* separator);
    CValueLines(const CValueLines&) = delete;
    CValueLines& operator=(const CValueLines&) = delete;
    ~CValueLines() { (void)flush(); }

    // Before each point: a line break when the line is full (the first line
    // begins without one).
    void startPoint();
    // After startPoint: true when the line has room for another point.
    bool roomOnLine() const { return counter_ > 0; }
    void value(double v);
    void separator() { text(separator_); }
    void text(const char* s);
    void text(const std::string& s) { text(s.data(), s.size()); }
    void text(const char* s, size_t n);
    void endLine() { text("\r\n"); }
    // Writes what is buffered; the stream's status.
    Status flush();

  private:
    void flushWhenFull();

    socket& out_;
    const char* format_;
    PlainExponentFormat plain_;
    const char* separator_;
    uint16_t pointsPerLine_;
    uint16_t counter_;
    std::string buffer_;
    Status status_ = kStatusOk;
};

} // namespace vx
