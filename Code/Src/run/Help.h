// The help texts: the banner, the general help and the help of each output format.
#pragma once
#include <cstdint>

#include "base/Options.h"

namespace vx {

// Prints the banner, then the general help when files were given or no output
// format was chosen, else the help of that format.
void printHelpText(const ConvOptions& options, int fileCount, int32_t outputFormat);

// The help page of each output format (the Display page names the options'
// platform version).
void printDisplayHelp(const ConvOptions& options);
void printWaterfallHelp(const ConvOptions& options);
void printAsciiHelp(const ConvOptions& options);
void printSdfHelp(const ConvOptions& options);
void printCaptureHelp(const ConvOptions& options);
void printArbHelp(const ConvOptions& options);
void printUffHelp(const ConvOptions& options);
void printMatHelp(const ConvOptions& options);
void printCsvHelp(const ConvOptions& options);
void printJsonHelp(const ConvOptions& options);
void printNcHelp(const ConvOptions& options);

} // namespace vx
