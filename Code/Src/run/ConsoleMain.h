// The console program's entry: --help and --version; otherwise prepare the
// lists, build the job, then help, error or run.
#pragma once

namespace vx {
int consoleMain(int argc, char** argv);
}
