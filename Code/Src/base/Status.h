// Status codes that operations return: 0 success, otherwise the code of the failure.
#pragma once
#include <cstdint>

namespace vx {

// A 16-bit status that callers must not drop. Implicit from an integer so that
// "return 10;" reads like the codes of the documentation.
class [[nodiscard]] Status {
  public:
    constexpr Status(int code = 0) : code_(static_cast<int16_t>(code)) {}
    constexpr int16_t code() const { return code_; }
    constexpr bool ok() const { return code_ == 0; }
    constexpr bool failed() const { return code_ != 0; }
    friend constexpr bool operator==(Status a, Status b) { return a.code_ == b.code_; }
    friend constexpr bool operator!=(Status a, Status b) { return a.code_ != b.code_; }

  private:
    int16_t code_;
};

} // namespace vx
