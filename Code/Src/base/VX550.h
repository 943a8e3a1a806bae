// The bulk buffer (32768 bytes) that readers and writers of large data borrow
// in turn; each thread has its own.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vx {

constexpr size_t kBulkBufferBytes = 32768;

// Claims the buffer; claiming it while in use reports "!bigBuffInUse" and
// proceeds. The buffer is suitably aligned for floats.
uint8_t* claimBulkBuffer();
void releaseBulkBuffer();
bool bulkBufferInUse();

// Claims the bulk buffer for a scope and releases it on every path out.
class CBulkBufferClaim {
  public:
    CBulkBufferClaim() : buf_(claimBulkBuffer()) {}
    ~CBulkBufferClaim() { releaseBulkBuffer(); }
    CBulkBufferClaim(const CBulkBufferClaim&) = delete;
    CBulkBufferClaim& operator=(const CBulkBufferClaim&) = delete;
    uint8_t* data() const { return buf_; }

  private:
    uint8_t* buf_;
};

} // namespace vx
