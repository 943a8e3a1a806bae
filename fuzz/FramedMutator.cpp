// The framed-file mutator: a parser that splits an input into pieces
// (fixed bytes, checked blocks, vector records, slice counts, SDF records),
// mutations on one piece, and a writer that recomputes the framing.
#include "FramedMutator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/BeBytes.h"
#include "base/LeBytes.h"
#include "base/OUTP.h"
#include "params/STARTUP.h"

namespace vxfuzz {

namespace {

using Rng = std::minstd_rand;

constexpr size_t kMultiDiskHeaderBytes = 20;
constexpr size_t kTagBytes = vx::kTagTextLen + 2;
constexpr size_t kHeaderBytes = 128;
constexpr size_t kPointBytes = 8;
constexpr uint32_t kMaxBlock = 20000;
constexpr int kMaxPoints = 4096;
constexpr const char* kVectorHeader = "Vector Header:";
constexpr const char* kVectorData = "Vector Data:";
constexpr const char* kWfHeaders = "WaterFall Headers:";
constexpr const char* kWfData = "WaterFall Data:";
constexpr const char* kWfVectors = "Measurement Vectors";

enum class Kind {
    Fixed,         // carried as it is: tags, labels, unparsed rest
    VectorCode,    // int16 of a Display file: 0 for one vector, 2 for two (+1 in a VX550 file)
    Samples,       // bulk data of fixed meaning: Capture samples, raw working data
    Block,         // a checked block's data
    CheckedVector, // "Vector Header:", header, check word, "Vector Data:", points
    PlainVector,   // header, points (a Waterfall slice)
    SliceCount,    // int16: the number of plain vectors that follow
    DiskHeader,    // the multi-disk header: total and capacity recomputed
    SdfRecord,     // an HP SDF record: its size field recomputed
};

struct Piece {
    Kind kind;
    std::string bytes; // the data; for vectors the points
    // A vector's header words; word 0 also flags a single-segment multi-disk
    // header and a VX550 vector code.
    std::array<uint32_t, 32> header{};
};

std::string le16(uint16_t v) {
    uint8_t b[2];
    vx::putLe16(b, v);
    return std::string(reinterpret_cast<char*>(b), 2);
}
std::string le32(uint32_t v) {
    uint8_t b[4];
    vx::putLe32(b, v);
    return std::string(reinterpret_cast<char*>(b), 4);
}
const uint8_t* u8(const std::string& s, size_t at = 0) {
    return reinterpret_cast<const uint8_t*>(s.data()) + at;
}
uint8_t* u8(std::string& s, size_t at = 0) {
    return reinterpret_cast<uint8_t*>(&s[at]);
}

// A cursor over the input.
class Cursor {
  public:
    explicit Cursor(const std::string& s) : s_(s) {}
    bool has(size_t n) const { return s_.size() - at_ >= n; }
    bool startsWith(const char* text) const {
        return s_.compare(at_, std::strlen(text), text) == 0;
    }
    std::string take(size_t n) {
        std::string part = s_.substr(at_, n);
        at_ += part.size();
        return part;
    }
    const uint8_t* here() const { return u8(s_, at_); }
    size_t position() const { return at_; }
    size_t find(const char* text) const { return s_.find(text, at_); }

  private:
    const std::string& s_;
    size_t at_ = 0;
};

// ------------------------------------------------------------ parsing

bool takeLabel(Cursor& c, const char* text, std::vector<Piece>& out) {
    if (!c.startsWith(text)) return false;
    out.push_back({Kind::Fixed, c.take(std::strlen(text)), {}});
    return true;
}

// A checked block; with `strict` only one whose check byte holds.
bool takeBlock(Cursor& c, std::vector<Piece>& out, bool strict) {
    if (!c.has(4)) return false;
    uint32_t len = vx::getLe32(c.here());
    if (len > kMaxBlock || !c.has(size_t(4) + len + 1)) return false;
    uint8_t check = vx::memPrt::kCheckSeed;
    for (uint32_t i = 0; i < len; ++i)
        check ^= c.here()[4 + i];
    if (strict && check != c.here()[4 + len]) return false;
    c.take(4);
    out.push_back({Kind::Block, c.take(len), {}});
    c.take(1);
    return true;
}

std::array<uint32_t, 32> takeHeader(Cursor& c) {
    std::array<uint32_t, 32> h{};
    for (uint32_t& w : h)
        w = vx::getLe32(u8(c.take(4)));
    return h;
}

// The points of a header's count (low 16 bits, signed), cut to what is left.
std::string takePoints(Cursor& c, uint32_t word0, size_t left) {
    int n = std::max(0, int(int16_t(word0 & 0xFFFF)));
    return c.take(std::min(size_t(n) * kPointBytes, left / kPointBytes * kPointBytes));
}

bool takeCheckedVector(Cursor& c, std::vector<Piece>& out, size_t fileSize) {
    if (!c.startsWith(kVectorHeader) || !c.has(14 + kHeaderBytes + 4 + 12)) return false;
    c.take(14);
    Piece v{Kind::CheckedVector, "", takeHeader(c)};
    c.take(4);
    if (!c.startsWith(kVectorData)) return false;
    c.take(12);
    v.bytes = takePoints(c, v.header[0], fileSize - c.position());
    out.push_back(std::move(v));
    return true;
}

void takeDisplay(Cursor& c, std::vector<Piece>& out, size_t fileSize) {
    if (!takeLabel(c, "Settings Header:", out) || !takeBlock(c, out, false) || !c.has(2)) return;
    // A VX550 settings block does not open with the -1 marker.
    const std::string& settings = out.back().bytes;
    Piece code{Kind::VectorCode, c.take(2), {}};
    code.header[0] = settings.size() >= 2 && vx::getLe16(u8(settings)) != 0xFFFF;
    out.push_back(std::move(code));
    while (takeCheckedVector(c, out, fileSize)) {
    }
}

void takeSliceSection(Cursor& c, std::vector<Piece>& out, size_t fileSize) {
    if (!c.has(2)) return;
    int n = int16_t(vx::getLe16(c.here()));
    out.push_back({Kind::SliceCount, c.take(2), {}});
    for (int i = 0; i < n && c.has(kHeaderBytes); ++i) {
        Piece v{Kind::PlainVector, "", takeHeader(c)};
        v.bytes = takePoints(c, v.header[0], fileSize - c.position());
        out.push_back(std::move(v));
    }
}

void takeWaterfall(Cursor& c, std::vector<Piece>& out, size_t fileSize) {
    if (!takeBlock(c, out, false) || !takeLabel(c, kWfHeaders, out)) return;
    while (!c.startsWith(kWfData) && !c.startsWith(kWfVectors) && takeBlock(c, out, true)) {
    }
    while (takeLabel(c, kWfData, out)) {
        size_t end = std::min(c.find(kWfData), c.find(kWfVectors));
        if (end == std::string::npos) return;
        out.push_back({Kind::Samples, c.take(end - c.position()), {}});
    }
    while (takeLabel(c, kWfVectors, out))
        takeSliceSection(c, out, fileSize);
}

std::optional<std::vector<Piece>> parseInstrumentFile(const std::string& s) {
    Cursor c(s);
    std::vector<Piece> out;
    if (c.startsWith("QRB\x1A") && c.has(kMultiDiskHeaderBytes)) {
        // Only a single segment's header is recomputed: one whose total is
        // the whole input.
        Piece disk{Kind::DiskHeader, c.take(kMultiDiskHeaderBytes), {}};
        disk.header[0] = vx::getLe32(u8(disk.bytes, 8)) == s.size();
        out.push_back(std::move(disk));
    }
    if (!c.has(kTagBytes)) return std::nullopt;
    std::string tag = c.take(kTagBytes);
    int16_t index = int16_t(vx::getLe16(u8(tag, vx::kTagTextLen)));
    const char* text = vx::tagText(index);
    if (!text || (tag.compare(0, 5, text, 5) != 0 && tag.compare(0, 5, "VX550") != 0))
        return std::nullopt;
    out.push_back({Kind::Fixed, tag, {}});
    if (index == vx::eDisplayTag) takeDisplay(c, out, s.size());
    if (index == vx::eCapArbTag && takeBlock(c, out, false))
        out.push_back({Kind::Samples, c.take(s.size() - c.position()), {}});
    if (index == vx::eWaterfallTag) takeWaterfall(c, out, s.size());
    if (c.has(1)) out.push_back({Kind::Fixed, c.take(s.size() - c.position()), {}});
    return out;
}

std::optional<std::vector<Piece>> parseSdfFile(const std::string& s) {
    if (s.size() < 8 || s.compare(0, 2, std::string("B\0", 2)) != 0) return std::nullopt;
    Cursor c(s);
    std::vector<Piece> out;
    out.push_back({Kind::Fixed, c.take(2), {}});
    while (c.has(6)) {
        uint32_t size = vx::getBe32(c.here() + 2);
        if (size < 6 || !c.has(size)) break;
        out.push_back({Kind::SdfRecord, c.take(size), {}});
    }
    if (out.size() < 2) return std::nullopt;
    if (c.has(1)) out.push_back({Kind::Fixed, c.take(s.size() - c.position()), {}});
    return out;
}

// ------------------------------------------------------------ writing back

uint16_t sdfType(const Piece& p) {
    return vx::getBe16(u8(p.bytes));
}

// SDF record sizes, and the file header's offsets of the first record of
// each type it points at.
void fixSdf(std::vector<Piece>& pieces) {
    static const std::pair<uint16_t, size_t> kOffsetFields[] = {{12, 36}, {13, 40}, {14, 44},
                                                                {15, 52}, {16, 56}, {17, 60}};
    size_t at = 0;
    std::vector<std::pair<uint16_t, size_t>> firsts;
    for (Piece& p : pieces) {
        if (p.kind == Kind::SdfRecord) {
            vx::putBe32(u8(p.bytes, 2), uint32_t(p.bytes.size()));
            firsts.emplace_back(sdfType(p), at);
        }
        at += p.bytes.size();
    }
    Piece* fileHeader = pieces.size() > 1 && sdfType(pieces[1]) == 10 ? &pieces[1] : nullptr;
    if (!fileHeader || fileHeader->bytes.size() < 64) return;
    for (const auto& [type, field] : kOffsetFields) {
        auto first = std::find_if(firsts.begin(), firsts.end(),
                                  [type = type](const auto& f) { return f.first == type; });
        if (first != firsts.end())
            vx::putBe32(u8(fileHeader->bytes, field), uint32_t(first->second));
    }
}

size_t vectorsAfter(const std::vector<Piece>& pieces, size_t at, Kind kind) {
    size_t n = 0;
    while (at + 1 + n < pieces.size() && pieces[at + 1 + n].kind == kind)
        ++n;
    return n;
}

std::string serialize(const std::vector<Piece>& pieces) {
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        switch (p.kind) {
        case Kind::Block: {
            uint8_t check = vx::memPrt::kCheckSeed;
            for (char b : p.bytes)
                check ^= uint8_t(b);
            out += le32(uint32_t(p.bytes.size())) + p.bytes + char(check);
            break;
        }
        case Kind::CheckedVector:
        case Kind::PlainVector: {
            std::array<uint32_t, 32> h = p.header;
            h[0] = (h[0] & 0xFFFF0000u) | uint32_t(p.bytes.size() / kPointBytes);
            std::string words;
            uint32_t check = 0xB1B1B1B1u;
            for (uint32_t w : h)
                words += le32(w), check ^= w;
            if (p.kind == Kind::CheckedVector)
                out += kVectorHeader + words + le32(check) + kVectorData;
            else
                out += words;
            out += p.bytes;
            break;
        }
        case Kind::SliceCount:
            out += le16(uint16_t(vectorsAfter(pieces, i, Kind::PlainVector)));
            break;
        case Kind::VectorCode:
            out += le16(
                uint16_t((vectorsAfter(pieces, i, Kind::CheckedVector) > 1 ? 2 : 0) + p.header[0]));
            break;
        default:
            out += p.bytes;
        }
    }
    if (!pieces.empty() && pieces[0].kind == Kind::DiskHeader && pieces[0].header[0]) {
        // A single segment: disk 1 at position 0, holding exactly what follows.
        std::string h = "QRB\x1A" + std::string(2, '\0') + le16(1) + le32(uint32_t(out.size())) +
                        le32(0) + le32(uint32_t(out.size() - kMultiDiskHeaderBytes));
        out.replace(0, kMultiDiskHeaderBytes, h);
    }
    return out;
}

// ------------------------------------------------------------ mutations

// Spans of the data that field mutations leave alone: the marker and
// version text that open a settings block, and each list's title with the
// version word after it, whose change only stops the list reader at once.
bool insideText(const std::string& data, size_t at, size_t width) {
    // int16 -1, 20 bytes "plat%d pao%d", then the measure group, which selects
    // the members of the group-filtered lists.
    constexpr size_t kVersionEnd = 24;
    if (data.compare(2, 4, "plat") == 0 && at < kVersionEnd) return true;
    for (int id = 0; id < vx::kListCount; ++id) {
        const char* title = vx::listTitle[id];
        if (!title || !*title) continue;
        size_t len = std::strlen(title) + 2;
        for (size_t pos = data.find(title); pos != std::string::npos;
             pos = data.find(title, pos + 1))
            if (at < pos + len && pos < at + width) return true;
    }
    return false;
}

// A value near the old one, or a small one: parameter indexes and counts
// are small, so these stay in range far more often than random bytes.
int32_t nearValue(int32_t old, Rng& rng) {
    switch (rng() % 8) {
    case 0:
    case 1:
    case 2:
    case 3:
        // Unsigned arithmetic: the old value may be INT32_MIN or INT32_MAX.
        return int32_t(uint32_t(old) + uint32_t(rng() % 5) - 2u);
    case 4:
    case 5:
        return int32_t(rng() % 8);
    case 6:
        return -1;
    default:
        return int32_t(rng() % 2048);
    }
}

float specialFloat(float old, Rng& rng) {
    switch (rng() % 8) {
    case 0:
        return 0.0f;
    case 1:
        return -old;
    case 2:
        return old * 1000.0f;
    case 3:
        return std::numeric_limits<float>::quiet_NaN();
    case 4:
        return std::numeric_limits<float>::infinity();
    case 5:
        return std::numeric_limits<float>::denorm_min();
    case 6:
        return 3.0e38f;
    default:
        return float(int32_t(rng() % 2001) - 1000) / 10.0f;
    }
}

// Mostly a value of the same size (settings fields have ranges), now and
// then a special one.
float nearFloat(float old, Rng& rng) {
    const float factors[] = {0.5f, 2.0f, 1.001f, 0.999f, -1.0f, 10.0f, 0.1f};
    return rng() % 8 ? old * factors[rng() % 7] : specialFloat(old, rng);
}

// An int16 of the data (little-endian) moved to a nearby value.
void tweakLe16(std::string& data, Rng& rng) {
    if (data.size() < 2) return;
    for (int tries = 0; tries < 8; ++tries) {
        size_t at = rng() % (data.size() - 1);
        if (insideText(data, at, 2)) continue;
        vx::putLe16(u8(data, at), uint16_t(nearValue(int16_t(vx::getLe16(u8(data, at))), rng)));
        return;
    }
}

// The byte mutator over the data, which may grow to maxSize.
void mutateBytes(std::string& data, size_t maxSize, ByteMutator bytes) {
    size_t old = data.size();
    data.resize(std::max(maxSize, old));
    data.resize(bytes(u8(data), old, maxSize));
}

// The byte mutator over data whose size is part of the layout: the result is
// cut or zero-padded back to the old size.
void mutateBytesInPlace(std::string& data, ByteMutator bytes) {
    size_t old = data.size();
    mutateBytes(data, old, bytes);
    data.resize(old, '\0');
}

void mutateVector(Piece& v, Rng& rng, ByteMutator bytes) {
    size_t n = v.bytes.size() / kPointBytes;
    // Waterfall slices all have the trace's length: another one is rare.
    int kind = int(rng() % 4);
    if (kind == 0 && v.kind == Kind::PlainVector && rng() % 8) kind = 2;
    switch (kind) {
    case 0: { // another point count: the points cut or repeated
        const size_t choices[] = {0, 1, n - 1, n + 1, n / 2, n * 2, rng() % kMaxPoints};
        size_t m = std::min<size_t>(choices[rng() % 7], kMaxPoints);
        std::string points;
        for (size_t i = 0; i < m; ++i)
            points += n ? v.bytes.substr((i % n) * kPointBytes, kPointBytes)
                        : std::string(kPointBytes, '\0');
        v.bytes = points;
        break;
    }
    case 1: { // a header word (word 12 holds the averages or integration time)
        size_t w = rng() % 2 ? 12 : 1 + rng() % 31;
        v.header[w] = uint32_t(nearValue(int32_t(v.header[w]), rng));
        break;
    }
    case 2:
        if (n) {
            size_t at = (rng() % (2 * n)) * 4;
            vx::putLe32(u8(v.bytes, at), vx::floatBits(specialFloat(
                                             vx::bitsFloat(vx::getLe32(u8(v.bytes, at))), rng)));
        }
        break;
    default:
        if (n) mutateBytesInPlace(v.bytes, bytes);
    }
}

// Adds a copy of the vector after a count or drops it (a Display file keeps
// one at least); the count follows.
void mutateVectorCount(std::vector<Piece>& pieces, size_t at, Rng& rng) {
    size_t next = at + 1;
    if (next >= pieces.size() ||
        (pieces[next].kind != Kind::PlainVector && pieces[next].kind != Kind::CheckedVector))
        return;
    const bool more = next + 1 < pieces.size() && pieces[next + 1].kind == pieces[next].kind;
    if (rng() % 2 && (more || pieces[next].kind == Kind::PlainVector))
        pieces.erase(pieces.begin() + long(next));
    else
        pieces.insert(pieces.begin() + long(next), pieces[next]);
}

// The samples follow the Capture header's record length (kpoints x 1024
// int32 and a final byte), so a changed length is read, not cut short.
void fitCaptureSamples(std::vector<Piece>& pieces) {
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        if (pieces[i].kind != Kind::Block || pieces[i + 1].kind != Kind::Samples) continue;
        if (pieces[i].bytes.size() < 2) return;
        int kpts = int16_t(vx::getLe16(u8(pieces[i].bytes)));
        if (kpts > 0 && kpts <= 64) pieces[i + 1].bytes.resize(size_t(kpts) * 4096 + 1, '\n');
        return;
    }
}

// Fields of the SDF records that the translation reads (record type,
// offset, width; -4 marks a float). The file header (revision, counts,
// offsets), the measurement and data types, the values per point, the
// vector's channels and the frequencies
// (span, center, x start and step) are left alone: a change there only makes
// the layout unreadable or names a measurement or span the instrument lacks.
struct SdfField {
    uint16_t type;
    uint16_t offset;
    int8_t width;
};
const SdfField kSdfFields[] = {
    {11, 28, 2}, {11, 30, 4},  {11, 34, -4}, {14, 64, 2},
    {14, 66, 2}, {14, 84, -4}, {14, 94, -4}, {14, 138, -4},
};

void tweakSdfField(Piece& record, const SdfField& f, Rng& rng) {
    if (record.bytes.size() < size_t(f.offset) + size_t(std::abs(f.width))) return;
    uint8_t* p = u8(record.bytes, f.offset);
    if (f.width == 2) vx::putBe16(p, uint16_t(nearValue(int16_t(vx::getBe16(p)), rng)));
    if (f.width == 4) vx::putBe32(p, uint32_t(nearValue(int32_t(vx::getBe32(p)), rng)));
    if (f.width == -4) vx::putBeFloat(p, nearFloat(vx::getBeFloat(p), rng));
}

Piece* sdfRecordOf(std::vector<Piece>& pieces, uint16_t type) {
    for (Piece& p : pieces)
        if (p.kind == Kind::SdfRecord && sdfType(p) == type) return &p;
    return nullptr;
}

// One change: mostly a Y value or a field the translation reads, rarely
// bytes of a channel header. The number of points stays: the instrument has
// only a few lengths, and the reader refuses any other.
void mutateSdf(std::vector<Piece>& pieces, Rng& rng, ByteMutator bytes) {
    std::vector<size_t> records;
    // The channel headers: settings the translation reads, none of them
    // deciding the layout.
    for (size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].kind == Kind::SdfRecord && sdfType(pieces[i]) == 14 &&
            pieces[i].bytes.size() >= 8)
            records.push_back(i);
    Piece* y = sdfRecordOf(pieces, 17);
    switch (rng() % 16) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4: {
        const SdfField& f = kSdfFields[rng() % (sizeof kSdfFields / sizeof kSdfFields[0])];
        if (Piece* target = sdfRecordOf(pieces, f.type)) tweakSdfField(*target, f, rng);
        break;
    }
    case 5:
        if (!records.empty()) {
            Piece& r = pieces[records[rng() % records.size()]];
            size_t at = 6 + (rng() % ((r.bytes.size() - 6) / 2)) * 2;
            vx::putBe16(u8(r.bytes, at),
                        uint16_t(nearValue(int16_t(vx::getBe16(u8(r.bytes, at))), rng)));
        }
        break;
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
        if (y && y->bytes.size() >= 10) {
            uint8_t* p = u8(y->bytes, 6 + (rng() % ((y->bytes.size() - 6) / 4)) * 4);
            vx::putBeFloat(p, specialFloat(vx::getBeFloat(p), rng));
        }
        break;
    case 14:
    default:
        if (!records.empty()) {
            Piece& r = pieces[records[rng() % records.size()]];
            std::string body = r.bytes.substr(6);
            mutateBytesInPlace(body, bytes);
            r.bytes.replace(6, std::string::npos, body);
        }
    }
}

void mutateInstrument(std::vector<Piece>& pieces, Rng& rng, ByteMutator bytes) {
    std::vector<size_t> candidates;
    for (size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].kind != Kind::Fixed && pieces[i].kind != Kind::DiskHeader)
            candidates.push_back(i);
    if (candidates.empty()) return;
    // The vector counts change rarely: a file of a measurement has its
    // number of vectors.
    size_t at = candidates[rng() % candidates.size()];
    if (pieces[at].kind == Kind::VectorCode && rng() % 8)
        at = candidates[rng() % candidates.size()];
    Piece& p = pieces[at];
    switch (p.kind) {
    case Kind::Block:
        if (rng() % 8)
            tweakLe16(p.bytes, rng);
        else
            mutateBytes(p.bytes, std::min<size_t>(kMaxBlock, p.bytes.size() * 2 + 64), bytes);
        break;
    case Kind::CheckedVector:
    case Kind::PlainVector:
        mutateVector(p, rng, bytes);
        break;
    case Kind::SliceCount:
    case Kind::VectorCode:
        mutateVectorCount(pieces, at, rng);
        break;
    default:
        if (!p.bytes.empty()) mutateBytesInPlace(p.bytes, bytes);
    }
    fitCaptureSamples(pieces);
}

} // namespace

bool isFramed(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    return parseInstrumentFile(input) || parseSdfFile(input);
}

size_t mutateFramed(uint8_t* data, size_t size, size_t maxSize, unsigned seed, ByteMutator bytes) {
    Rng rng(seed);
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::optional<std::vector<Piece>> pieces;
    bool sdf = false;
    if (rng() % 64) {
        pieces = parseInstrumentFile(input);
        if (!pieces) sdf = (pieces = parseSdfFile(input)).has_value();
    }
    if (!pieces) return bytes(data, size, maxSize);
    if (sdf) {
        mutateSdf(*pieces, rng, bytes);
        fixSdf(*pieces);
    } else {
        mutateInstrument(*pieces, rng, bytes);
    }
    std::string out = serialize(*pieces);
    if (out.size() > maxSize) return bytes(data, size, maxSize);
    std::memcpy(data, out.data(), out.size());
    return out.size();
}

} // namespace vxfuzz
