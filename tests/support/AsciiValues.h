// The ASCII output of a trace as numbers: the reference that the other trace
// writers' values are compared with.
#pragma once
#include <string>
#include <vector>

namespace vxtest {

// Converts `input` in `dir` with the built vxconv to data-only ASCII in the
// columns (a /C list) at full single precision, with the extra options; one
// row of values per point. Empty when the conversion fails.
std::vector<std::vector<double>> asciiValues(const std::string& dir, const std::string& input,
                                             const std::string& columns,
                                             const std::vector<std::string>& options = {});

} // namespace vxtest
