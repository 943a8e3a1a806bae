// HP SDF files, parse half: the file check of detection, the header store, and
// the reading of the headers and of the Y data (big-endian in the file).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"

namespace vx {

class socket;
class userdiskPrt;

// Checks the bytes from the current position: "B", 0, then a file header of
// record type 10 whose revision is at most 3. Returns input type 6 for
// revision 3, 5 for older revisions, 0 when the bytes are not an SDF file.
int sdfInputType(socket& in);

// The headers of one SDF file in their in-file layout, every numeric field in
// host byte order. Accessors are named after the fields' use; a channel slot
// is 0 (first input) or 1 (second input).
class CSdfHdrs {
  public:
    static constexpr size_t kSize = 884;
    // Where each record sits in the store, and its largest size.
    static constexpr size_t kFileHdr = 0, kFileHdrSize = 80;
    static constexpr size_t kMeasHdr = 80, kMeasHdrSize = 156;
    static constexpr size_t kDataHdr = 236, kDataHdrSize = 148;
    static constexpr size_t kVectorHdr = 384, kVectorHdrSize = 18;
    static constexpr size_t kChannelScratch = 402;
    static constexpr size_t kChannelHdr = 404, kChannelHdrSize = 212;
    static constexpr size_t kScan = 828, kScanSize = 36;
    static constexpr size_t kScanVariable = 864;
    static constexpr size_t kXDataHead = 872, kYDataHead = 878, kRecordHeadSize = 6;

    CSdfHdrs() { clear(); }
    void clear();
    // The channel header that the writer uses by default ("Chan 1", volts, no window).
    void setDefaultChannelHeader(int slot);
    // One scan with a float scan variable of 1.0.
    void setDefaultScanStructure();

    // Host-order fields at an offset of the store.
    int16_t i16(size_t at) const;
    int32_t i32(size_t at) const;
    float f32(size_t at) const;
    double f64(size_t at) const;
    void setI16(size_t at, int16_t v);
    void setI32(size_t at, int32_t v);
    void setF32(size_t at, float v);
    void setF64(size_t at, double v);
    void setText(size_t at, size_t width, const char* text);
    // A text field up to its first zero byte or its width.
    std::string text(size_t at, size_t width) const;
    uint8_t* data() { return bytes_; }
    const uint8_t* data() const { return bytes_; }

    // File header.
    int16_t revision() const { return i16(kFileHdr + 6); }
    int32_t fileHdrSize() const { return i32(kFileHdr + 2); }
    int16_t year() const { return i16(kFileHdr + 10); }
    int16_t monthDay() const { return i16(kFileHdr + 12); }   // month x 100 + day
    int16_t hourMinute() const { return i16(kFileHdr + 14); } // hours x 100 + minutes
    int16_t dataHdrCount() const { return i16(kFileHdr + 24); }
    int16_t vectorHdrCount() const { return i16(kFileHdr + 26); }
    int16_t channelHdrCount() const { return i16(kFileHdr + 28); }
    int16_t scanStructCount() const { return i16(kFileHdr + 32); }
    int16_t xDataCount() const { return i16(kFileHdr + 34); }
    int32_t dataHdrOffset() const { return i32(kFileHdr + 36); }
    int32_t vectorHdrOffset() const { return i32(kFileHdr + 40); }
    int32_t channelHdrOffset() const { return i32(kFileHdr + 44); }
    int32_t scanStructOffset() const { return i32(kFileHdr + 52); }
    int32_t xDataOffset() const { return i32(kFileHdr + 56); }
    int32_t yDataOffset() const { return i32(kFileHdr + 60); }

    // Measurement header.
    int32_t blockSize() const { return i32(kMeasHdr + 18); }
    int16_t averageType() const { return i16(kMeasHdr + 28); }
    int32_t averageCount() const { return i32(kMeasHdr + 30); }
    float overlap() const { return f32(kMeasHdr + 34); } // a fraction
    double centerFreq() const { return f64(kMeasHdr + 102); }
    double span() const { return f64(kMeasHdr + 110); }
    int16_t measType() const { return i16(kMeasHdr + 126); }
    int32_t startIndex() const { return i32(kMeasHdr + 140); }

    // Data header.
    int16_t xDomain() const { return i16(kDataHdr + 26); } // 0 freq., 1 time, 2 ampl., 6 octave
    int16_t dataType() const { return i16(kDataHdr + 28); }
    int16_t xResolutionType() const { return i16(kDataHdr + 42); } // 1 logarithmic
    int16_t yDataType() const { return i16(kDataHdr + 48); }       // 1 int16 ... 4 double
    int16_t yPerPoint() const { return i16(kDataHdr + 50); }
    int16_t yIsComplex() const { return i16(kDataHdr + 52); }
    double xStart() const { return f64(kDataHdr + 114); }
    double xStep() const { return f64(kDataHdr + 122); } // the ratio for a log axis
    int16_t windowApplied() const { return i16(kDataHdr + 132); }
    int32_t pointCount() const { return i32(kDataHdr + 134); }
    int32_t lastValidIndex() const { return i32(kDataHdr + 138); }

    // Vector header, for its channels 0 and 1: after reading, the channel
    // number is the slot (0 or 1), or -1 for none.
    int16_t vectorChannel(int i) const { return i16(kVectorHdr + 10 + 2 * (i & 1)); }
    void setVectorChannel(int i, int16_t c) { setI16(kVectorHdr + 10 + 2 * (i & 1), c); }
    int16_t vectorPower(int i) const { return i16(kVectorHdr + 14 + 2 * (i & 1)); } // in 48ths

    // Channel headers.
    static size_t channelAt(int slot) { return kChannelHdr + kChannelHdrSize * (slot & 1); }
    int16_t windowType(int slot) const { return i16(channelAt(slot) + 64); }
    int16_t windowCorrMode(int slot) const { return i16(channelAt(slot) + 66); }
    float narrowBandCorr(int slot) const { return f32(channelAt(slot) + 84); }
    float range(int slot) const { return f32(channelAt(slot) + 94); } // dBV
    double delay(int slot) const { return f64(channelAt(slot) + 192); }
    // The engineering unit: a label of up to 10 characters, a scale and eight
    // exponents counted in halves.
    std::string unitLabel(int slot) const { return text(channelAt(slot) + 116, 10); }
    float unitScale(int slot) const { return f32(channelAt(slot) + 126); }
    int8_t unitExponent(int slot, int k) const {
        return static_cast<int8_t>(bytes_[channelAt(slot) + 130 + (k & 7)]);
    }
    float engUnitCal(int slot) const { return f32(channelAt(slot) + 138); }

    // Scan structure and the scan variable.
    int16_t numberOfScans() const { return i16(kScan + 6); }
    int16_t scanVarType() const { return i16(kScan + 12); } // 1 int16, 2 int32, 3 float, 4 double
    double scanVariable() const { return f64(kScanVariable); }

    // Y-data record head.
    int16_t yDataRecordType() const { return i16(kYDataHead); }
    int32_t yDataRecordSize() const { return i32(kYDataHead + 2); }

  private:
    // True when the field lies in the store (reported otherwise).
    bool fits(size_t at, size_t width) const;

    uint8_t bytes_[kSize];
};

// Reads every header of the open file into the store: file, measurement, data
// and vector header, the vector's channel headers into their slots, the scan
// structure and variable; then reports the revision. 0 for success; 1 after
// "Invalid file format: process aborted".
Status readSdfHeaders(userdiskPrt& in, CSdfHdrs& hdrs);

// The factor by which the stored values are multiplied on reading (and
// divided on writing): the product over the vector's channels of 1 / the
// engineering-unit calibration, with the narrow-band window correction, raised
// to the channel's power.
float sdfCorrectionFactor(const CSdfHdrs& hdrs);

// Measurement groups, in the order of the measurement-group setting.
enum ESdfGroup : int { eSdfFFT = 0, eSdfCorr, eSdfOct, eSdfSS, eSdfOrd, eSdfHist };
// Measurement ids that may carry two y values per point.
constexpr int16_t kMeasOrbit = 8, kMeasOrderOrbit = 62;

// What to read from the Y-data record.
struct SdfDataRequest {
    int64_t points = 0;   // 0 reads nothing
    int64_t rotation = 0; // the first points moved to the end
    bool octave = false;  // the record holds one value more than is read
    bool orbit = false;   // two y values per point are allowed
};

// The request of a group: the point count and rotation of the headers.
SdfDataRequest sdfDataRequest(const CSdfHdrs& hdrs, int group, int16_t measurement);

// Reads the Y-data record into complex pairs (real, imaginary; 2 x points
// floats), each value times the correction factor, rotated and, for real
// data, widened with imaginary parts 0. 0 for success, 1 after a message.
Status readSdfYData(userdiskPrt& in, CSdfHdrs& hdrs, const SdfDataRequest& request,
                    std::vector<float>& pairs);

} // namespace vx
