// What the harness bodies share: the scratch files, the process-wide reset
// that every input starts from, and the check that stops the run when a
// property fails.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vxfuzz {

// A name in the scratch directory.
std::string path(const char* name);
void writeFile(const std::string& name, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::string readFile(const std::string& name);
std::string asString(const uint8_t* data, size_t size);
// Writes the input to a file in the scratch directory and returns its name.
std::string inputFile(const uint8_t* data, size_t size, const char* name);

// The state every conversion starts from: parameters at their defaults and
// applied, the trace and measurement table as built, the option block reset,
// the bulk buffer free, the log in the scratch directory, prompts answered
// "no" and free space plentiful.
void resetProcessState();

// Writes the trace in the model as a MAT and a UFF file in the scratch
// directory; the statuses of both, or-ed.
int writeMatAndUff();

// A failed property: names it on stderr and aborts, so that the fuzzer keeps
// the input that broke it.
void require(bool holds, const char* property);

// Takes the bytes of a fuzz input one at a time; 0 once they are used up.
class ByteSource {
  public:
    ByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t next16() {
        uint16_t low = next();
        return uint16_t(low | next() << 8);
    }
    bool empty() const { return at_ >= size_; }
    // What is left, as bytes.
    std::string rest() {
        std::string r(reinterpret_cast<const char*>(data_) + at_, size_ - at_);
        at_ = size_;
        return r;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

} // namespace vxfuzz
