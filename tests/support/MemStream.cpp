// In-memory test stream with injectable failures.
#include "support/MemStream.h"

#include <cstring>

namespace vxtest {

bool MemStream::fails(int& countdown) {
    if (countdown <= 0) return false;
    return --countdown == 0;
}

vx::Status MemStream::writeBytes(const void* buf, uint32_t len) {
    if (fails(failWrite_)) return 1;
    data_.append(static_cast<const char*>(buf), len);
    return 0;
}

vx::Status MemStream::writeText(const char* text) {
    return writeBytes(text, static_cast<uint32_t>(std::strlen(text)));
}

vx::Status MemStream::readBytes(void* buf, uint32_t len) {
    if (fails(failRead_)) return 1;
    if (data_.size() - pos_ < len) {
        pos_ = data_.size();
        return 1;
    }
    std::memcpy(buf, data_.data() + pos_, len);
    pos_ += len;
    return 0;
}

} // namespace vxtest
