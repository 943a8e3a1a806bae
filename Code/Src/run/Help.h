// The help texts: the banner, the general help and the help of each output format.
#pragma once
#include <cstdint>

namespace vx {

// Prints the banner, then the general help when files were given or no output
// format was chosen, else the help of that format.
void printHelpText(int fileCount, int32_t outputFormat);

// The help page of each output format.
void printDisplayHelp();
void printWaterfallHelp();
void printAsciiHelp();
void printSdfHelp();
void printCaptureHelp();
void printArbHelp();
void printUffHelp();
void printMatHelp();

} // namespace vx
