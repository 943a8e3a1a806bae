// HP SDF files, parse half: every record is read at its offset, checked
// against the file, and its numeric fields turned from big-endian into host
// order one by one; the Y data become complex pairs.
#include "sdf/SdfParse.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/BeBytes.h"
#include "base/DISK_M.h"
#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/VX550.h"
#include "sdf/SdfLayout.h"

namespace vx {

namespace {

// Reads records of one open file, each checked against the file's size.
class RecordReader {
  public:
    RecordReader(userdiskPrt& in, CSdfHdrs& hdrs)
        : in_(in), hdrs_(hdrs), fileSize_(in.nameRecord().fileSize()) {}

    bool inFile(int64_t offset, int64_t len) const {
        return offset >= 0 && len >= 0 && uint64_t(offset) + uint64_t(len) <= fileSize_;
    }

    bool readAt(int64_t offset, uint8_t* buf, uint32_t len) {
        if (!inFile(offset, len)) return false;
        return in_.seek(uint32_t(offset)).ok() && in_.readBytes(buf, len).ok();
    }

    // The record's type and size; false when the head is outside the file or
    // the size is below the head's own.
    bool readHead(int64_t offset, int16_t& type, int32_t& size) {
        uint8_t head[CSdfHdrs::kRecordHeadSize];
        if (!readAt(offset, head, sizeof head)) return false;
        type = int16_t(getBe16(head));
        size = int32_t(getBe32(head + 2));
        return size >= int32_t(sizeof head);
    }

    // Reads the record of the type at offset into the store at `at`, at most
    // maxSize bytes of it; the whole record must lie in the file.
    bool readRecord(int64_t offset, int16_t type, size_t at, size_t maxSize, SdfLayout layout) {
        int16_t found = 0;
        int32_t size = 0;
        if (!readHead(offset, found, size) || found != type || !inFile(offset, size)) return false;
        size_t n = std::min<size_t>(size_t(size), maxSize);
        if (!readAt(offset, hdrs_.data() + at, uint32_t(n))) return false;
        sdfFieldsToHost(hdrs_.data() + at, n, layout);
        return true;
    }

  private:
    userdiskPrt& in_;
    CSdfHdrs& hdrs_;
    uint64_t fileSize_;
};

bool readFileHeader(RecordReader& r, CSdfHdrs& h) {
    uint8_t magic[2];
    if (!r.readAt(0, magic, sizeof magic) || magic[0] != 'B' || magic[1] != 0) return false;
    int16_t type = 0;
    int32_t size = 0;
    if (!r.readHead(2, type, size) || type != eFileRec || (size != 64 && size != 80)) return false;
    if (!r.readRecord(2, eFileRec, CSdfHdrs::kFileHdr, size, sdfLayoutOf(kSdfFileFields)))
        return false;
    if (size == 64) {
        h.setI16(CSdfHdrs::kFileHdr + 64, 0);
        h.setI16(CSdfHdrs::kFileHdr + 66, 0);
        h.setI32(CSdfHdrs::kFileHdr + 68, -1);
        h.setI32(CSdfHdrs::kFileHdr + 72, -1);
        h.setI32(CSdfHdrs::kFileHdr + 76, -1);
    }
    return true;
}

// The c-th channel header (counting from 0) into the slot c & 1; the vector
// channel then names the slot.
bool readChannel(RecordReader& r, CSdfHdrs& h, int vectorIndex) {
    int16_t c = h.vectorChannel(vectorIndex);
    if (c == -1) return true;
    if (c < 0 || c >= h.channelHdrCount()) return false;
    int64_t offset = h.channelHdrOffset();
    for (int k = 0; k < c; ++k) {
        int16_t type = 0;
        int32_t size = 0;
        if (!r.readHead(offset, type, size) || type != eChannelRec) return false;
        offset += size;
    }
    int slot = c & 1;
    h.setI16(CSdfHdrs::kChannelScratch, int16_t(slot));
    if (!r.readRecord(offset, eChannelRec, CSdfHdrs::channelAt(slot), CSdfHdrs::kChannelHdrSize,
                      sdfLayoutOf(kSdfChannelFields)))
        return false;
    h.setVectorChannel(vectorIndex, int16_t(slot));
    return true;
}

// The scan structure and, with scans counted, the scan variable after it;
// false when either is missing or unreadable.
bool readScan(RecordReader& r, CSdfHdrs& h) {
    if (h.scanStructCount() <= 0) return false;
    int64_t offset = h.scanStructOffset();
    if (!r.readRecord(offset, eScanRec, CSdfHdrs::kScan, CSdfHdrs::kScanSize,
                      sdfLayoutOf(kSdfScanFields)))
        return false;
    if (h.numberOfScans() <= 0) return true;
    offset += std::min<int64_t>(h.i32(CSdfHdrs::kScan + 2), CSdfHdrs::kScanSize);
    uint8_t v[8];
    switch (h.scanVarType()) {
    case 1:
        if (!r.readAt(offset, v, 2)) return false;
        h.setF64(CSdfHdrs::kScanVariable, int16_t(getBe16(v)));
        return true;
    case 2:
        if (!r.readAt(offset, v, 4)) return false;
        h.setF64(CSdfHdrs::kScanVariable, int32_t(getBe32(v)));
        return true;
    case 3:
        if (!r.readAt(offset, v, 4)) return false;
        h.setF64(CSdfHdrs::kScanVariable, getBeFloat(v));
        return true;
    case 4: {
        if (!r.readAt(offset, v, 8)) return false;
        uint64_t bits = getBe64(v);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        h.setF64(CSdfHdrs::kScanVariable, d);
        return true;
    }
    default:
        return false;
    }
}

// Revision 2 records keep these values in older, narrower fields.
void takeOlderFields(CSdfHdrs& h) {
    h.setF64(CSdfHdrs::kMeasHdr + 102, h.f32(CSdfHdrs::kMeasHdr + 10));
    h.setF64(CSdfHdrs::kMeasHdr + 110, h.f32(CSdfHdrs::kMeasHdr + 14));
    h.setI32(CSdfHdrs::kDataHdr + 134, h.i16(CSdfHdrs::kDataHdr + 30));
    h.setI32(CSdfHdrs::kDataHdr + 138, h.i16(CSdfHdrs::kDataHdr + 32));
    for (int slot = 0; slot < 2; ++slot)
        h.setF64(CSdfHdrs::channelAt(slot) + 192, h.f32(CSdfHdrs::channelAt(slot) + 90));
}

bool readHeaders(RecordReader& r, CSdfHdrs& h) {
    h.clear();
    if (!readFileHeader(r, h)) return false;
    if (!r.readRecord(int64_t(h.fileHdrSize()) + 2, eMeasRec, CSdfHdrs::kMeasHdr,
                      CSdfHdrs::kMeasHdrSize, sdfLayoutOf(kSdfMeasFields)))
        return false;
    if (h.dataHdrCount() <= 0 || !r.readRecord(h.dataHdrOffset(), eDataRec, CSdfHdrs::kDataHdr,
                                               CSdfHdrs::kDataHdrSize, sdfLayoutOf(kSdfDataFields)))
        return false;
    if (h.vectorHdrCount() <= 0 ||
        !r.readRecord(h.vectorHdrOffset(), eVectorRec, CSdfHdrs::kVectorHdr,
                      CSdfHdrs::kVectorHdrSize, sdfLayoutOf(kSdfVectorFields)))
        return false;
    h.setDefaultChannelHeader(0);
    h.setDefaultChannelHeader(1);
    if (!readChannel(r, h, 0) || !readChannel(r, h, 1)) return false;
    if (!readScan(r, h)) h.setDefaultScanStructure();
    if (h.revision() == 2) takeOlderFields(h);
    return true;
}

int valuesPerPoint(const CSdfHdrs& h, bool orbit) {
    if (h.yPerPoint() == 2) {
        if (orbit) return 2;
        errLog() << msg::eTwoYPerPoint << endLine;
        return 0;
    }
    return h.yIsComplex() ? 2 : 1;
}

// Y data of 16- or 32-bit integers or doubles cannot be taken as floats.
bool yDataAreFloats(const CSdfHdrs& h) {
    int16_t t = h.yDataType();
    return t != 1 && t != 2 && t != 4;
}

Status invalidFormat() {
    errLog() << msg::eInvalidFileFormat << endLine;
    return kStatusFailed;
}

} // namespace

// ------------------------------------------------------------ detection

int sdfInputType(socket& in) {
    uint8_t b[10];
    if (in.readBytes(b, sizeof b).failed()) return 0;
    if (b[0] != 'B' || b[1] != 0 || int16_t(getBe16(b + 2)) != eFileRec) return 0;
    int16_t revision = int16_t(getBe16(b + 8));
    if (revision > 3) return 0;
    return revision == 3 ? 6 : 5;
}

// ------------------------------------------------------------ the store

void CSdfHdrs::clear() {
    std::memset(bytes_, 0, sizeof bytes_);
}

bool CSdfHdrs::fits(size_t at, size_t width) const {
    bool inside = at + width <= kSize;
    VX_ASSERT(inside, "at + width <= kSize");
    return inside;
}

int16_t CSdfHdrs::i16(size_t at) const {
    int16_t v = 0;
    if (fits(at, sizeof v)) std::memcpy(&v, bytes_ + at, sizeof v);
    return v;
}

int32_t CSdfHdrs::i32(size_t at) const {
    int32_t v = 0;
    if (fits(at, sizeof v)) std::memcpy(&v, bytes_ + at, sizeof v);
    return v;
}

float CSdfHdrs::f32(size_t at) const {
    float v = 0;
    if (fits(at, sizeof v)) std::memcpy(&v, bytes_ + at, sizeof v);
    return v;
}

double CSdfHdrs::f64(size_t at) const {
    double v = 0;
    if (fits(at, sizeof v)) std::memcpy(&v, bytes_ + at, sizeof v);
    return v;
}

void CSdfHdrs::setI16(size_t at, int16_t v) {
    if (fits(at, sizeof v)) std::memcpy(bytes_ + at, &v, sizeof v);
}

void CSdfHdrs::setI32(size_t at, int32_t v) {
    if (fits(at, sizeof v)) std::memcpy(bytes_ + at, &v, sizeof v);
}

void CSdfHdrs::setF32(size_t at, float v) {
    if (fits(at, sizeof v)) std::memcpy(bytes_ + at, &v, sizeof v);
}

void CSdfHdrs::setF64(size_t at, double v) {
    if (fits(at, sizeof v)) std::memcpy(bytes_ + at, &v, sizeof v);
}

void CSdfHdrs::setText(size_t at, size_t width, const char* text) {
    if (!fits(at, width)) return;
    std::memset(bytes_ + at, 0, width);
    std::memcpy(bytes_ + at, text, std::min(width, std::strlen(text)));
}

std::string CSdfHdrs::text(size_t at, size_t width) const {
    if (!fits(at, width)) return {};
    const char* p = reinterpret_cast<const char*>(bytes_ + at);
    return std::string(p, strnlen(p, width));
}

void CSdfHdrs::setDefaultChannelHeader(int slot) {
    const size_t at = channelAt(slot);
    std::memset(bytes_ + at, 0, kChannelHdrSize);
    setI16(at, eChannelRec);
    setI32(at + 2, int32_t(kChannelHdrSize));
    setI32(at + 6, -1);
    setText(at + 10, 30, slot & 1 ? "Chan 2" : "Chan 1");
    setText(at + 40, 12, slot & 1 ? "QRB Ch 2" : "QRB Ch 1");
    setText(at + 52, 12, "5894");
    for (size_t windowFloat = 68; windowFloat <= 84; windowFloat += 4)
        setF32(at + windowFloat, 1.0f);
    setText(at + 106, 10, "V");
    setText(at + 116, 10, "V");
    setF32(at + 126, 1.0f);
    const int8_t volt[4] = {2, 4, -6, -2};
    std::memcpy(bytes_ + at + 130, volt, sizeof volt);
    setF32(at + 138, 1.0f);
    setF32(at + 142, 50.0f);
    setI16(at + 148, 1);
}

void CSdfHdrs::setDefaultScanStructure() {
    std::memset(bytes_ + kScan, 0, kScanSize + sizeof(double));
    setI16(kScan, eScanRec);
    setI32(kScan + 2, 96);
    setI16(kScan + 6, 1);
    setI16(kScan + 10, 1);
    setI16(kScan + 12, 3);
    setText(kScan + 14, 10, "count");
    setF32(kScan + 24, 1.0f);
    setF64(kScanVariable, 1.0);
}

// ------------------------------------------------------------ reading

Status readSdfHeaders(userdiskPrt& in, CSdfHdrs& hdrs) {
    RecordReader reader(in, hdrs);
    if (!readHeaders(reader, hdrs)) return invalidFormat();
    errLog() << msg::eSdfType << hdrs.revision() << endLine << endLine;
    return kStatusOk;
}

float sdfCorrectionFactor(const CSdfHdrs& h) {
    float factor = 1.0f;
    for (int i = 0; i < 2; ++i) {
        int16_t slot = h.vectorChannel(i);
        if (slot < 0) continue;
        // A zero calibration would make every value infinite: it counts as none.
        float cal = h.engUnitCal(slot);
        float f = cal != 0.0f ? 1.0f / cal : 1.0f;
        int16_t domain = h.xDomain();
        if (h.windowApplied() != 0 && (domain == 0 || domain == 4) && h.windowCorrMode(slot) == 0)
            f *= h.narrowBandCorr(slot);
        int16_t power = h.vectorPower(i);
        if (power != 48) f = std::pow(f, float(power) / 48.0f);
        factor *= f;
    }
    return factor;
}

SdfDataRequest sdfDataRequest(const CSdfHdrs& h, int group, int16_t measurement) {
    SdfDataRequest req;
    req.orbit = measurement == kMeasOrbit || measurement == kMeasOrderOrbit;
    switch (group) {
    case eSdfFFT:
        req.points = int64_t(h.lastValidIndex()) + 1;
        if (h.xDomain() == 0) req.rotation = h.startIndex();
        break;
    case eSdfOct:
        req.points = int64_t(h.lastValidIndex()) + 2;
        req.octave = true;
        break;
    case eSdfHist:
        // The 16-bit field that shares its place with the low half of the block size.
        req.points = int16_t(h.blockSize() & 0xFFFF);
        break;
    case eSdfCorr:
    case eSdfSS:
    case eSdfOrd:
        req.points = h.pointCount();
        break;
    default:
        break;
    }
    return req;
}

Status readSdfYData(userdiskPrt& in, CSdfHdrs& h, const SdfDataRequest& req,
                    std::vector<float>& pairs) {
    pairs.clear();
    if (req.points == 0) return kStatusOk;
    if (req.points < 0 || !yDataAreFloats(h)) return invalidFormat();
    int perPoint = valuesPerPoint(h, req.orbit);
    if (perPoint == 0) return kStatusFailed;
    RecordReader reader(in, h);
    int16_t type = 0;
    int32_t size = 0;
    int64_t offset = h.yDataOffset();
    if (!reader.readHead(offset, type, size) || type != eYDataRec) return invalidFormat();
    h.setI16(CSdfHdrs::kYDataHead, type);
    h.setI32(CSdfHdrs::kYDataHead + 2, size);
    const int64_t bytes = int64_t(size) - (req.octave ? 10 : 6);
    const int64_t values = req.points * perPoint;
    if (bytes != 4 * values) {
        errLog() << msg::eLengthsDontCompute << endLine;
        return kStatusFailed;
    }
    if (bytes > int64_t(kBulkBufferBytes) || req.rotation < 0 || req.rotation > req.points)
        return invalidFormat();
    CBulkBufferClaim buffer;
    if (!reader.readAt(offset + 6, buffer.data(), uint32_t(bytes))) {
        errLog() << msg::eErrorReadingData << endLine;
        return kStatusFailed;
    }
    const float factor = sdfCorrectionFactor(h);
    pairs.assign(size_t(2 * req.points), 0.0f);
    for (int64_t i = 0; i < req.points; ++i) {
        // Rotation: point i goes r places to the left, the first r to the end.
        int64_t to = (i - req.rotation + req.points) % req.points;
        for (int k = 0; k < perPoint; ++k)
            pairs[size_t(2 * to + k)] = getBeFloat(buffer.data() + 4 * (i * perPoint + k)) * factor;
    }
    return kStatusOk;
}

} // namespace vx
