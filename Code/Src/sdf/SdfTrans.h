// HP SDF translators: one class per measurement group, between the SDF
// headers and the instrument settings and trace layout (reading direction).
#pragma once
#include <cstdint>
#include <memory>

#include "base/Status.h"
#include "sdf/SdfParse.h"
#include "trace/TRACE.h"

namespace vx {

// One row of a group's data-type table: an SDF data type and the measurement
// it becomes; perChannel rows add one for the second input.
struct SdfDataType {
    int16_t dataType;
    int16_t measurement;
    bool perChannel;
};
constexpr int16_t kSdfTableEnd = -99;

// The measurement group of an SDF measurement type; -1 when not supported.
int sdfGroupOfMeasType(int16_t measType);
// The averaging-type range that a measurement type selects (0 when unknown).
int16_t sdfAveragingRange(int16_t measType);

class CSdfTrans {
  public:
    CSdfTrans(CSdfHdrs* hdrs, const SdfDataType* types) : hdrs_(hdrs), types_(types) {}
    virtual ~CSdfTrans() = default;
    // Sets the group's instrument settings from the headers; 0 for success,
    // 1 after a message.
    virtual Status settingsFromHeaders() = 0;
    // The 32 words of vector 1's header from the headers and the settings (an
    // order trace computes its lengths in the trace first).
    virtual void traceLayoutFromHeaders(TraceMgr& trace, uint32_t words[32]) = 0;

    // The measurement of a data type (the second input's for a per-channel
    // row when firstSlot is 1); -1 when the group has no such data type.
    int16_t measurementFor(int16_t dataType, int16_t firstSlot) const;

  protected:
    CSdfHdrs* hdrs_;
    const SdfDataType* types_;
};

// FFT, and the base of the Correlation, Order and Time Histogram translators.
class CSdfFFT : public CSdfTrans {
  public:
    explicit CSdfFFT(CSdfHdrs* hdrs);
    Status settingsFromHeaders() override;
    void traceLayoutFromHeaders(TraceMgr& trace, uint32_t words[32]) override;
    // Window and averaging from the channel and measurement headers.
    virtual void windowAndAveragingFromHeaders();

  protected:
    CSdfFFT(CSdfHdrs* hdrs, const SdfDataType* types) : CSdfTrans(hdrs, types) {}
    // Span, start frequency and FFT lines of the measurement header.
    Status frequencySettings();
    // Number of averages, at least 2, and the time record increment.
    void averageSettings();
    // The averaging type and mode of an SDF average type.
    void averagingFromType(int16_t averageType, bool knowsPeakHold);
};

class CSdfCorr : public CSdfFFT {
  public:
    explicit CSdfCorr(CSdfHdrs* hdrs);
    void windowAndAveragingFromHeaders() override;
};

class CSdfOct : public CSdfTrans {
  public:
    explicit CSdfOct(CSdfHdrs* hdrs);
    Status settingsFromHeaders() override;
    void traceLayoutFromHeaders(TraceMgr& trace, uint32_t words[32]) override;
};

class CSdfSS : public CSdfTrans {
  public:
    explicit CSdfSS(CSdfHdrs* hdrs);
    Status settingsFromHeaders() override;
    void traceLayoutFromHeaders(TraceMgr& trace, uint32_t words[32]) override;
};

class CSdfOrd : public CSdfFFT {
  public:
    explicit CSdfOrd(CSdfHdrs* hdrs);
    Status settingsFromHeaders() override;
    void traceLayoutFromHeaders(TraceMgr& trace, uint32_t words[32]) override;
};

class CSdfHist : public CSdfFFT {
  public:
    explicit CSdfHist(CSdfHdrs* hdrs);
    Status settingsFromHeaders() override;
    void traceLayoutFromHeaders(TraceMgr& trace, uint32_t words[32]) override;
};

// The translator of a measurement group; null outside 0..5.
std::unique_ptr<CSdfTrans> makeSdfTranslator(int group, CSdfHdrs* hdrs);

} // namespace vx
