// Trace values into the caller's VX560_DATA buffer.
#include "DllOutputer.h"

#include <cstdio>

#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/Options.h"
#include "params/Catalog.h"
#include "trace/DISP_M.h"
#include "trace/TRACE.h"

namespace vx::lib {

namespace {

constexpr uint32_t kDataHeaderLength = 42;
constexpr uint16_t kDataVersion = 11;

// Display A's view and units of a model's catalogue as found, put back when
// the read is done: the next request's "as saved" units are then the file's
// again, not this one's.
class KeptViewAndUnits {
  public:
    explicit KeptViewAndUnits(Catalogue& cat)
        : cat_(cat), view_(cat.view[0].getData(ePaoEntry)),
          units_(cat.units[0].getData(ePaoEntry)) {}
    ~KeptViewAndUnits() {
        (void)cat_.view[0].setData(view_, 0);
        (void)cat_.units[0].setData(units_, 0);
        refreshUnitTexts(cat_, 0);
    }
    KeptViewAndUnits(const KeptViewAndUnits&) = delete;
    KeptViewAndUnits& operator=(const KeptViewAndUnits&) = delete;

  private:
    Catalogue& cat_;
    int16_t view_;
    int16_t units_;
};

} // namespace

Status CDllOutputer::extract(VX560_DATA* buffer) {
    buffer_ = buffer;
    buffer_->length = kDataHeaderLength;
    buffer_->version = kDataVersion;
    buffer_->points = static_cast<uint32_t>(model_.trace.pointsToWrite());
    return writeData();
}

Status CDllOutputer::writeData() {
    if (!model_.trace.vector(0) || buffer_->points == 0) {
        errLog() << msg::eNoDataToExtract << endLine;
        return kStatusFailed;
    }
    ExpandedColumns cols =
        setupColumns(model_.cat, model_.options.columns, model_.options.peakUnits,
                     model_.options.dbMode, model_.options.phaseUnits);
    axis_ = model_.trace.makeAxis();
    if (cols.codes[0] == eColX)
        writeXColumn();
    else
        writeViewColumn(cols.codes[0], cols.units[0]);
    axis_.reset();
    return kStatusOk;
}

void CDllOutputer::writeXColumn() {
    setUnitText(axis_ ? axis_->unitText() : "");
    for (uint32_t i = 0; i < buffer_->points; ++i)
        buffer_->values[i] = axis_ ? axis_->x(static_cast<int16_t>(i)) : 0.0f;
}

// Codes 1 to 6 are the views Linear Mag to Unwrp. Phase.
void CDllOutputer::writeViewColumn(int32_t code, int16_t units) {
    KeptViewAndUnits kept(model_.cat);
    (void)model_.cat.view[0].setData(static_cast<int16_t>(code), 0);
    (void)model_.cat.units[0].setData(units, 0);
    refreshUnitTexts(model_.cat, 0);
    setUnitText(unitTexts(0).display);
    const std::vector<Point>& points = *model_.trace.vector(0);
    const PointX x = axisPointX(axis_.get());
    for (uint32_t i = 0; i < buffer_->points; ++i)
        buffer_->values[i] =
            columnValue(model_.cat, code, units, points[i], static_cast<int32_t>(i), x);
}

void CDllOutputer::setUnitText(const char* text) {
    std::snprintf(buffer_->unit, sizeof buffer_->unit, "%s", text);
}

} // namespace vx::lib
