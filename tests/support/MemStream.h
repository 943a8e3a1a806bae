// A socket over a byte vector for tests, which can be told to fail its Nth
// read or write (counting from 1) so error paths can be exercised.
#pragma once
#include <string>
#include <vector>

#include "base/DISK_M.h"

namespace vxtest {

class MemStream : public vx::socket {
  public:
    MemStream() = default;
    explicit MemStream(std::string bytes) : data_(std::move(bytes)) {}

    vx::Status open() override { return 0; }
    vx::Status writeBytes(const void* buf, uint32_t len) override;
    vx::Status writeText(const char* text) override;
    vx::Status writeFormatted(const char* text) override { return writeText(text); }
    void close() override {}
    void reset() override { pos_ = 0; }
    vx::Status readBytes(void* buf, uint32_t len) override;

    // The Nth read (or write) from now on fails; 0 = never.
    void failReadAt(int n) { failRead_ = n; }
    void failWriteAt(int n) { failWrite_ = n; }
    const std::string& bytes() const { return data_; }
    size_t position() const { return pos_; }
    void rewind() { pos_ = 0; }

  private:
    bool fails(int& countdown);

    std::string data_;
    size_t pos_ = 0;
    int failRead_ = 0;
    int failWrite_ = 0;
};

} // namespace vxtest
