// A netCDF-4 file written by path through libnetcdf: dimensions, variables
// (large ones chunked and deflated with shuffle), attributes and values. The
// first failure is kept and every later call does nothing, so a writer
// defines and writes straight through and asks close() once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/Status.h"

namespace vx {

class CNcFile {
  public:
    enum Type { eInt, eFloat, eDouble };
    static constexpr int kGlobal = -1; // the file's own attributes
    // Values per chunk of a large variable, and its deflate level: with the
    // shuffle, level 1 keeps nearly all of the higher levels' gain at a
    // fraction of their time.
    static constexpr size_t kChunkValues = 65536;
    static constexpr int kDeflateLevel = 1;

    CNcFile() = default;
    CNcFile(const CNcFile&) = delete;
    CNcFile& operator=(const CNcFile&) = delete;
    ~CNcFile();

    // Whether this build writes netCDF at all (libnetcdf found).
    static bool builtIn();

    // Creates the file, replacing what is at the path.
    void create(const std::string& path);
    // A dimension and its id.
    int dimension(const char* name, size_t length);
    // A variable over one or two dimensions (slowest first) and its id; a
    // large one is compressed unless `compress` is false.
    int variable(const char* name, Type type, std::initializer_list<int> dims,
                 bool compress = true);
    void text(int var, const char* name, const std::string& value);
    void number(int var, const char* name, double value);
    void integer(int var, const char* name, int32_t value);
    void endDefinitions();
    // Values of a one-dimensional variable from start, or of row `row` of a
    // two-dimensional one.
    void put(int var, size_t start, const std::vector<float>& values);
    void put(int var, size_t start, const std::vector<double>& values);
    void put(int var, size_t start, const std::vector<int32_t>& values);
    void putRow(int var, size_t row, const std::vector<float>& values);

    // Closes the file; the first failure of the whole write, reported as
    // "netCDF error: " and the library's reason.
    Status close();

  private:
    // error_ when the library could not be loaded (no libnetcdf code).
    static constexpr int kNotLoaded = 1;
    bool check(int result);

    int ncid_ = -1;
    int error_ = 0;
    std::vector<size_t> lengths_; // by dimension id
};

} // namespace vx
