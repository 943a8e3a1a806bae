// The writer behind VX560_READDISPLAYDATA: the ASCII trace writer's columns
// and units, with the values put into the caller's buffer instead of a file.
#pragma once
#include "ascii/AsciiTraceWriter.h"
#include "vxcore.h"

namespace vx::lib {

class CDllOutputer : public CAsciiTraceWriter {
  public:
    // Not used: the values go to a buffer.
    Status write(const char*) override { return kStatusFailed; }
    // Sets the buffer's header (42, 11, the points of the loaded trace) and
    // fills it with the column and units of the option block.
    Status extract(VX560_DATA* buffer);

  protected:
    Status writeData() override;

  private:
    void writeXColumn();
    void writeViewColumn(int32_t code, int16_t units);
    void setUnitText(const char* text);

    VX560_DATA* buffer_ = nullptr;
};

} // namespace vx::lib
