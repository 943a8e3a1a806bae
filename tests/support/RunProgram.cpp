// fork/exec with pipes for standard input and output.
#include "support/RunProgram.h"

#include <sys/wait.h>
#include <unistd.h>

namespace vxtest {

Child spawnProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::string& dir) {
    Child child;
    int inPipe[2], outPipe[2];
    if (pipe(inPipe) != 0 || pipe(outPipe) != 0) return child;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        close(inPipe[1]);
        close(outPipe[0]);
        if (chdir(dir.c_str()) != 0) _exit(127);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    child.pid = pid;
    child.stdinFd = inPipe[1];
    child.stdoutFd = outPipe[0];
    return child;
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& dir, const std::string& stdinText) {
    RunResult result;
    const Child child = spawnProgram(program, args, dir);
    if (child.pid < 0) return result;
    (void)!write(child.stdinFd, stdinText.data(), stdinText.size());
    close(child.stdinFd);
    char buf[4096];
    ssize_t n;
    while ((n = read(child.stdoutFd, buf, sizeof buf)) > 0)
        result.out.append(buf, static_cast<size_t>(n));
    close(child.stdoutFd);
    int status = 0;
    waitpid(child.pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace vxtest
