// Rows of the CSV output: one header row of column names, then rows of
// numbers, comma separated, each row ending in LF, with no separator at the
// end of a row. Numbers take the shortest form that reads back to the same
// value, independent of the locale.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ascii/ValueLines.h"
#include "base/Status.h"

namespace vx {

// "name (unit)", or the name alone when the unit is empty or the name itself.
std::string columnName(const char* name, const char* unit);

class CCsvRows {
  public:
    explicit CCsvRows(socket& out) : lines_(out, "", 1, ",") {}

    // The header row: the names made unique (a repeated name takes " 2",
    // " 3" ...) and quoted when they hold a comma, a quote or a line break.
    void header(std::vector<std::string> names);
    void field(float v);
    void field(double v);
    void field(int32_t v);
    void endRow();
    // Writes what is buffered; the stream's status.
    Status flush() { return lines_.flush(); }

  private:
    void separate();

    CValueLines lines_; // used for its buffered writing only
    bool rowStarted_ = false;
};

} // namespace vx
