// The Display file: a tag, the settings block, the vector code, then one or
// two vectors, each a checked header and its points.
#include "display/DisplayFile.h"

#include <algorithm>
#include <cstring>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Messages.h"
#include "display/DataReplacement.h"
#include "display/DisplaySettings.h"

namespace vx {

namespace {

constexpr uint32_t kHeaderCheckSeed = 0xB1B1B1B1u;
const char* const kSettingsLabel = "Settings Header:";
const char* const kVectorHeaderLabel = "Vector Header:";
const char* const kVectorDataLabel = "Vector Data:";

uint32_t headerCheck(const TraceMgr& t, int which) {
    uint32_t check = kHeaderCheckSeed;
    for (int i = 0; i < kVectorHeaderWords; ++i)
        check ^= t.headerWord(which, i);
    return check;
}

Status badFormat() {
    errLog() << msg::eInvalidFileFormat << endLine;
    return kStatusBadFile;
}

int16_t low16(uint32_t word) {
    return static_cast<int16_t>(word & 0xFFFF);
}

// The number of points a vector's header names, never below zero.
size_t headerPoints(const TraceMgr& t, int which) {
    return static_cast<size_t>(std::max<int16_t>(low16(t.headerWord(which, 0)), 0));
}

Status readPoints(socket& in, std::vector<Point>& points, size_t count) {
    std::vector<uint8_t> bytes(count * 8);
    if (count > 0) {
        Status st = in.readBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
        if (st.failed()) return st;
    }
    points.resize(std::max(points.size(), count));
    for (size_t p = 0; p < count; ++p) {
        points[p].re = bitsFloat(getLe32(&bytes[8 * p]));
        points[p].im = bitsFloat(getLe32(&bytes[8 * p + 4]));
    }
    return kStatusOk;
}

Status writeVector(TraceMgr& t, socket& out, int which) {
    if (writeLabel(out, kVectorHeaderLabel).failed()) {
        errLog() << msg::eProblemFieldId << endLine;
        return kStatusBadFile;
    }
    uint8_t header[kVectorHeaderBytes + 4];
    for (int w = 0; w < kVectorHeaderWords; ++w)
        putLe32(header + 4 * w, t.headerWord(which, w));
    putLe32(header + kVectorHeaderBytes, headerCheck(t, which));
    if (out.writeBytes(header, sizeof header).failed()) return kStatusBadFile;
    if (writeLabel(out, kVectorDataLabel).failed()) {
        errLog() << msg::eProblemDataHeader << endLine;
        return kStatusBadFile;
    }
    const size_t n = headerPoints(t, which);
    const std::vector<Point>& pts = *t.vector(which);
    std::vector<uint8_t> bytes(n * 8, 0);
    for (size_t p = 0; p < n && p < pts.size(); ++p) {
        putLe32(&bytes[8 * p], floatBits(pts[p].re));
        putLe32(&bytes[8 * p + 4], floatBits(pts[p].im));
    }
    if (n > 0 && out.writeBytes(bytes.data(), static_cast<uint32_t>(bytes.size())).failed())
        return kStatusBadFile;
    return kStatusOk;
}

Status readVector(TraceMgr& t, socket& in, int which) {
    if (readLabel(in, kVectorHeaderLabel).failed()) {
        errLog() << msg::eFieldIdInvalid << endLine;
        return kStatusFailed;
    }
    uint8_t header[kVectorHeaderBytes + 4];
    if (in.readBytes(header, sizeof header).failed()) return kStatusFailed;
    t.setVectorHeader(header, which);
    if (getLe32(header + kVectorHeaderBytes) != headerCheck(t, which)) {
        errLog() << msg::eInvalidChecksum << endLine;
        return kStatusFailed;
    }
    if (readLabel(in, kVectorDataLabel).failed()) {
        errLog() << msg::eInvalidFileFormat << endLine;
        return kStatusFailed;
    }
    std::vector<Point>& points = t.freshVector(which);
    return readPoints(in, points, headerPoints(t, which)).failed() ? Status(kStatusFailed)
                                                                   : Status(kStatusOk);
}

bool vectorsMissing(const TraceMgr& t) {
    return !t.vector(0) || (t.vectorCode != 0 && !t.vector(1));
}

} // namespace

Status writeDisplayFile(CModel& model, socket& out) {
    TraceMgr& t = model.trace;
    if (vectorsMissing(t)) return kStatusBadFile;
    buildSettingsBlock(model);
    // The rebuild may call for a second vector that this trace does not have.
    if (vectorsMissing(t)) return kStatusBadFile;
    if (writeTag(out, eDisplayTag).failed() || writeLabel(out, kSettingsLabel).failed() ||
        t.settings().writeBlock(out).failed()) {
        errLog() << msg::eErrorWritingToFile << endLine;
        return kStatusBadFile;
    }
    uint8_t code[2];
    putLe16(code, static_cast<uint16_t>(t.vectorCode));
    if (out.writeBytes(code, 2).failed()) return kStatusBadFile;
    t.setHeaderWord(0, 0, static_cast<uint32_t>(t.nPts));
    t.setHeaderWord(1, 0, static_cast<uint32_t>(t.nPts));
    Status st = writeVector(t, out, 0);
    if (st.ok() && t.vectorCode != 0) st = writeVector(t, out, 1);
    return st;
}

Status readDisplayFile(CModel& model, socket& in) {
    TraceMgr& t = model.trace;
    t.settings().rewind();
    t.dropVectors();
    t.vectorCode = 0;
    if (readTag(in) != eDisplayTag || readLabel(in, kSettingsLabel).failed() ||
        t.settings().readBlock(in).failed())
        return badFormat();
    if (!settingsVersionAcceptable(t)) {
        errLog() << msg::eInvalidVersion << endLine;
        return kStatusBadFile;
    }
    if (applySettingsBlock(model).failed()) return kStatusFailed;
    errLog() << (t.oldFormat ? msg::eVx550DisplayType : msg::eVx560DisplayType) << endLine
             << endLine;
    uint8_t code[2];
    if (in.readBytes(code, 2).failed()) return badFormat();
    t.vectorCode = static_cast<int16_t>(getLe16(code) - (t.oldFormat ? 1 : 0));
    if (readVector(t, in, 0).failed()) {
        t.dropVectors();
        return badFormat();
    }
    if (t.vectorCode != 0 && readVector(t, in, 1).failed()) {
        t.dropVectors();
        t.vectorCode = 0;
        return badFormat();
    }
    postReadAdjustments(t);
    return kStatusOk;
}

Status readVectorFrom(TraceMgr& t, socket& in) {
    uint8_t header[kVectorHeaderBytes];
    Status st = in.readBytes(header, sizeof header);
    if (st.failed()) return st;
    t.setVectorHeader(header, 0);
    VX_ASSERT(low16(t.headerWord(0, 0)) == low16(static_cast<uint32_t>(t.nPts)),
              "nPts == (int)tArryLen");
    // Never more points than the trace holds, nor fewer than the header names.
    const size_t count = headerPoints(t, 0);
    if (!t.vector(0))
        t.freshVector(0).assign(std::max<size_t>(count, static_cast<size_t>(std::max(t.nPts, 0))),
                                Point());
    std::vector<Point> read;
    st = readPoints(in, read, count);
    if (st.failed()) return st;
    std::vector<Point>& held = *t.vector(0);
    std::copy_n(read.begin(), std::min(read.size(), held.size()), held.begin());
    postReadAdjustments(t);
    return kStatusOk;
}

Status CTraceReader::open(const char* name) {
    if (openInput(name).failed()) return kStatusFailed;
    return readDisplayFile(model_, *file_);
}

void CTraceWriter::setReplacementFile(const char* name) {
    replacementFile_.clear();
    if (name && std::strlen(name) < 255) replacementFile_ = name;
}

// The /Q data are replaced before the output is opened, so a bad list leaves
// an existing output file as it was.
Status CTraceWriter::write(const char* name) {
    if (!replacementFile_.empty()) {
        Status st = replaceData(model_.trace, replacementFile_.c_str());
        if (st.failed()) return st;
    }
    if (openOutput(name).failed()) return kStatusFailed;
    return writeDisplayFile(model_, *file_);
}

} // namespace vx
