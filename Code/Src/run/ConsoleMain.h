// The console program's entry: prepare the lists, build the job, then help,
// error or run.
#pragma once
#include "base/Visibility.h"

namespace vx {
VX_EXPORT int consoleMain(int argc, char** argv);
}
