// SHA-256 of a byte stream, for the catalog's checksums of source files.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vx {

class CSha256 {
  public:
    CSha256();
    void update(const void* data, size_t len);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string hexDigest();

  private:
    void block(const uint8_t* p);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> buffer_{};
    size_t buffered_ = 0;
    uint64_t length_ = 0;
};

// Reads a file through an open descriptor to its end, adding its bytes to sha
// when one is given; false when a read fails. size: the bytes the file held
// when it was opened; a short read once they are all in is the file's end,
// which saves the read that would only return nothing.
bool readThrough(int fd, int64_t size, CSha256* sha);

} // namespace vx
