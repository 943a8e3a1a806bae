// The x-axis of a trace: one class per axis kind gives each point's x value
// and the unit text of the axis, computed from the display-A settings.
#pragma once
#include <cstdint>
#include <memory>

#include "params/UTIL.h"

namespace vx {

class TraceMgr;

// Axis kinds (byte 3 of the measurement descriptor).
enum EAxisKind : int32_t {
    eOrderTimeAxis = -2,
    eTimeAxis = -1,
    eNoAxis = 0,
    eFreqAxis = 1,
    eOrdTrkFreqAxis = 2,
    eCorrAxis = 3,
    eCaptureAxis = 4,
    eSweepAxis = 5,
    eHistAxis = 6,
    eRpmAxis = 7,
    eTrackAxis = 8,
    eOctAxis = 9,
    eWFTimeSliceAxis = 11,
};

class xAxisT {
  public:
    xAxisT(int32_t kind, int16_t xDispLen) : axisKind(kind), xDispLen(xDispLen) {}
    virtual ~xAxisT() = default;
    virtual float x(int16_t i) = 0;
    virtual const char* unitText() = 0;
    // Index of the point at a frequency; -1 when the axis has none.
    virtual int16_t indexOf(const FreqValue&) { return -1; }
    virtual FreqValue exactFrequency(int16_t) { return FreqValue{0, 0.0}; }
    virtual void refresh() {}
    // x where a point is given by its band edges (octave bands); else x.
    virtual float bandX(int16_t i) { return x(i); }

    int32_t kind() const { return axisKind; }

  protected:
    int32_t axisKind;
    int16_t instance = 0; // always display A for the trace
    int16_t xDispLen;
};

// The axis object of a kind, or null for kinds without an axis.
std::unique_ptr<xAxisT> createAxis(const TraceMgr& trace, int32_t kind, int16_t xDispLen);

} // namespace vx
