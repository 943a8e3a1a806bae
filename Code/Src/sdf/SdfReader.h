// Reader of HP SDF files (revisions 2 and 3): the headers become instrument
// settings and the Y data the current trace.
#pragma once
#include "base/FileIO.h"
#include "base/Status.h"
#include "sdf/SdfParse.h"

namespace vx {

class CSdfReader : public CFileReader {
  public:
    // Reads and translates the whole file; 0 for success, 1 after a message.
    Status open(const char* name) override;
    const CSdfHdrs& headers() const { return hdrs_; }

  private:
    CSdfHdrs hdrs_;
};

// Translates headers already read from the open file into the settings and
// the trace, then reads the Y data into the trace. 0, or 1 after a message.
Status translateSdf(userdiskPrt& in, CSdfHdrs& hdrs);

} // namespace vx
