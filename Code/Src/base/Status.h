// Status codes that operations return: 0 success, otherwise the code of the failure.
#pragma once
#include <cstdint>

namespace vx {

// The codes that travel up unchanged, to the exit status and the library's caller.
constexpr int16_t kStatusOk = 0;
constexpr int16_t kStatusFailed = 1;        // a failure already reported where it was found
constexpr int16_t kStatusReadFailed = 2;    // a read that failed in the middle of a file
constexpr int16_t kStatusTokenTooLong = 3;  // a number-list token longer than its buffer
constexpr int16_t kStatusNoSpace = 10;      // "Insufficient Disk Space:"
constexpr int16_t kStatusNoInput = 11;      // input file empty or missing
constexpr int16_t kStatusAccessDenied = 12; // output read-only, or spanning already started
constexpr int16_t kStatusBadFile = 26;      // a damaged trace file, or a trace write failure

// Every failure code above; each has its message (msg::forStatus).
constexpr int16_t kFailureStatuses[] = {kStatusFailed,  kStatusReadFailed, kStatusTokenTooLong,
                                        kStatusNoSpace, kStatusNoInput,    kStatusAccessDenied,
                                        kStatusBadFile};

// A 16-bit status that callers must not drop; implicit from the codes above.
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
