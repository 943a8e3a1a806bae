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

// A started child: its pid, the write end of its standard input and the read
// end of its standard output; pid -1 when it could not be started.
struct Child {
    int pid = -1;
    int stdinFd = -1;
    int stdoutFd = -1;
};

// Starts program with args in dir, its standard input and output on pipes.
Child spawnProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::string& dir);

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& dir, const std::string& stdinText);

} // namespace vxtest
