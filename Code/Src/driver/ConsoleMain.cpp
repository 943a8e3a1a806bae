// The console program's entry.
#include "driver/ConsoleMain.h"

namespace vx {
int consoleMain(int, char**) { return 0; }
} // namespace vx
