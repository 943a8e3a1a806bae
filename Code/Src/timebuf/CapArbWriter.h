// The Capture/Arb. Waveform writer: a file built from a number list (list
// mode) or copied from another Capture/Arb. file (copy mode), always behind a
// multi-disk header so that it may span floppies.
#pragma once
#include <cstdint>

#include "timebuf/CapArb.h"
#include "timebuf/NumberList.h"

namespace vx {

class CCapArbWriter : public CFileWriter {
  public:
    // List mode: samples and header from the list reader.
    CCapArbWriter(CAsciiReader* list, int16_t kind) : list_(list), kind_(kind) {}
    // Copy mode: raw samples and the header that the reader loaded.
    CCapArbWriter(CCapArbReader* copy, int16_t kind) : copy_(copy), kind_(kind) {}

    Status write(const char* name) override;

  private:
    Status writeSamples(const CapArbHeader& header);
    Status fillBlock(uint8_t* block);

    CAsciiReader* list_ = nullptr;
    CCapArbReader* copy_ = nullptr;
    int16_t kind_;
};

} // namespace vx
