// The progress line.
#include "archive/Progress.h"

#include <cstdio>

namespace vx {

CProgress::CProgress(bool shown, size_t total)
    : shown_(shown), total_(total), start_(std::chrono::steady_clock::now()), last_(start_) {}

std::string CProgress::text(size_t done, size_t total, size_t failed, double seconds) {
    char buf[160];
    const double rate = seconds > 0 ? double(done) / seconds : 0.0;
    int n = std::snprintf(buf, sizeof buf, "%zu/%zu files, %zu failed, %.1f files/s", done, total,
                          failed, rate);
    if (rate > 0 && done < total) {
        const long left = long(double(total - done) / rate + 0.5);
        if (left >= 3600)
            std::snprintf(buf + n, sizeof buf - size_t(n), ", %ld h %02ld min left", left / 3600,
                          left / 60 % 60);
        else if (left >= 60)
            std::snprintf(buf + n, sizeof buf - size_t(n), ", %ld min %02ld s left", left / 60,
                          left % 60);
        else
            std::snprintf(buf + n, sizeof buf - size_t(n), ", %ld s left", left);
    }
    return buf;
}

void CProgress::update(size_t done, size_t failed) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (done < total_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    std::string line =
        text(done, total_, failed, std::chrono::duration<double>(now - start_).count());
    const size_t width = line.size();
    if (line.size() < width_) line.append(width_ - line.size(), ' ');
    width_ = width;
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
}

void CProgress::finish() {
    if (!shown_ || width_ == 0) return;
    std::fprintf(stderr, "\r%*s\r", int(width_), "");
    std::fflush(stderr);
    width_ = 0;
}

} // namespace vx
