// Writing Capture/Arb. samples as text.
#include "ascii/AsciiCapArbWriter.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "ascii/ValueLines.h"
#include "base/Options.h"
#include "base/VX550.h"
#include "params/UTIL.h"

namespace vx {

namespace {

constexpr int32_t kSamplesPerKpt = 1024;

std::string line(const char* label, const char* format, int a, int b = 0, int c = 0) {
    char buf[96];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return std::string(label) + buf;
}

} // namespace

void CAsciiCapArbWriter::writeHeader() {
    const CapArbHeader& h = reader_->header();
    const TimeStamp& ts = h.timeStamp;
    if (options_.inputName[0])
        (void)messageLine((std::string("Input File: ") + options_.inputName).c_str());
    (void)messageLine(
        line("Time: ", "%02d : %02d : %02d", ts.hours(), ts.minutes(), ts.seconds()).c_str());
    (void)messageLine(
        line("Date: ", "%2d / %2d / %02d", ts.month(), ts.day(), ts.yearOfCentury()).c_str());
    (void)messageLine(line("Length = ", "%d kPts", h.recordKpts).c_str());
    (void)messageLine(h.baseFreqId == 0 ? "Base Freq. = 100 kHz" : "Base Freq. = 102.4 kHz");
    FreqValue rate = sampleRate(h.spanCode);
    char text[64];
    formatFrequency(&rate, text, sizeof text, h.baseFreqId, 4, true);
    (void)messageLine((std::string("Sampling Freq = ") + text).c_str());
    if (reader_->kind() != eKindArb)
        (void)messageLine(
            line("Input Range = ", "%d dBVpk", capturedInputRange(h, reader_->kind())).c_str());
    (void)file_->writeText("\r\n");
}

void CAsciiCapArbWriter::writeHeadingLine(CValueLines& lines, int32_t total) {
    const char* unit = reader_->kind() == eKindArb ? "% full scl" : "V";
    std::string heading = fitHeading("[", unit, fieldWidth(options_.dataFormat));
    int32_t repeats = std::min<int32_t>(options_.pointsPerLine, total);
    for (int32_t r = 0; r < repeats; ++r) {
        if (r > 0) lines.separator();
        lines.text(heading);
    }
    lines.endLine();
}

Status CAsciiCapArbWriter::writeData() {
    CBulkBufferClaim bulk;
    CValueLines lines(*file_, options_.dataFormat, options_.pointsPerLine, options_.separator);
    const int32_t total = reader_->header().recordKpts * kSamplesPerKpt;
    if (options_.headerMode != 0) writeHeadingLine(lines, total);
    for (int32_t i = 0; i < total; ++i) {
        int inBlock = i % kBlockSamples;
        if (inBlock == 0) {
            Status st = reader_->readBlock(bulk.data(), true);
            if (st.failed()) return st;
        }
        lines.startPoint();
        lines.value(blockFraction(bulk.data(), inBlock) * scale_);
    }
    lines.endLine();
    return lines.flush();
}

Status CAsciiCapArbWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    scale_ = voltsPerFraction(reader_->header(), reader_->kind());
    if (options_.headerMode != 0) writeHeader();
    if (!options_.writeData) return kStatusOk;
    return writeData();
}

} // namespace vx
