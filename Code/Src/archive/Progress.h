// The run's progress as one line that is rewritten in place on standard
// error: files done of the total, failures, the rate and the time left.
#pragma once
#include <chrono>
#include <cstddef>
#include <string>

namespace vx {

class CProgress {
  public:
    CProgress(bool shown, size_t total);
    // Redraws the line, at most ten times a second (and on the last file).
    void update(size_t done, size_t failed);
    // Clears the line.
    void finish();

    // The line's text ("12/40 files, 1 failed, 3.5 files/s, 8 s left").
    static std::string text(size_t done, size_t total, size_t failed, double seconds);

  private:
    bool shown_;
    size_t total_;
    size_t width_ = 0;
    std::chrono::steady_clock::time_point start_, last_;
};

} // namespace vx
