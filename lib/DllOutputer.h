// Trace values for VX560_READDISPLAYDATA: the columns and units of the ASCII
// output, put into the caller's buffer instead of a file.
#pragma once
#include <memory>

#include "base/Status.h"
#include "trace/AXIS.h"
#include "trace/Model.h"
#include "vxcore.h"

namespace vx::lib {

class CDllOutputer {
  public:
    explicit CDllOutputer(CModel& model) : model_(model) {}
    // Sets the buffer's header (42, 11, the points of the loaded trace) and
    // fills it with the column and units of the option block.
    Status extract(VX560_DATA* buffer);

  private:
    Status writeData();
    void writeXColumn();
    void writeViewColumn(int32_t code, int16_t units);
    void setUnitText(const char* text);

    CModel& model_;
    VX560_DATA* buffer_ = nullptr;
    std::unique_ptr<xAxisT> axis_;
};

} // namespace vx::lib
