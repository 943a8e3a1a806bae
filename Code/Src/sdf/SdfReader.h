// Reader of HP SDF files (revisions 2 and 3): the headers become instrument
// settings and the Y data the current trace.
#pragma once
#include "base/FileIO.h"
#include "base/Status.h"
#include "sdf/SdfParse.h"
#include "trace/Model.h"

namespace vx {

// Fills the model's trace and the parameters.
class CSdfReader : public CFileReader {
  public:
    explicit CSdfReader(CModel& model) : model_(model) {}
    // Reads and translates the whole file; 0 for success, 1 after a message.
    Status open(const char* name) override;
    const CSdfHdrs& headers() const { return hdrs_; }

  private:
    CModel& model_;
    CSdfHdrs hdrs_;
};

// Translates headers already read from the open file into the settings and
// the trace, then reads the Y data into the trace. 0, or 1 after a message.
Status translateSdf(CModel& model, userdiskPrt& in, CSdfHdrs& hdrs);

} // namespace vx
