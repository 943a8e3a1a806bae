// Data-only ASCII conversion, parsed back into rows of values.
#include "support/AsciiValues.h"

#include <fstream>
#include <sstream>

#include "support/RunProgram.h"

namespace vxtest {

std::vector<std::vector<double>> asciiValues(const std::string& dir, const std::string& input,
                                             const std::string& columns,
                                             const std::vector<std::string>& options) {
    std::vector<std::string> args{input, "reference.asc", "/D", "/F%.8e", "/C" + columns};
    args.insert(args.end(), options.begin(), options.end());
    if (runProgram(VX_CONV_PATH, args, dir, "").status != 0) return {};
    std::ifstream in(dir + "/reference.asc", std::ios::binary);
    std::vector<std::vector<double>> rows;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::vector<double> row;
        for (double v; fields >> v;) row.push_back(v);
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

} // namespace vxtest
