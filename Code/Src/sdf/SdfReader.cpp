// Reader of HP SDF files: measurement group and measurement from the
// headers, the group's settings, engineering units, the trace layout, the
// file's date, then the Y data and, for histograms, the sample count.
#include "sdf/SdfReader.h"

#include <cmath>
#include <vector>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Messages.h"
#include "display/DisplaySettings.h"
#include "params/Catalog.h"
#include "sdf/SdfOutTables.h"
#include "sdf/SdfTrans.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

// Engineering units are matched by id against the writer's unit table; the
// last id, 14 ("USER"), is the volt there.
constexpr int16_t kUnitCount = 15;
constexpr int16_t kUserUnit = 14;
constexpr int16_t kHighestDisplayUnit = 7;

bool unitMatches(const CSdfHdrs& h, int slot, const SdfUnit& u) {
    for (int k = 0; k < 8; ++k)
        if (h.unitExponent(slot, k) != u.exponents[k]) return false;
    return std::fabs(h.unitScale(slot) - u.scale) <= 0.0001f;
}

bool isVolt(const CSdfHdrs& h, int slot) {
    return h.unitLabel(slot) == "V" && unitMatches(h, slot, sdfEngineeringUnit(kUserUnit)) &&
           h.unitScale(slot) == 1.0f;
}

int16_t unitIdOf(const CSdfHdrs& h, int slot) {
    for (int16_t id = 0; id < kUnitCount; ++id)
        if (unitMatches(h, slot, sdfEngineeringUnit(id))) return id;
    return kUserUnit;
}

// The engineering-unit settings of one input from its channel slot.
void engineeringUnits(Catalogue& cat, const CSdfHdrs& h, int slot) {
    const float cal = h.engUnitCal(slot);
    if (isVolt(h, slot) || h.unitScale(slot) == 0 || cal == 0 || !std::isfinite(cal)) return;
    const int16_t id = unitIdOf(h, slot);
    (void)(slot == 0 ? cat.engUnits1 : cat.engUnits2)[0].setData(1, 0);
    (void)(slot == 0 ? cat.euPerVolt1 : cat.euPerVolt2)[0].setData(1.0f / cal);
    (void)(slot == 0 ? cat.euLabel1 : cat.euLabel2)[0].setData(id, 0);
    if (id <= kHighestDisplayUnit)
        (void)(slot == 0 ? cat.transducerOut1 : cat.transducerOut2)[0].setData(id, 0);
    if (id == kUserUnit)
        (void)(slot == 0 ? cat.euUserLabel1 : cat.euUserLabel2)[0].setData(
            h.unitLabel(slot).c_str());
}

// The file header's date and time as a time stamp (seconds 0, a Monday).
TimeStamp fileTimeStamp(const CSdfHdrs& h) {
    const int monthDay = h.monthDay();
    const int hourMinute = h.hourMinute();
    return makeTimeStamp(0, hourMinute % 100, hourMinute / 100, 2, monthDay % 100, monthDay / 100,
                         (h.year() - 1900) & 0xFF);
}

// Measurement group, measurement and the ranges they select.
Status selectMeasurement(Catalogue& cat, const CSdfHdrs& h, int group, const CSdfTrans& trans) {
    (void)cat.measureGroup[0].setData(static_cast<int16_t>(group), 0);
    (void)cat.measureGroup[1].setData(static_cast<int16_t>(group), 0);
    (void)cat.measurement[0].setRange(static_cast<int16_t>(group));
    (void)cat.channelMode.setRange(static_cast<int16_t>(group));
    (void)cat.measAveragingType[0].setRange(sdfAveragingRange(h.measType()));
    (void)cat.baseFreq[0].setData(group == eSdfSS ? 1 : 0, 0);
    const int16_t m = trans.measurementFor(h.dataType(), h.vectorChannel(0));
    if (m < 0) {
        errLog() << msg::eMeasurementUnsupported << endLine;
        return kStatusFailed;
    }
    (void)cat.measurement[0].setData(m, 0);
    return kStatusOk;
}

// The sample count of a histogram: the sum of a "Histo" trace's values,
// else an assumed 1000.
void histogramLengthFromData(Catalogue& cat, const TraceMgr& trace, int16_t m) {
    int64_t count = 1000;
    const std::vector<Point>* points = trace.vector(0);
    if ((m == 72 || m == 73) && points) {
        double sum = 0;
        for (const Point& p : *points)
            sum += std::trunc(p.re) + std::trunc(p.im);
        count = std::isfinite(sum) ? static_cast<int64_t>(std::clamp(sum, -2e9, 2e9)) : 0;
    } else {
        errLog() << msg::eHistogramLength << endLine;
    }
    (void)cat.histogramLength[0].setSamples(static_cast<int32_t>(count));
}

Status readData(Catalogue& cat, TraceMgr& trace, userdiskPrt& in, CSdfHdrs& h, int group) {
    const int16_t m = cat.measurement[0].getData(ePaoEntry);
    const SdfDataRequest request = sdfDataRequest(h, group, m);
    if (request.points > INT16_MAX) {
        errLog() << msg::eInvalidFileFormat << endLine;
        return kStatusFailed;
    }
    std::vector<float> pairs;
    Status st = readSdfYData(in, h, request, pairs);
    if (st.failed()) return st;
    trace.loadVector(pairs.data(), static_cast<int16_t>(request.points), 0);
    if (group == eSdfHist) histogramLengthFromData(cat, trace, m);
    return kStatusOk;
}

} // namespace

Status translateSdf(CModel& model, userdiskPrt& in, CSdfHdrs& h) {
    Catalogue& cat = model.cat;
    const int group = sdfGroupOfMeasType(h.measType());
    if (group < 0) {
        errLog() << msg::eMeasTypeUnsupported << endLine;
        return kStatusFailed;
    }
    std::unique_ptr<CSdfTrans> trans = makeSdfTranslator(cat, group, &h);
    if (!trans) {
        errLog() << msg::eInvalidMeasurementType << endLine;
        return kStatusFailed;
    }
    Status st = selectMeasurement(cat, h, group, *trans);
    if (st.failed()) return st;
    st = trans->settingsFromHeaders();
    if (st.failed()) return st;
    for (int slot = 0; slot < 2; ++slot)
        engineeringUnits(cat, h, slot);

    uint32_t words[kVectorHeaderWords] = {};
    trans->traceLayoutFromHeaders(model.trace, words);
    uint8_t header[kVectorHeaderBytes];
    for (int w = 0; w < kVectorHeaderWords; ++w)
        putLe32(header + 4 * w, words[w]);
    model.trace.setVectorHeader(header, 0);
    rebuildFromSettings(model, fileTimeStamp(h));
    return readData(cat, model.trace, in, h, group);
}

Status CSdfReader::open(const char* name) {
    if (openInput(name).failed()) return kStatusFailed;
    Status st = readSdfHeaders(*file_, hdrs_);
    if (st.failed()) return st;
    return translateSdf(model_, *file_, hdrs_);
}

} // namespace vx
