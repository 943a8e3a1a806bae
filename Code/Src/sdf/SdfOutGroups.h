// The writing half of the SDF group translators: the measurement, data,
// vector and channel headers filled from the instrument settings, one class
// per measurement group.
#pragma once
#include <cstdint>
#include <memory>

#include "params/Catalog.h"
#include "sdf/SdfParse.h"
#include "trace/AXIS.h"
#include "trace/MeasDesc.h"

namespace vx {

// What the translators know of the trace being written.
struct SdfOutTrace {
    int16_t measurement = 0;
    int16_t dataType = -99;
    int32_t points = 0; // values per vector that are written
    int32_t nPts = 0;   // points stored per vector
    MeasDesc desc;
    xAxisT* axis = nullptr; // never null while translating
};

class CSdfOutTrans {
  public:
    CSdfOutTrans(Catalogue& settings, CSdfHdrs& hdrs, const SdfOutTrace& trace)
        : cat(settings), h(hdrs), t(trace) {}
    virtual ~CSdfOutTrans() = default;
    // In the order in which the writer runs them.
    virtual void measurementHeader() = 0;
    virtual void dataHeader() = 0;
    virtual void vectorHeader() = 0;
    virtual void channelHeaders();
    virtual void scanStructure() { h.setDefaultScanStructure(); }

  protected:
    // The x values of the first two points.
    float x(int16_t i) const { return t.axis->x(i); }
    void setPoints(int32_t points, int32_t lastValid);
    void setXStartStep(double start, double step);
    // Channel c0 (power p0) and c1 (power p1) of the vector.
    void setVector(int16_t c0, int16_t c1, int16_t p0, int16_t p1);
    // The single input of a one-channel measurement (0 or 1), or -1.
    int16_t singleChannel() const;
    // The channels and powers of a user function's unit pairs; false when
    // the measurement is not a user function.
    bool userFunctionVector();
    void windowBlocks();
    bool channelPresent(int slot) const;

    Catalogue& cat; // the settings of the model being written
    CSdfHdrs& h;
    const SdfOutTrace& t;
};

// The translator of a measurement group; null outside 0..5.
std::unique_ptr<CSdfOutTrans> makeSdfOutTranslator(Catalogue& cat, int group, CSdfHdrs& hdrs,
                                                   const SdfOutTrace& trace);

// The engineering units of each channel that has them on, into its header.
void sdfEngineeringUnitsOut(Catalogue& cat, CSdfHdrs& hdrs);

} // namespace vx
