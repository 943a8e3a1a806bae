// Dataset 58 of the Universal File Format: the identification lines, records
// 6 to 11 (function, abscissa, ordinate and z-axis data characteristics) and
// the data lines of 6 values, real or complex, each line ending in CR LF.
#include "uff/UffWriter.h"

#include <cstdarg>
#include <cstdio>

#include "ascii/ValueLines.h"
#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "params/Catalog.h"
#include "trace/DISP_M.h"
#include "trace/TRACE.h"
#include "trace/UnitTexts.h"

namespace vx {

namespace {

constexpr const char* kDelimiter = "    -1";
constexpr const char* kValueFormat = "%13.5E";
constexpr int16_t kScalarDirection = 6;
constexpr int16_t kDataReal = 2;    // real, single precision
constexpr int16_t kDataComplex = 5; // complex, single precision
constexpr int16_t kTypeGeneral = 1;
constexpr int16_t kTypeReactionForce = 9;
constexpr int16_t kTypeExcitationForce = 13;
constexpr int16_t kTypeTime = 17;
constexpr int16_t kTypeFrequency = 18;
constexpr uint8_t kBothChannels = 3;

int16_t entry(const enumParAction& p) {
    return p.getData(ePaoEntry);
}

std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatted(const char* format, ...) {
    char buf[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return std::string(buf) + "\r\n";
}

// Lines 1 to 7: the delimiter, the dataset number, the identification lines
// and the date and time of the trace.
std::string identificationLines(const TimeStamp& stamp) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int m = stamp.month();
    const char* month = m >= 1 && m <= 12 ? kMonths[m - 1] : "???";
    std::string s = std::string(kDelimiter) + "\r\n    58\r\nNONE\r\nNONE\r\n";
    s += formatted("%02d-%s-%02d %02d:%02d:%02d", stamp.day(), month, stamp.yearOfCentury(),
                   stamp.hours(), stamp.minutes(), stamp.seconds());
    return s + "NONE\r\nNONE\r\n";
}

// Records 8 to 11 share one layout: the specific data type, then no unit
// exponents and no labels.
std::string characteristicsRecord(int16_t dataType) {
    return formatted("%10d    0    0    0 NONE                 NONE                ", dataType);
}

// The specific data type of a channel's unit: general with engineering units
// off, else its EU label's, a motion label replaced by its display unit.
int16_t channelDataType(Catalogue& cat, int channel) {
    const ChannelUnits ch = channelUnits(cat, 0, channel);
    if (!ch.euOn) return kTypeGeneral;
    return uffUnitDataType(ch.label >= 0 && ch.label <= 7 ? ch.output : ch.label);
}

// The ordinate numerator: the response channel's unit (channel 2) of a
// two-channel measurement, the measured channel's of any other; a force
// response to a force reference is a reaction force.
int16_t numeratorDataType(Catalogue& cat, uint8_t channelMask) {
    const bool twoChannel = channelMask == kBothChannels;
    const int16_t type = channelDataType(cat, twoChannel || (channelMask & 2) ? 1 : 0);
    if (!twoChannel || type != kTypeExcitationForce) return type;
    const ChannelUnits ref = channelUnits(cat, 0, 0);
    const bool forceReference = ref.euOn && ref.label >= 0 && ref.label <= 11 &&
                                uffUnitDataType(ref.label) == kTypeExcitationForce;
    return forceReference ? kTypeReactionForce : type;
}

// Record 6: function type, then the response and the reference with their
// node numbers and direction codes.
std::string functionIdentification(Catalogue& cat, int16_t functionType) {
    return formatted("%5d         0    0         0 %-10.10s%10d%4d %-10.10s%10d%4d", functionType,
                     cat.respName[0].getStr(ePaoEntry), cat.respNumber[0].getData(ePaoEntry),
                     entry(cat.respDirection[0]) - kScalarDirection,
                     cat.refName[0].getStr(ePaoEntry), cat.refNumber[0].getData(ePaoEntry),
                     entry(cat.refDirection[0]) - kScalarDirection);
}

float axisX(const void* axis, int32_t i) {
    return static_cast<xAxisT*>(const_cast<void*>(axis))->x(static_cast<int16_t>(i));
}

} // namespace

int16_t uffFunctionType(int16_t measurement) {
    switch (measurement) {
    case 0:
    case 1:
        return eUffSpectrum;
    case 2:
    case 3:
        return eUffAutoSpectrum;
    case 4:
    case 5:
    case 6:
    case 7:
    case 22:
    case 23:
    case 24:
    case 25:
        return eUffTime;
    case 9:
        return eUffCoherence;
    case 10:
        return eUffCrossSpectrum;
    case 11:
        return eUffFrf;
    case 19:
    case 20:
        return eUffAutoCorrelation;
    case 21:
        return eUffCrossCorrelation;
    default:
        return eUffNone;
    }
}

int16_t uffUnitDataType(int16_t euLabel) {
    // "m/s^2" .. "bar"; "USER" (14) is general.
    static const int16_t kTypes[] = {12, 11, 8, 12, 11, 8, 8, 12, 16, 13, 13, 13, 15, 15, 1};
    constexpr int16_t kCount = sizeof kTypes / sizeof kTypes[0];
    return euLabel >= 0 && euLabel < kCount ? kTypes[euLabel] : kTypeGeneral;
}

Status CUffWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    axis_ = model_.trace.makeAxis();
    Status st = writeDataset();
    axis_.reset();
    return st;
}

Status CUffWriter::refusal(int16_t functionType) {
    const TraceMgr& t = model_.trace;
    const char* message = nullptr;
    if (functionType == eUffNone || !axis_)
        message = msg::text(msg::eUffMeasurementUnsupported);
    else if (t.measDesc.axisKind() == eWFTimeSliceAxis)
        message = msg::text(msg::eUffSliceUnsupported);
    else if (t.pointsToWrite() <= 0)
        message = msg::text(msg::eNoDataToExtract);
    if (!message) return kStatusOk;
    errLog() << message << endLine;
    return kStatusFailed;
}

Status CUffWriter::writeDataset() {
    const TraceMgr& t = model_.trace;
    std::string lines = identificationLines(t.timeStamp);
    int16_t functionType = uffFunctionType(model_.cat.measurement[0].getData(ePaoEntry));
    // A refused trace leaves lines 1 to 7 in the file; appended to a
    // collection, nothing: an unfinished dataset would spoil every later one.
    if (refusal(functionType).failed()) {
        if (!append_) (void)file_->writeText(lines.c_str());
        return kStatusFailed;
    }
    if (functionType == eUffAutoSpectrum && entry(model_.cat.psdUnits[0]) == 1)
        functionType = eUffPsd;
    if (functionType != eUffAutoSpectrum && functionType != eUffPsd)
        (void)model_.cat.psdUnits[0].setData(0, 0);
    const int8_t axisKind = t.measDesc.axisKind();
    const bool baseband =
        model_.cat.startFreq[0].value(startFreqAction::eStart, ePaoEntry).count == 0;
    const bool real = (baseband && axisKind != eFreqAxis) || functionType == eUffAutoSpectrum ||
                      functionType == eUffCoherence;
    const int32_t n = t.pointsToWrite();
    return writeData(lines + functionRecords(functionType, !real, n), !real, n);
}

std::string CUffWriter::functionRecords(int16_t functionType, bool complex, int32_t n) {
    const uint8_t mask = model_.trace.measDesc.channelMask();
    const float x0 = axis_->x(0);
    const float increment = axis_->x(1) - x0;
    std::string s = functionIdentification(model_.cat, functionType);
    s += formatted("%10d%10d         1%13.5E%13.5E  0.00000E+00",
                   complex ? kDataComplex : kDataReal, n, x0, increment);
    s += characteristicsRecord(axis_->kind() == eFreqAxis ? kTypeFrequency : kTypeTime);
    s += characteristicsRecord(numeratorDataType(model_.cat, mask));
    s += characteristicsRecord(mask == kBothChannels ? channelDataType(model_.cat, 0) : 0);
    return s + characteristicsRecord(0);
}

Status CUffWriter::writeData(const std::string& records, bool complex, int32_t n) {
    // Linear peak values of the real (and imaginary) part.
    const int16_t phase = UnitsCode::phaseUnits(model_.cat.units[0].getData(ePaoEntry));
    (void)model_.cat.units[0].setData(UnitsCode::pack(eDbOff, ePeakPk, phase), 0);
    (void)model_.cat.view[0].setData(eViewReal, 0);
    refreshUnitTexts(model_.cat, 0);
    const int16_t units = model_.cat.units[0].getData(ePaoEntry);

    CValueLines out(*file_, kValueFormat, complex ? 3 : 6, "");
    out.text(records);
    const std::vector<Point>& points = *model_.trace.vector(0);
    const PointX x{axisX, axis_.get()};
    for (int32_t i = 0; i < n; ++i) {
        out.startPoint();
        out.value(columnValue(model_.cat, eColReal, units, points[i], i, x));
        if (complex) out.value(columnValue(model_.cat, eColImag, units, points[i], i, x));
    }
    out.endLine();
    out.text(kDelimiter);
    out.endLine();
    return out.flush();
}

} // namespace vx
