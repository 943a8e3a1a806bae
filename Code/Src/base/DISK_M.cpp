// Byte streams on disk and files that span several floppies: open with checks,
// the multi-disk header, spanning writes and reads, and the disk prompts.
#include "base/DISK_M.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Room for an output: the free bytes and the file it replaces, if any.
int64_t outputRoom(const CDosFile& file) {
    return file.freeSpace(platform::findOutput(file.name()).size);
}

// True when the mode alone says this user may write the file (root, or its
// owner with the owner's write bit); otherwise the system is asked.
bool writableByMode(const struct stat& st) {
    static const uid_t user = geteuid();
    return user == 0 || (st.st_uid == user && (st.st_mode & S_IWUSR));
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
    // An input may differ in case from its name; an output is written exactly.
    std::string path = mode_ == eRead ? platform::resolvePath(file_.name())
                                      : platform::resolveOutputPath(file_.name());
    Status st = openAt(path);
    if (st.ok() && mode_ != eRead) platform::noteCreated(path);
    return st;
}

Status diskPrt::openAt(const std::string& path) {
    close();
    std::ios::openmode how{};
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
    if (mode_ != eRead) platform::forgetStats(false);
    errno = 0;
    if (!buffer_.open(path, how)) stream_.setstate(std::ios::failbit);
    return streamStatus();
}

Status diskPrt::openDescriptor(int fd) {
    close();
    platform::forgetStats(false);
    buffer_.attach(fd);
    return streamStatus();
}

Status diskPrt::streamStatus() {
    if (buffer_.isOpen() && stream_.good()) return kStatusOk;
    if (systemError_ == 0) systemError_ = errno;
    return kStatusFailed;
}

Status diskPrt::closeChecked() {
    if (!buffer_.isOpen()) return kStatusOk;
    errno = 0;
    stream_.flush();
    Status st = streamStatus();
    if (!buffer_.close()) stream_.setstate(std::ios::badbit);
    if (st.ok() && stream_.fail()) st = streamStatus();
    stream_.clear();
    return st;
}

Status diskPrt::writeBytes(const void* buf, uint32_t len) {
    if (len > 0) {
        errno = 0;
        stream_.write(static_cast<const char*>(buf), len);
    }
    return streamStatus();
}

Status diskPrt::writeText(const char* text) {
    return writeBytes(text, text ? static_cast<uint32_t>(std::strlen(text)) : 0);
}

Status diskPrt::writeFormatted(const char* text) {
    errno = 0;
    stream_.width(width_);
    stream_ << (text ? text : "");
    width_ = 0;
    return streamStatus();
}

void diskPrt::close() {
    (void)buffer_.close();
    stream_.clear();
}

Status diskPrt::setName(const char* name) {
    file_.set(name);
    return kStatusOk;
}

Status diskPrt::readBytes(void* buf, uint32_t len) {
    if (len > 0) stream_.read(static_cast<char*>(buf), len);
    return buffer_.isOpen() && stream_.good() ? kStatusOk : kStatusFailed;
}

Status diskPrt::readWord(std::string& word) {
    word.clear();
    stream_ >> word;
    return word.empty() || buffer_.readFailed() ? kStatusFailed : kStatusOk;
}

int diskPrt::isOpen() {
    return buffer_.isOpen() && stream_.good() ? 1 : 0;
}

Status diskPrt::seek(uint32_t offset) {
    stream_.clear();
    stream_.seekg(offset, std::ios::beg);
    return buffer_.isOpen() && stream_.good() ? kStatusOk : kStatusFailed;
}

TokenEnd diskPrt::endOfChars() {
    if (!buffer_.isOpen() || stream_.bad() || buffer_.readFailed()) return TokenEnd::eReadFailed;
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

namespace {
PromptAnswerer& promptAnswerer() {
    static PromptAnswerer answerer;
    return answerer;
}
} // namespace

PromptAnswerer setPromptAnswerer(PromptAnswerer answerer) {
    std::swap(promptAnswerer(), answerer);
    return answerer;
}

bool askContinue(const std::string& message, const std::string& second) {
    errLog() << consoleOnly << message << endLine;
    if (!second.empty()) errLog() << consoleOnly << second << endLine;
    errLog() << consoleOnly << msg::eContinue << endLine;
    errLog().flushConsole();
    platform::forgetStats(true); // the disk may change meanwhile
    if (promptAnswerer())
        return promptAnswerer()(second.empty() ? message : message + '\n' + second);
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
    // An output nobody decided on is kept when it was written without failure.
    if (outputPending_) (void)commitOutput();
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
            errLog() << msg::eErrorReadingFile << file_.name() << endLine;
            return kStatusNoInput;
        }
        m = std::min<uint64_t>(size, MultiDiskHeader::kMaxCapacity);
    } else {
        const std::string folder = file_.parts().dir;
        struct stat st;
        if (!folder.empty() && !platform::statOnDisk(folder, st)) {
            errLog() << msg::eNoOutputFolder << folder << endLine;
            return kStatusFailed;
        }
        platform::FoundFile existing = platform::findOutput(file_.name());
        if (file_.freeSpace(existing.size) < m) {
            errLog() << msg::eInsufficientSpace << endLine;
            return kStatusNoSpace;
        }
        // A file this user may not write is refused, though the folder would let
        // a rename replace it.
        const std::string onDisk = platform::resolveOutputPath(file_.name());
        struct stat old;
        if (existing.readOnly ||
            (platform::statReused(onDisk, old) && !writableByMode(old) &&
             ::faccessat(AT_FDCWD, onDisk.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)) {
            errLog() << msg::eAccessDenied << endLine;
            return kStatusAccessDenied;
        }
    }
    header_.totalSize = static_cast<uint32_t>(m);
    if (mode_ == eRead) return diskPrt::open();
    const std::string target = platform::resolveOutputPath(file_.name());
    outputPending_ = true;
    return openOutput(output_.begin(target, mode_ == eAppend));
}

Status userdiskPrt::openOutput(const std::string& path) {
    outputPath_ = path;
    const int fd = output_.descriptor();
    if (!path.empty() && (fd >= 0 ? openDescriptor(fd) : openAt(path)).ok()) return kStatusOk;
    if (path.empty()) systemError_ = output_.systemError();
    discardOutput();
    return kStatusFailed;
}

Status userdiskPrt::commitOutput() {
    // Console lines come before the bytes of an output written as named (standard output).
    if (!output_.usingTemporary()) errLog().flushConsole();
    if (!outputPending_) return closeChecked();
    outputPending_ = false;
    Status st = closeChecked();
    if (st.failed()) {
        output_.abandon();
        return st;
    }
    st = output_.commit(buffer_.written());
    if (st.failed()) {
        systemError_ = output_.systemError();
        return st;
    }
    platform::noteCreated(platform::resolveOutputPath(file_.name()));
    return kStatusOk;
}

void userdiskPrt::discardOutput() {
    if (!output_.usingTemporary()) errLog().flushConsole();
    diskPrt::close();
    if (outputPending_) output_.abandon();
    outputPending_ = false;
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
    segmentStart_ = 0;
    const int64_t needed = int64_t(totalSize) + int64_t(MultiDiskHeader::kSize);
    if (output_.usingTemporary() && platform::freeBytesFor(file_.name()) < needed) {
        // No room for the file beside the old one: it spans disks, in place.
        diskPrt::close();
        if (openOutput(output_.writeInPlace()).failed()) return kStatusFailed;
    }
    // Beside the old file only the free bytes are room; in place, its own too.
    const int64_t room =
        output_.usingTemporary() ? platform::freeBytesFor(file_.name()) : outputRoom(file_);
    header_.capacity = toCapacity(room - int64_t(MultiDiskHeader::kSize));
    Status st = writeHeader();
    if (st.failed()) return st;
    spanning_ = 1;
    return kStatusOk;
}

Status userdiskPrt::finishSegment() {
    Status st = commitOutput();
    if (st.failed()) return st;
    segmentDevice_ = segmentInode_ = 0;
    struct stat written;
    if (platform::statOutput(file_.name(), written)) {
        segmentDevice_ = written.st_dev;
        segmentInode_ = written.st_ino;
    }
    return kStatusOk;
}

bool userdiskPrt::isLastSegment() const {
    struct stat st;
    const std::string path = platform::resolveOutputPath(file_.name());
    if (stat(path.c_str(), &st) != 0) return false;
    if (st.st_dev == segmentDevice_ && st.st_ino == segmentInode_) return true;
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    uint8_t raw[MultiDiskHeader::kSize];
    bool read = ::read(fd, raw, sizeof raw) == static_cast<ssize_t>(sizeof raw);
    ::close(fd);
    MultiDiskHeader found;
    return read && found.decode(raw) && found.diskNumber + 1 == header_.diskNumber &&
           found.dataPosition == segmentStart_ && found.totalSize == header_.totalSize;
}

Status userdiskPrt::changeDiskForWrite() {
    const int n = header_.diskNumber;
    std::string message = msg::text(msg::eInsertAnotherDisk);
    std::string second = withNumber(msg::text(msg::eAnotherDiskNumber), n);
    for (int unusable = 0;; ++unusable) {
        if (unusable == kMaxUnchangedDisks) {
            errLog() << msg::eNoUsableDisk << endLine;
            return kStatusFailed;
        }
        if (!askContinue(message, second)) return kStatusFailed;
        second = withNumber(msg::text(msg::eInsertAnotherDiskNumber), n);
        if (isLastSegment()) {
            message = msg::text(msg::eDiskNotChanged);
        } else if (outputRoom(file_) < kMinFreeForNextDisk) {
            message = msg::text(msg::eDiskFull);
        } else {
            break;
        }
    }
    segmentStart_ = header_.dataPosition;
    const std::string target = platform::resolveOutputPath(file_.name());
    outputPending_ = true;
    if (openOutput(output_.beginInPlace(target)).failed()) {
        VX_ASSERT(false, "False");
        return kStatusFailed;
    }
    header_.capacity =
        toCapacity(outputRoom(file_) - int64_t(MultiDiskHeader::kSize) - kNextDiskReserve);
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
        st = finishSegment();
        if (st.failed()) return st;
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
    std::string message = withNumber(msg::text(msg::eInsertDiskNumber), n);
    std::string second;
    for (int wrong = 0;;) {
        if (prompting) {
            if (wrong == kMaxUnchangedDisks) {
                errLog() << msg::eDiskNumber << n << msg::eDiskNotInserted << endLine;
                return kStatusFailed;
            }
            ++wrong;
            if (!askContinue(message, second)) return kStatusFailed;
            if (platform::findFiles(file_.name()).empty()) {
                message = "Incorrect disk: File not found";
                second = withNumber(msg::text(msg::eInsertDiskNumber), n);
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
        message = std::string(msg::text(msg::eIncorrectDisk)) +
                  (!identified   ? msg::text(msg::eFileNotFound)
                   : !inSequence ? msg::text(msg::eOutOfSequenceDisk)
                                 : msg::text(msg::eInvalidHeader));
        second = withNumber(msg::text(msg::eInsertDiskNumber), n);
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
