// The bodies of the fuzz harnesses, one per entry into the engine. The fuzz
// targets and the regression test call the same functions; each call starts
// from freshly reset process-wide state, so one input cannot affect the next.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vxfuzz {

// Once per process: the lists prepared, a scratch directory for the inputs
// that readers take by name, and the error log inside it.
void prepareProcess();
const std::string& scratchDir();

// Each returns the entry's status (0 when the input was accepted).
// An argument vector and a settings file: the text before the first NUL byte
// is the settings file, the NUL-separated pieces after it the arguments.
int fuzzOptions(const uint8_t* data, size_t size);
// A Display file read from memory.
int fuzzDisplay(const uint8_t* data, size_t size);
// A Display file read from memory and, when accepted, written as MAT and UFF.
int fuzzTraceWriters(const uint8_t* data, size_t size);
// The lists of a settings block (the bytes behind the block's header fields),
// read in Display-file order and applied.
int fuzzSettings(const uint8_t* data, size_t size);
// A Capture/Arb. file read by name, header and every block.
int fuzzCapArb(const uint8_t* data, size_t size);
// An ASCII number list read by name, every block up to the end of the data.
int fuzzNumberList(const uint8_t* data, size_t size);
// Segments of a multi-disk file, separated by kDiskSeparator: the header
// probe, then a spanning read that is offered the next segment at each prompt.
int fuzzMultiDisk(const uint8_t* data, size_t size);
// An HP SDF file read by name: headers, translation and data.
int fuzzSdf(const uint8_t* data, size_t size);
// A Waterfall file read by name, every slice of channel A, then of channel B.
int fuzzWaterfall(const uint8_t* data, size_t size);

inline constexpr const char* kDiskSeparator = "--next disk--";

} // namespace vxfuzz
