// vxconv: the console program. All the work is in the engine.
#include "run/ConsoleMain.h"

int main(int argc, char** argv) { return vx::consoleMain(argc, argv); }
