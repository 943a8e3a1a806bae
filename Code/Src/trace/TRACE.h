// The one in-memory trace (TraceMgr): its vectors, their headers, the
// settings block it carries, and the lengths its parameters give.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "base/OUTP.h"
#include "base/Status.h"
#include "base/TimeStamp.h"
#include "trace/AXIS.h"
#include "trace/MeasDesc.h"

namespace vx {

// One trace point: real part, then imaginary part.
struct Point {
    float re = 0.0f;
    float im = 0.0f;
};

constexpr int kVectorHeaderWords = 32;
constexpr int kVectorHeaderBytes = 128;
constexpr int kSettingsCapacity = 1024;

class TraceMgr {
  public:
    TraceMgr();
    TraceMgr(const TraceMgr&) = delete;
    TraceMgr& operator=(const TraceMgr&) = delete;

    // Drops the vectors and returns every field to its state at start-up.
    void reset();
    // measGroup, the descriptor, nPts and xDispLen from the current parameters.
    void computeLengths();
    // A new axis object for the trace's axis kind; null for kinds without one.
    std::unique_ptr<xAxisT> makeAxis();
    // The number of points the writers output.
    int16_t extractedPoints() const;
    // extractedPoints, limited to the points vector 1 holds; 0 without it.
    int32_t pointsToWrite() const;
    // Replaces a vector by nPts points taken from the array (pairs of floats).
    void loadVector(const float* data, int16_t inputLen, int which);
    void setVectorHeader(const uint8_t header[kVectorHeaderBytes], int which);
    // Empties a vector and marks it present; returns it for filling.
    std::vector<Point>& freshVector(int which);
    // Drops one vector, or both.
    void dropVector(int which);
    void dropVectors();

    // The trace's vectors: null when absent.
    const std::vector<Point>* vector(int which) const;
    std::vector<Point>* vector(int which);
    uint32_t headerWord(int which, int word) const { return header_[which ? 1 : 0][word]; }
    void setHeaderWord(int which, int word, uint32_t v) { header_[which ? 1 : 0][word] = v; }
    memPrt& settings() { return *settings_; }

    int16_t vectorCode = 0;
    TimeStamp timeStamp;
    int16_t measGroup = 0;
    int16_t xDispLen = 0;
    int32_t nPts = 0;
    MeasDesc measDesc;
    int16_t oldFormat = 0;
    int16_t oldTraceKind = 0;

  private:
    void computeOrderLengths(int8_t axisKind);

    std::unique_ptr<memPrt> settings_;
    std::vector<Point> data_[2];
    bool present_[2] = {false, false};
    uint32_t header_[2][kVectorHeaderWords] = {};
};

// The order time-record code (0 to 3; 1024 >> code points) that the order
// settings select.
int orderTimeRecordCode();

// The number of octave bands that the display-A octave settings span (the
// trace holds one point more: the overall level).
int16_t octaveBandCount();

} // namespace vx
