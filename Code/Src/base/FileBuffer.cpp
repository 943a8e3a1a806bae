// Buffered reads and writes on a file descriptor with as few system calls as
// the bytes need: a small file is read with one read, however often the
// reader goes back to its start, and written with one write.
#include "base/FileBuffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace vx {

namespace {

// As the standard file streams: an 8 KiB buffer, and a block of 1 KiB or more
// (or more than the room left) written out at once, so that a failing disk
// is reported at the write that meets it.
constexpr size_t kBufferBytes = 8192;
constexpr size_t kDirectBytes = 1024;

} // namespace

void CFileBuffer::start(int fd, bool owned, bool writing) {
    fd_ = fd;
    owned_ = owned;
    writing_ = writing;
    bufferStart_ = 0;
    writePos_ = written_ = 0;
    readFailed_ = false;
    buffer_.resize(kBufferBytes);
    setg(buffer_.data(), buffer_.data(), buffer_.data());
    if (writing)
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    else
        setp(nullptr, nullptr);
}

bool CFileBuffer::open(const std::string& path, std::ios::openmode how) {
    if (!close()) return false;
    const bool writing = (how & std::ios::out) != 0;
    int flags = O_RDONLY;
    if (writing) flags = O_WRONLY | O_CREAT | ((how & std::ios::app) ? O_APPEND : O_TRUNC);
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    start(fd, true, writing);
    return true;
}

void CFileBuffer::attach(int fd) {
    (void)close();
    start(fd, false, true);
}

bool CFileBuffer::close() {
    if (fd_ < 0) return true;
    bool ok = !writing_ || flushOut();
    int error = errno;
    if (owned_ && ::close(fd_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    errno = error;
    fd_ = -1;
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    return ok;
}

bool CFileBuffer::writeOut(const char* first, size_t firstLen, const char* second,
                           size_t secondLen) {
    iovec parts[2] = {{const_cast<char*>(first), firstLen}, {const_cast<char*>(second), secondLen}};
    iovec* next = parts;
    int count = 2;
    while (count > 0) {
        if (next->iov_len == 0) {
            ++next;
            --count;
            continue;
        }
        ssize_t n = ::writev(fd_, next, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        writePos_ += n;
        written_ = std::max(written_, writePos_);
        // A short write: on from the first byte not taken.
        size_t done = static_cast<size_t>(n);
        for (; count > 0 && done >= next->iov_len; ++next, --count)
            done -= next->iov_len;
        if (count > 0) {
            next->iov_base = static_cast<char*>(next->iov_base) + done;
            next->iov_len -= done;
        }
    }
    return true;
}

bool CFileBuffer::flushOut() {
    const size_t pending = static_cast<size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return writeOut(buffer_.data(), pending, nullptr, 0);
}

CFileBuffer::int_type CFileBuffer::overflow(int_type c) {
    if (fd_ < 0 || !writing_ || !flushOut()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize CFileBuffer::xsputn(const char* s, std::streamsize n) {
    if (fd_ < 0 || !writing_) return 0;
    const size_t len = static_cast<size_t>(n);
    const size_t room = static_cast<size_t>(epptr() - pptr());
    if (len < std::min(kDirectBytes, room)) {
        std::memcpy(pptr(), s, len);
        pbump(static_cast<int>(len));
        return n;
    }
    // A large block goes out at once, behind what is buffered, in one call.
    const size_t pending = static_cast<size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return writeOut(buffer_.data(), pending, s, len) ? n : 0;
}

int CFileBuffer::sync() {
    if (fd_ < 0 || !writing_) return 0;
    return flushOut() ? 0 : -1;
}

CFileBuffer::int_type CFileBuffer::underflow() {
    if (fd_ < 0 || writing_) return traits_type::eof();
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    bufferStart_ += egptr() - eback();
    ssize_t n;
    do {
        n = ::read(fd_, buffer_.data(), buffer_.size());
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        readFailed_ = n < 0;
        setg(buffer_.data(), buffer_.data(), buffer_.data());
        return traits_type::eof();
    }
    setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
    return traits_type::to_int_type(*gptr());
}

CFileBuffer::pos_type CFileBuffer::seekoff(off_type off, std::ios::seekdir dir,
                                           std::ios::openmode which) {
    if (fd_ < 0 || writing_ || dir == std::ios::end) {
        if (fd_ < 0 || (writing_ && !flushOut())) return pos_type(off_type(-1));
        const off_t at = ::lseek(fd_, off,
                                 dir == std::ios::end   ? SEEK_END
                                 : dir == std::ios::cur ? SEEK_CUR
                                                        : SEEK_SET);
        if (at < 0) return pos_type(off_type(-1));
        writePos_ = at;
        if (!writing_) {
            bufferStart_ = at;
            setg(buffer_.data(), buffer_.data(), buffer_.data());
        }
        return pos_type(at);
    }
    const off_t here = bufferStart_ + (gptr() - eback());
    return seekpos(pos_type(dir == std::ios::cur ? here + off : off), which);
}

CFileBuffer::pos_type CFileBuffer::seekpos(pos_type pos, std::ios::openmode which) {
    const off_t target = off_t(pos);
    if (fd_ < 0 || target < 0) return pos_type(off_type(-1));
    if (writing_) return seekoff(target, std::ios::beg, which);
    // Within the bytes read: only the read position moves.
    if (target >= bufferStart_ && target <= bufferStart_ + (egptr() - eback())) {
        setg(eback(), eback() + (target - bufferStart_), egptr());
        return pos;
    }
    if (::lseek(fd_, target, SEEK_SET) < 0) return pos_type(off_type(-1));
    bufferStart_ = target;
    setg(buffer_.data(), buffer_.data(), buffer_.data());
    return pos;
}

} // namespace vx
