// ASCII output of a Capture/Arb. Waveform buffer: an optional header with the
// capture settings, then the samples in volts (or fractions of full scale for
// an Arb. source) read block by block from the reader.
#pragma once
#include <cstdint>

#include "base/FileIO.h"
#include "timebuf/CapArb.h"

namespace vx {

class CValueLines;

class CAsciiCapArbWriter : public CFileWriter {
  public:
    CAsciiCapArbWriter(const ConvOptions& options, CCapArbReader* reader)
        : options_(options), reader_(reader) {}

    Status write(const char* name) override;

  private:
    void writeHeader();
    Status writeData();
    void writeHeadingLine(CValueLines& lines, int32_t total);

    const ConvOptions& options_;
    CCapArbReader* reader_;
    float scale_ = 1.0f;
};

} // namespace vx
