// A stream buffer over a file descriptor: one buffer for reading or for
// writing, seeks within the bytes already read keep them, and a descriptor
// handed in by its owner is written through and left open for it.
#pragma once
#include <ios>
#include <streambuf>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vx {

class CFileBuffer : public std::streambuf {
  public:
    CFileBuffer() = default;
    CFileBuffer(const CFileBuffer&) = delete;
    CFileBuffer& operator=(const CFileBuffer&) = delete;
    ~CFileBuffer() override { (void)close(); }

    // Opens the path to read (in), to create or empty (out), or to append
    // (out | app). False with errno set when it cannot be opened.
    bool open(const std::string& path, std::ios::openmode how);
    // Writes through a descriptor its owner keeps open and closes, from the
    // descriptor's current position.
    void attach(int fd);
    bool isOpen() const { return fd_ >= 0; }
    // True when a read failed (not the end of the file), until the next open.
    bool readFailed() const { return readFailed_; }
    // The end of the bytes written out since the open: the highest offset a
    // write reached (kept after close, until the next open).
    off_t written() const { return written_; }
    // Writes out what is buffered and lets the descriptor go (closed when this
    // buffer opened it). False when a write or the close failed (errno kept).
    bool close();

  protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;
    pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios::openmode which) override;

  private:
    void start(int fd, bool owned, bool writing);
    // Both pieces, all of them, in as few calls as the file takes.
    bool writeOut(const char* first, size_t firstLen, const char* second, size_t secondLen);
    bool flushOut();

    int fd_ = -1;
    bool owned_ = false;
    bool writing_ = false;
    off_t bufferStart_ = 0; // file offset of the first byte read into the buffer
    off_t writePos_ = 0;    // the descriptor's offset, as far as this buffer moved it
    off_t written_ = 0;
    bool readFailed_ = false;
    std::vector<char> buffer_;
};

} // namespace vx
