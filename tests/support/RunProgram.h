// Runs a program in a directory with given standard input and captures its
// standard output and exit status.
#pragma once
#include <string>
#include <vector>

namespace vxtest {

struct RunResult {
    int status = -1;
    std::string out;
};

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& dir, const std::string& stdinText);

} // namespace vxtest
