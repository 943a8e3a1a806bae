// The MAT (version 4) output of a trace: one single-precision matrix whose
// columns are the /C columns and whose rows are the trace points; an "r"
// column followed by an "i" column is one complex column.
#pragma once
#include <string>
#include <vector>

#include "trace/DISP_M.h"
#include "trace/TraceFileWriter.h"

namespace vx {

class CMatLabWriter : public CTraceFileWriter {
  public:
    using CTraceFileWriter::CTraceFileWriter;
    Status write(const char* name) override;

  private:
    // One matrix column: the expanded column at `first`, and whether it is
    // complex (an "r","i" pair, or a lone "i").
    struct MatColumn {
        int first = 0;
        bool paired = false; // "r" then "i": two expanded columns
        bool complex = false;
    };

    void writeHeader();
    Status writeData();
    void writeRealPart(const MatColumn& c, const std::vector<Point>& points);
    void writeImaginaryPart(const MatColumn& c, const std::vector<Point>& points);
    void putFloat(float v);
    Status flush();

    ExpandedColumns cols_;
    std::vector<MatColumn> matColumns_;
    bool imaginary_ = false; // some column is complex
    std::string buffer_;
    Status status_ = kStatusOk;
};

// The array name: /G when given, else the input's base name; lower-cased, and
// "qrb" put in front (with a warning) when it does not start with a letter.
std::string matArrayName(const char* given, const char* inputName);

} // namespace vx
