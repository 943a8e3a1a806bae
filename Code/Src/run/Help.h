// The help texts: the banner, the general help and the help of each output format.
#pragma once
#include <cstdint>

namespace vx {

// Prints the banner, then the general help when files were given or no output
// format was chosen, else the help of that format.
void printHelpText(int fileCount, int32_t outputFormat);

} // namespace vx
