// Rows of the CSV output: one header row of column names, then rows of
// numbers, comma separated, each row ending in LF, with no separator at the
// end of a row. Numbers take the shortest form that reads back to the same
// value, independent of the locale.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/DISK_M.h"
#include "base/Status.h"
#include "csv/CsvNumbers.h"

namespace vx {

// "name (unit)", or the name alone when the unit is empty or the name itself.
std::string columnName(const char* name, const char* unit);

// The text as a CSV field: quoted (inner quotes doubled) when it holds a
// comma, a quote or a line break.
std::string csvQuoted(const std::string& text);

class CCsvRows {
  public:
    explicit CCsvRows(socket& out) : out_(out), row_(kBufferBytes) {}
    CCsvRows(const CCsvRows&) = delete;
    CCsvRows& operator=(const CCsvRows&) = delete;
    ~CCsvRows() { spill(); }

    // The header row: the names made unique (a repeated name takes " 2",
    // " 3" ...) and quoted when they hold a comma, a quote or a line break.
    void header(std::vector<std::string> names);
    void field(float v);
    void field(double v);
    void field(int32_t v);
    // A whole row of a time buffer: the time of sample i, then its value.
    void sample(CSampleTimes& times, int32_t i, float value) {
        if (used_ + 2 * kMaxField + 2 > kBufferBytes) spill();
        char* at = times.write(row_.data() + used_, i);
        *at++ = ',';
        at = shortestText(at, value);
        *at++ = '\n';
        used_ = static_cast<size_t>(at - row_.data());
    }
    void endRow() {
        row_[used_++] = '\n';
        rowStarted_ = false;
    }
    // Writes what is buffered; the stream's status (the first failure).
    Status flush() {
        spill();
        return status_;
    }

    // Room for the longest field (a double or an int32_t).
    static constexpr size_t kMaxField = kMaxNumberText;

  private:
    // Rows go to the stream in pieces of this size: few large writes.
    static constexpr size_t kBufferBytes = 128 * 1024;

    // Makes room for a separator, a field and the row's end: the rows
    // collected go to the stream when the buffer is full.
    char* nextField() {
        if (used_ + kMaxField + 2 > kBufferBytes) spill();
        if (rowStarted_) row_[used_++] = ',';
        rowStarted_ = true;
        return row_.data() + used_;
    }
    void spill();
    void write(const char* bytes, size_t count);

    socket& out_;
    std::vector<char> row_;
    size_t used_ = 0;
    bool rowStarted_ = false;
    Status status_ = kStatusOk;
};

} // namespace vx
