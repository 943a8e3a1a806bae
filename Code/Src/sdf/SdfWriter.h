// The HP SDF writer: the current trace as an SDF revision 3 file with one
// data vector, its headers translated from the instrument settings.
#pragma once
#include "sdf/SdfParse.h"
#include "trace/TraceFileWriter.h"

namespace vx {

class CSdfWriter : public CTraceFileWriter {
  public:
    using CTraceFileWriter::CTraceFileWriter;
    // The settings are translated before the output is opened, so a trace
    // that cannot be written leaves an existing file as it was.
    Status write(const char* name) override;
    // The whole file into a stream: 0, 1 after a translation failure (reported), 26
    // after a failed write ("Error writing to file").
    Status writeTo(socket& out);

  private:
    // Makes the axis object and translates the settings into the headers.
    Status prepare();
    Status translate();
    Status writeFile(socket& out);
    Status writeHeaders(socket& out);
    Status writeXData(socket& out, int32_t points);
    Status writeYData(socket& out, int32_t points);

    CSdfHdrs hdrs_;
    int32_t points_ = 0;
    int16_t measurement_ = 0;
};

} // namespace vx
