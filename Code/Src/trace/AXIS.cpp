// The axis kinds.
#include "trace/AXIS.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/ErrLogger.h"
#include "params/Catalog.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

constexpr double kFullSpanCount = 419430400.0; // 102400 Hz x 4096

int16_t entry(const enumParAction& p) { return p.getData(ePaoEntry); }
int16_t baseFreq(Catalogue& cat) { return entry(cat.baseFreq[0]); }
int16_t spanIndex(Catalogue& cat) { return std::clamp<int16_t>(entry(cat.span[0]), 0, 19); }
double spanCount(Catalogue& cat) { return kFullSpanCount / std::ldexp(1.0, 19 - spanIndex(cat)); }
int32_t startCount(Catalogue& cat) {
    return cat.startFreq[0].value(startFreqAction::eStart, ePaoEntry).count;
}

// The sampling interval: doubled for a zoomed (non-baseband) measurement.
double timeStep(Catalogue& cat) {
    double q = baseFreq(cat) == 0 ? 1.0 / 256000.0 : 1.0 / 262144.0;
    int shift = 19 - spanIndex(cat) + (startCount(cat) != 0 ? 1 : 0);
    return std::ldexp(q, shift);
}

// An axis drawn from the settings of its model's catalogue.
class CatalogueAxis : public xAxisT {
  public:
    CatalogueAxis(Catalogue& settings, int32_t kind, int16_t len)
        : xAxisT(kind, len), cat(settings) {}

  protected:
    Catalogue& cat;
};

class CFreqAxis : public CatalogueAxis {
  public:
    using CatalogueAxis::CatalogueAxis;
    float x(int16_t i) override { return static_cast<float>(exactFrequency(i).hz); }
    const char* unitText() override { return "Hz"; }
    FreqValue exactFrequency(int16_t i) override {
        int32_t start = startCount(cat);
        VX_ASSERT(xDispLen != 0, "xDispLen");
        // Without a length the axis stays at its start frequency.
        double offset = xDispLen != 0 ? static_cast<double>(i) * spanCount(cat) / xDispLen : 0.0;
        // A damaged span can carry the count past 32 bits: it stops at the edge.
        const double exact = std::trunc(start + offset);
        int32_t count = static_cast<int32_t>(std::clamp<double>(
            exact, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
        return FreqValue{count, count * freqResolution(baseFreq(cat))};
    }
    int16_t indexOf(const FreqValue& f) override {
        // In 64 bits: a 32-bit product would wrap for frequencies high in the span.
        int64_t product = (static_cast<int64_t>(f.count) - startCount(cat)) * xDispLen;
        double d = std::trunc(static_cast<double>(product) / spanCount(cat));
        if (d < 0 || d > xDispLen) return -1;
        return static_cast<int16_t>(d);
    }
};

class COrderSpecAxis : public CatalogueAxis {
  public:
    using CatalogueAxis::CatalogueAxis;
    float x(int16_t i) override { return cat.deltaOrder[0].getData(ePaoEntry) * i; }
    const char* unitText() override { return "Order"; }
};

class COrderTimeAxis : public CatalogueAxis {
  public:
    using CatalogueAxis::CatalogueAxis;
    float x(int16_t i) override {
        float revs = static_cast<float>(xDispLen + 1) * cat.deltaOrder[0].getData(ePaoEntry);
        return static_cast<float>(i) / revs;
    }
    const char* unitText() override { return "Rev"; }
};

class CTimeAxis : public CatalogueAxis {
  public:
    using CatalogueAxis::CatalogueAxis;
    float x(int16_t i) override { return static_cast<float>(timeStep(cat) * i); }
    const char* unitText() override { return "s"; }
};

// Lags run from negative to positive unless the window is "0..T/2".
class CCorrAxis : public CatalogueAxis {
  public:
    using CatalogueAxis::CatalogueAxis;
    float x(int16_t i) override {
        int32_t lag = entry(cat.window[0]) == 8 ? i : i - xDispLen / 2;
        return static_cast<float>(timeStep(cat) * lag);
    }
    const char* unitText() override { return "s"; }
};

// The x values rise from the lower frequency, whichever way the sweep ran.
class CSweepAxis : public CatalogueAxis {
  public:
    using CatalogueAxis::CatalogueAxis;
    float x(int16_t i) override {
        double f1 = cat.sweptStart[0].getData(ePaoEntry);
        double f2 = cat.sweptStop[0].getData(ePaoEntry);
        double low = std::min(f1, f2);
        double steps = std::max(cat.sweptPoints[0].getData(ePaoEntry) - 1, 1);
        if (entry(cat.sweptType[0]) == 1)
            return static_cast<float>(low * std::pow(std::pow(std::max(f1, f2) / low, 1.0 / steps), i));
        return static_cast<float>(low + i * std::fabs(f2 - f1) / steps);
    }
    const char* unitText() override { return "Hz"; }
};

class COctAxis : public CatalogueAxis {
  public:
    using CatalogueAxis::CatalogueAxis;
    float x(int16_t i) override { return centre(i); }
    const char* unitText() override { return "Hz"; }
    // The lower band edges, and the upper edge of the last band after them.
    float bandX(int16_t i) override {
        static const float kEdge[] = {0.70710677f, 0.8908987f, 0.9715319f};
        i = std::clamp<int16_t>(i, 0, std::max<int16_t>(xDispLen, 0));
        float e = kEdge[resolution()];
        float c = centre(i);
        if (c != 0.0f || i == 0) return c * e;
        return centre(static_cast<int16_t>(i - 1)) / e;
    }

  private:
    int16_t resolution() const { return std::clamp<int16_t>(entry(cat.octaveResolution[0]), 0, 2); }
    float centre(int16_t i) {
        static const int16_t kPerOctave[] = {1, 3, 12};
        int16_t a = entry(cat.octaveSpan[0]);
        int16_t b = cat.octaveSpan[0].lowestBand(ePaoEntry);
        int16_t lowestBand = std::max(a, b);
        int32_t bands = (std::abs(b - a) + 1) * kPerOctave[resolution()];
        if (i < 0 || i >= bands) return 0.0f;
        return static_cast<float>(octaveBandCentre(i, lowestBand, resolution()));
    }
};

// Amplitude bins from minus to plus the channel's full scale.
class CHistAxis : public CatalogueAxis {
  public:
    CHistAxis(const TraceMgr& trace, int32_t kind, int16_t len)
        : CatalogueAxis(trace.cat, kind, len), channelMask(trace.measDesc.channelMask()),
          range(channelMask & 2 ? cat.inputRange2 : cat.inputRange1) {
        refresh();
    }
    float x(int16_t i) override {
        if (range.range(ePaoEntry) != lastRange) refresh();
        return static_cast<float>(i) * step + start;
    }
    const char* unitText() override { return "V"; }
    void refresh() override {
        lastRange = range.range(ePaoEntry);
        float full = 1.25f * static_cast<float>(std::pow(10.0, 0.05 * lastRange));
        if (entry(cat.measureGroup[0]) == 3) full = 1.0f;
        bool second = channelMask & 2;
        if (entry(second ? cat.engUnits2[0] : cat.engUnits1[0]) == 1)
            full *= (second ? cat.euPerVolt2[0] : cat.euPerVolt1[0]).getData(ePaoEntry);
        start = -full;
        step = xDispLen != 0 ? 2.0f * full / xDispLen : 0.0f;
    }

  private:
    uint8_t channelMask;
    inpRngAct& range;
    int16_t lastRange = 0;
    float start = 0.0f;
    float step = 0.0f;
};

// x values stored in the trace: the real parts of vector 2.
class CRpmAxis : public xAxisT {
  public:
    CRpmAxis(const TraceMgr& trace, int32_t kind, int16_t len) : xAxisT(kind, len), trace_(trace) {}
    float x(int16_t i) override {
        const std::vector<Point>* v = trace_.vector(1);
        if (!v || v->empty()) return 0.0f;
        int32_t last =
            std::min<int32_t>(trace_.extractedPoints(), static_cast<int32_t>(v->size())) - 1;
        return (*v)[static_cast<size_t>(std::clamp<int32_t>(i, 0, std::max(last, 0)))].re;
    }
    const char* unitText() override { return "Rpm"; }

  private:
    const TraceMgr& trace_;
};

class CWFTimeSliceAxis : public xAxisT {
  public:
    using xAxisT::xAxisT;
    float x(int16_t i) override { return i; }
    const char* unitText() override { return "Index"; }
};

} // namespace

std::unique_ptr<xAxisT> createAxis(const TraceMgr& trace, int32_t kind, int16_t len) {
    switch (kind) {
    case eOrderTimeAxis: return std::make_unique<COrderTimeAxis>(trace.cat, kind, len);
    case eTimeAxis: return std::make_unique<CTimeAxis>(trace.cat, kind, len);
    case eFreqAxis: return std::make_unique<CFreqAxis>(trace.cat, kind, len);
    case eOrdTrkFreqAxis: return std::make_unique<COrderSpecAxis>(trace.cat, kind, len);
    case eCorrAxis: return std::make_unique<CCorrAxis>(trace.cat, kind, len);
    case eSweepAxis: return std::make_unique<CSweepAxis>(trace.cat, kind, len);
    case eHistAxis:
        return std::make_unique<CHistAxis>(trace, kind, len);
    case eRpmAxis:
    case eTrackAxis:
        return std::make_unique<CRpmAxis>(trace, kind, len);
    case eOctAxis: return std::make_unique<COctAxis>(trace.cat, kind, len);
    case eWFTimeSliceAxis: return std::make_unique<CWFTimeSliceAxis>(kind, len);
    default: return nullptr;
    }
}

} // namespace vx
