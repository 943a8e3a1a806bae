// Byte streams on disk and files that span several floppies: open with checks,
// the multi-disk header, spanning writes and reads, and the disk prompts.
#include "base/DISK_M.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/ErrLogger.h"
#include "base/Platform.h"

namespace vx {

namespace {

constexpr uint8_t kIdentifier[5] = {'Q', 'R', 'B', 0x1A, 0};
constexpr int64_t kMinFreeForNextDisk = 2048;
constexpr int64_t kNextDiskReserve = 1024;

uint32_t getU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void putU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// A capacity as the header holds it: never negative, at most 2147483647.
int32_t toCapacity(int64_t bytes) {
    return static_cast<int32_t>(std::clamp<int64_t>(bytes, 0, MultiDiskHeader::kMaxCapacity));
}

std::string withNumber(const char* format, int n) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, n);
    return buf;
}

bool isSeparator(char c) {
    return c == ' ' || c == ',' || c == '\n' || c == '\t' || c == '\r';
}

} // namespace

// ---------------------------------------------------------------- diskPrt

diskPrt::~diskPrt() {
    close();
}

Status diskPrt::open() {
    close();
    std::ios::openmode how = std::ios::binary;
    switch (mode_) {
    case eRead:
        how |= std::ios::in;
        break;
    case eWrite:
        how |= std::ios::out | std::ios::trunc;
        break;
    case eAppend:
        how |= std::ios::out | std::ios::app;
        break;
    default:
        return kStatusFailed;
    }
    std::string path = platform::resolvePath(file_.name());
    stream_.open(path, how);
    if (!stream_.is_open() || !stream_.good()) return kStatusFailed;
    if (mode_ != eRead) platform::noteCreated(path);
    return kStatusOk;
}

Status diskPrt::writeBytes(const void* buf, uint32_t len) {
    if (len > 0) stream_.write(static_cast<const char*>(buf), len);
    return stream_.is_open() && stream_.good() ? 0 : 1;
}

Status diskPrt::writeText(const char* text) {
    return writeBytes(text, text ? static_cast<uint32_t>(std::strlen(text)) : 0);
}

Status diskPrt::writeFormatted(const char* text) {
    stream_.width(width_);
    stream_ << (text ? text : "");
    width_ = 0;
    return stream_.is_open() && stream_.good() ? 0 : 1;
}

void diskPrt::close() {
    if (stream_.is_open()) stream_.close();
    stream_.clear();
}

int diskPrt::setName(const char* name) {
    file_.set(name);
    return 0;
}

Status diskPrt::readBytes(void* buf, uint32_t len) {
    if (len > 0) stream_.read(static_cast<char*>(buf), len);
    return stream_.is_open() && stream_.good() ? 0 : 1;
}

Status diskPrt::readWord(std::string& word) {
    word.clear();
    stream_ >> word;
    return word.empty() ? 1 : 0;
}

int diskPrt::isOpen() {
    return stream_.is_open() && stream_.good() ? 1 : 0;
}

Status diskPrt::seek(uint32_t offset) {
    stream_.clear();
    stream_.seekg(offset, std::ios::beg);
    return stream_.is_open() && stream_.good() ? 0 : 1;
}

TokenEnd diskPrt::endOfChars() {
    if (!stream_.is_open() || stream_.bad()) return TokenEnd::eReadFailed;
    if (stream_.fail()) return stream_.eof() ? TokenEnd::eEndOfFile : TokenEnd::eReadFailed;
    stream_.setstate(std::ios::eofbit | std::ios::failbit);
    return TokenEnd::eEndOfFile;
}

// ---------------------------------------------------------- the header

void MultiDiskHeader::encode(uint8_t out[kSize]) const {
    std::memcpy(out, kIdentifier, sizeof kIdentifier);
    out[5] = 0;
    out[6] = uint8_t(diskNumber);
    out[7] = uint8_t(diskNumber >> 8);
    putU32(out + 8, totalSize);
    putU32(out + 12, dataPosition);
    putU32(out + 16, static_cast<uint32_t>(capacity));
}

bool MultiDiskHeader::decode(const uint8_t in[kSize]) {
    if (std::memcmp(in, kIdentifier, sizeof kIdentifier) != 0) return false;
    diskNumber = uint16_t(in[6] | in[7] << 8);
    totalSize = getU32(in + 8);
    dataPosition = getU32(in + 12);
    capacity = static_cast<int32_t>(getU32(in + 16));
    return true;
}

// ------------------------------------------------------------- prompts

bool askContinue(const std::string& message, const std::string& second) {
    errLog() << consoleOnly << message << endLine;
    if (!second.empty()) errLog() << consoleOnly << second << endLine;
    errLog() << consoleOnly << "Continue? (y/n) " << endLine;
    int c = platform::readConsoleChar();
    if (c < 0) return false;
    for (int d = c; d >= 0 && d != '\n';)
        d = platform::readConsoleChar();
    return c == 'y' || c == 'Y';
}

// ---------------------------------------------------------- userdiskPrt

userdiskPrt::userdiskPrt(const char* name) : diskPrt(name) {
    mode_ = eWrite;
}

userdiskPrt::~userdiskPrt() {
    close();
}

void userdiskPrt::close() {
    diskPrt::close();
}

void userdiskPrt::reset() {
    pending_ = -1;
    header_ = MultiDiskHeader();
    spanning_ = 0;
}

void userdiskPrt::closeAndReset() {
    close();
    reset();
}

Status userdiskPrt::openWithChecks(int32_t minFree) {
    pending_ = -1;
    int64_t m = std::max<int32_t>(minFree, 0);
    if (mode_ == eRead) {
        uint64_t size = file_.fileSize();
        if (size == 0) {
            errLog() << "Error Reading File: " << file_.name() << endLine;
            return kStatusNoInput;
        }
        m = std::min<uint64_t>(size, MultiDiskHeader::kMaxCapacity);
    } else {
        platform::FoundFile existing = file_.find();
        if (file_.freeSpace(existing.size) < m) {
            errLog() << "Insufficient Disk Space:" << endLine;
            return kStatusNoSpace;
        }
        if (existing.readOnly) {
            errLog() << "File access denied: Process aborted" << endLine;
            return kStatusAccessDenied;
        }
    }
    header_.totalSize = static_cast<uint32_t>(m);
    return diskPrt::open();
}

Status userdiskPrt::writeDirect(const uint8_t* buf, uint32_t len) {
    return diskPrt::writeBytes(buf, len);
}

Status userdiskPrt::writeHeader() {
    uint8_t raw[MultiDiskHeader::kSize];
    header_.encode(raw);
    return writeDirect(raw, sizeof raw);
}

Status userdiskPrt::startSpanningWrite(uint32_t totalSize) {
    if (spanning_) return kStatusAccessDenied;
    header_.diskNumber = 1;
    header_.totalSize = totalSize;
    header_.dataPosition = 0;
    header_.capacity = toCapacity(file_.freeSpace() - int64_t(MultiDiskHeader::kSize));
    Status st = writeHeader();
    if (st.failed()) return st;
    spanning_ = 1;
    return kStatusOk;
}

Status userdiskPrt::changeDiskForWrite() {
    int n = header_.diskNumber;
    if (!askContinue("Please insert another disk", withNumber("(number %d )", n)))
        return kStatusFailed;
    while (file_.freeSpace() < kMinFreeForNextDisk) {
        if (!askContinue("This disk is full!", withNumber("Please insert another disk (# %d)", n)))
            return kStatusFailed;
    }
    if (diskPrt::open().failed()) {
        VX_ASSERT(false, "False");
        return kStatusFailed;
    }
    header_.capacity =
        toCapacity(file_.freeSpace() - int64_t(MultiDiskHeader::kSize) - kNextDiskReserve);
    return writeHeader();
}

Status userdiskPrt::writeBytes(const void* buf, uint32_t len) {
    const uint8_t* p = static_cast<const uint8_t*>(buf);
    if (!spanning_) return writeDirect(p, len);
    for (;;) {
        uint32_t left = static_cast<uint32_t>(std::max<int32_t>(header_.capacity, 0));
        if (left >= len) {
            header_.capacity -= static_cast<int32_t>(len);
            header_.dataPosition += len;
            return writeDirect(p, len);
        }
        Status st = writeDirect(p, left);
        if (st.failed()) return st;
        diskPrt::close();
        header_.capacity = 0;
        header_.dataPosition += left;
        ++header_.diskNumber;
        p += left;
        len -= left;
        // A new disk always has room (capacity >= 1004), so every pass makes progress.
        st = changeDiskForWrite();
        if (st.failed()) return st;
    }
}

Status userdiskPrt::checkSegment(bool prompting) {
    const int n = header_.diskNumber;
    const uint32_t position = header_.dataPosition;
    std::string message = withNumber("Please insert disk number %d", n);
    std::string second;
    for (;;) {
        if (prompting) {
            if (!askContinue(message, second)) return kStatusFailed;
            if (platform::findFiles(file_.name()).empty()) {
                message = "Incorrect disk: File not found";
                second = withNumber("Please insert disk number %d", n);
                continue;
            }
            Status st = diskPrt::open();
            if (st.failed()) return st;
        }
        uint8_t raw[MultiDiskHeader::kSize];
        MultiDiskHeader found;
        bool identified = diskPrt::readBytes(raw, sizeof raw).ok() && found.decode(raw);
        bool inSequence = identified && found.dataPosition == position && found.diskNumber == n;
        // A header is data: a segment that claims no room at all is not accepted,
        // so a spanning read always makes progress.
        if (inSequence && found.capacity > 0) {
            header_ = found;
            return kStatusOk;
        }
        diskPrt::close();
        message = std::string("Incorrect disk: ") + (!identified   ? "File not found"
                                                     : !inSequence ? "Out of sequence"
                                                                   : "Invalid header");
        second = withNumber("Please insert disk number %d", n);
        prompting = true;
    }
}

Status userdiskPrt::startSpanningRead() {
    if (spanning_) return kStatusAccessDenied;
    header_.diskNumber = 1;
    header_.dataPosition = 0;
    header_.capacity = MultiDiskHeader::kMaxCapacity;
    spanning_ = 1;
    Status st = checkSegment(false);
    if (st.failed()) spanning_ = 0;
    return st;
}

Status userdiskPrt::readBytes(void* buf, uint32_t len) {
    uint8_t* p = static_cast<uint8_t*>(buf);
    if (!spanning_) return diskPrt::readBytes(p, len);
    for (;;) {
        uint32_t left = static_cast<uint32_t>(std::max<int32_t>(header_.capacity, 0));
        if (left >= len) {
            header_.capacity -= static_cast<int32_t>(len);
            header_.dataPosition += len;
            return diskPrt::readBytes(p, len);
        }
        Status st = diskPrt::readBytes(p, left);
        if (st.failed()) return st;
        diskPrt::close();
        header_.capacity = 0;
        header_.dataPosition += left;
        ++header_.diskNumber;
        p += left;
        len -= left;
        // An accepted segment has a positive capacity, so every pass makes progress.
        st = checkSegment(true);
        if (st.failed()) return st;
    }
}

SpanningProbe userdiskPrt::probeSpanningHeader() {
    if (spanning_) return SpanningProbe::eAlreadySpanning;
    header_.diskNumber = 1;
    header_.dataPosition = 0;
    header_.capacity = MultiDiskHeader::kMaxCapacity;
    spanning_ = 1;
    uint8_t raw[MultiDiskHeader::kSize];
    MultiDiskHeader found;
    bool identified = diskPrt::readBytes(raw, sizeof raw).ok() && found.decode(raw);
    bool first = identified && found.dataPosition == 0 && found.diskNumber == 1;
    if (first && found.capacity > 0) {
        header_ = found;
        return SpanningProbe::eFirstSegment;
    }
    spanning_ = 0;
    // A first header without room is damaged, not another segment.
    return !identified || first ? SpanningProbe::eNoHeader : SpanningProbe::eOtherSegment;
}

Status userdiskPrt::seek(uint32_t offset) {
    pending_ = -1;
    header_.dataPosition = offset;
    return diskPrt::seek(offset);
}

TokenEnd userdiskPrt::nextChar(char& c) {
    if (pending_ >= 0) {
        c = static_cast<char>(pending_);
        pending_ = -1;
        return TokenEnd::eToken;
    }
    return readChar(c);
}

TokenEnd userdiskPrt::readToken(char* buf, size_t size) {
    if (!buf || size == 0) return TokenEnd::eTooLong;
    char c = 0;
    TokenEnd r;
    do {
        r = nextChar(c);
        if (r != TokenEnd::eToken) {
            buf[0] = '\0';
            return r;
        }
    } while (isSeparator(c));
    size_t n = 0;
    for (;;) {
        if (n == size - 1) {
            // Too long: the character that does not fit stays for the next read.
            pending_ = static_cast<unsigned char>(c);
            buf[n] = '\0';
            return TokenEnd::eTooLong;
        }
        buf[n++] = c;
        r = nextChar(c);
        if (r != TokenEnd::eToken || isSeparator(c)) {
            buf[n] = '\0';
            return r;
        }
    }
}

} // namespace vx
