// The one in-memory trace (TraceMgr), the Display file format, and its
// reader and writer.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "base/Status.h"
#include "trace/AXIS.h"
#include "trace/MeasDesc.h"
#include "base/OUTP.h"
#include "base/TimeStamp.h"

namespace vx {

// One trace point: real part, then imaginary part.
struct Point {
    float re = 0.0f;
    float im = 0.0f;
};

constexpr int kVectorHeaderWords = 32;
constexpr int kVectorHeaderBytes = 128;
constexpr int kSettingsCapacity = 1024;
constexpr int16_t kStatusBadFile = 26;

class TraceMgr {
  public:
    TraceMgr();
    TraceMgr(const TraceMgr&) = delete;
    TraceMgr& operator=(const TraceMgr&) = delete;

    // Drops the vectors and returns every field to its state at start-up.
    void reset();
    // 0, or 26 when the vectors are missing or a write fails.
    Status writeDisplayFile(socket& out);
    // 0, 1 when the settings could not be applied, 26 for a damaged file.
    Status readDisplayFile(socket& in);
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
    // Reads vector 1's header and data from a stream (waterfall slices).
    Status readVectorFrom(socket& in);
    // Takes the time stamp, builds the settings block from the parameters and
    // applies it as a file's; then drops vector 1.
    void rebuildFromSettings(const TimeStamp& stamp);
    // Option /Q: replaces vector 1 with the values of an ASCII list.
    Status replaceData(const char* name);

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
    void freeVectors();
    void computeOrderLengths(int8_t axisKind);
    bool settingsVersionAcceptable();
    void buildSettingsBlock();
    Status applySettingsBlock();
    Status applyVx560Settings();
    Status applyVx550Settings(int16_t windowSelector);
    void finishApplyingSettings();
    void applyTransducerSettings();
    void postReadAdjustments();
    Status writeVector(socket& out, int which);
    Status readVector(socket& in, int which);
    Status readPoints(socket& in, std::vector<Point>& points, size_t count);

    std::unique_ptr<memPrt> settings_;
    std::vector<Point> data_[2];
    bool present_[2] = {false, false};
    uint32_t header_[2][kVectorHeaderWords] = {};
};

// The process-wide trace.
TraceMgr& traceMgr();

// The order time-record code (0 to 3; 1024 >> code points) that the order
// settings select.
int orderTimeRecordCode();

// Reader of Display files.
class CTraceReader : public CFileReader {
  public:
    Status open(const char* name) override;
};

// Writer of Display files; the base of every trace writer.
class CTraceWriter : public CFileWriter {
  public:
    Status write(const char* name) override;
    // The /Q list; names of 255 characters or more are not taken.
    void setReplacementFile(const char* name);

  protected:
    int32_t work_[2] = {0, 0};
    std::string replacementFile_;
};

} // namespace vx
