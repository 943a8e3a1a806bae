// Writing Capture/Arb. samples as text.
#include "ascii/AsciiCapArbWriter.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "ascii/ValueLines.h"
#include "base/Options.h"
#include "base/VX550.h"
#include "settings/HeaderLines.h"

namespace vx {

namespace {

constexpr int32_t kSamplesPerKpt = 1024;

} // namespace

void CAsciiCapArbWriter::writeHeader() {
    if (options_.inputName[0])
        (void)messageLine((std::string("Input File: ") + options_.inputName).c_str());
    for (const HeaderLine& l : capArbHeaderLines(reader_->header(), reader_->kind(), rpmSwitch_))
        (void)messageLine((l.label + l.text).c_str());
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
