// The ASCII output of a trace: header, heading line and the value table.
#include "ascii/AsciiTraceWriter.h"

#include <algorithm>

#include "ascii/ValueLines.h"
#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/Options.h"
#include "settings/HeaderLines.h"
#include "trace/DISP_M.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

const char* headingPrefix(int32_t code) {
    static const char* const kPrefixes[] = {"", "Mag[", "M2[", "R[", "I[", "P[", "UP[", "X["};
    return code >= 1 && code <= 7 ? kPrefixes[code] : "[";
}

// The separator follows field k (of `fields` on a point) when the /C list
// names a column there, when more points follow on the line, or when a
// field of the point follows: two "v" columns that expand into four must
// not leave two values run together.
bool separatorAfter(const int32_t* columns, int k, int fields, bool morePointsOnLine) {
    bool listed = k < kMaxColumns && columns[k] != eColEnd;
    return listed || k + 1 < fields || morePointsOnLine;
}

} // namespace

// The header: the input file's name, the settings lines, an empty line.
void CAsciiTraceWriter::writeHeader() {
    if (model_.options.inputName[0])
        (void)messageLine((std::string("Input File: ") + model_.options.inputName).c_str());
    for (const HeaderLine& l : traceHeaderLines(model_, model_.options.headerMode, sliceText())) {
        const std::string line = l.label + l.text;
        if (l.echo)
            (void)messageLine(line.c_str());
        else
            (void)file_->writeText((line + "\r\n").c_str());
    }
    (void)messageLine("");
}

Status CAsciiTraceWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    axis_ = model_.trace.makeAxis();
    if (model_.options.headerMode != 0) writeHeader();
    Status st = model_.options.writeData ? writeData() : Status(kStatusOk);
    axis_.reset();
    return st;
}

Status CAsciiTraceWriter::writeData() {
    TraceMgr& t = model_.trace;
    const std::vector<Point>* points = t.vector(0);
    int32_t n = t.pointsToWrite();
    if (n <= 0) {
        errLog() << msg::eNoDataToExtract << endLine;
        return kStatusFailed;
    }
    const ConvOptions& o = model_.options;
    ExpandedColumns cols = setupColumns(model_.cat, o.columns, o.peakUnits, o.dbMode, o.phaseUnits);
    CValueLines lines(*file_, o.dataFormat, o.pointsPerLine, o.separator);
    const char* axisUnit = axis_ ? axis_->unitText() : "";
    if (o.headerMode != 0) {
        int w = fieldWidth(o.dataFormat);
        int groups = std::min<int32_t>(o.pointsPerLine, n);
        for (int g = 0; g < groups; ++g) {
            for (int k = 0; k < cols.count; ++k) {
                const char* unit =
                    columnTitleUnit(model_.cat, cols.codes[k], cols.units[k], axisUnit);
                lines.text(fitHeading(headingPrefix(cols.codes[k]), unit, w));
                if (separatorAfter(o.columns, k, cols.count, g + 1 < groups)) lines.separator();
            }
        }
        lines.endLine();
    }
    const PointX x = axisPointX(axis_.get());
    for (int32_t i = 0; i < n; ++i) {
        lines.startPoint();
        bool more = lines.roomOnLine() && i + 1 < n;
        for (int k = 0; k < cols.count; ++k) {
            int32_t code = cols.codes[k];
            double v = code == eColX
                           ? (axis_ ? axis_->x(static_cast<int16_t>(i)) : 0.0)
                           : columnValue(model_.cat, code, cols.units[k], (*points)[i], i, x);
            lines.value(v);
            if (separatorAfter(o.columns, k, cols.count, more)) lines.separator();
        }
    }
    lines.endLine();
    return lines.flush();
}

} // namespace vx
