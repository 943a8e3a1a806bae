// The base of every writer of the trace model: each writes the trace record
// and the parameter objects that a trace reader filled, in its own format,
// under the model's options.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "base/FileIO.h"
#include "trace/AXIS.h"
#include "trace/DISP_M.h"
#include "trace/Model.h"

namespace vx {

// The waterfall slices a writer of the trace writes: how many there are
// (asked once the reader is open), and the read of the next one into the
// trace (its status).
struct SliceFeed {
    std::function<int16_t()> count;
    std::function<Status()> next;
    bool empty() const { return !next; }
};

class CTraceFileWriter : public CFileWriter {
  public:
    explicit CTraceFileWriter(CModel& model) : model_(model) {}

  protected:
    // The values of the trace's first n points by column (x columns left
    // out), computed point by point as the ASCII output computes them: the
    // unwrapped phase carries from one column to the next within a point.
    std::vector<std::vector<float>> columnValues(const ExpandedColumns& cols, int32_t n) {
        const std::vector<Point>* points = model_.trace.vector(0);
        if (!points) n = 0;
        const PointX x = axisPointX(axis_.get());
        std::vector<std::vector<float>> values;
        for (int k = 0; k < cols.count; ++k)
            if (cols.codes[k] != eColX) values.emplace_back().reserve(size_t(n));
        for (int32_t i = 0; i < n; ++i) {
            size_t v = 0;
            for (int k = 0; k < cols.count; ++k)
                if (cols.codes[k] != eColX)
                    values[v++].push_back(
                        columnValue(model_.cat, cols.codes[k], cols.units[k], (*points)[i], i, x));
        }
        return values;
    }

    CModel& model_;
    // The trace's x-axis, held by a writer that needs it while it writes.
    std::unique_ptr<xAxisT> axis_;
};

} // namespace vx
