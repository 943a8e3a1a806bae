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
// is the settings file, the NUL-separated pieces after it the arguments (a
// piece that starts with byte 1 an option drawn from the option table).
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
// A Waterfall file read by name, every slice of channel A, then of channel B;
// accepted (0) when one channel's slices all extract.
int fuzzWaterfall(const uint8_t* data, size_t size);

// The settings file alone: its options give the same job as the same
// tokens on the command line.
int fuzzSettingsFile(const uint8_t* data, size_t size);
// A Waterfall file copied (single segment): a copy that succeeds equals the
// input's logical file, and extracting from the copy answers as from the input.
int fuzzWaterfallCopy(const uint8_t* data, size_t size);

// Write side (properties, not only "no crash"):
// A Display file read, written and read again: same lengths, same points
// (bit for bit), and the second write equals the first.
int fuzzDisplayRoundTrip(const uint8_t* data, size_t size);
// A Display file read and written as HP SDF: the SDF file reads back through
// the SDF reader, to the same values where SDF carries them.
int fuzzSdfRoundTrip(const uint8_t* data, size_t size);
// An HP SDF file read and written as MAT, UFF, ASCII and Display file; the
// Display file reads back.
int fuzzSdfOutputs(const uint8_t* data, size_t size);
// A /Q replacement list over a trace: on success the points the list lacks
// are zero.
int fuzzReplacementList(const uint8_t* data, size_t size);
// A Capture (copied or from a number list) or Waterfall file written across
// floppies of random capacities with random answers: it fails with a status
// or its segments join to the file, a joined copy equals it, and no disk
// change overwrites an earlier segment.
int fuzzSpanning(const uint8_t* data, size_t size);
// The ASCII writer under random valid /C /U /F /P /K /D /H /A: every data line
// parses back to the values.
int fuzzAsciiOptions(const uint8_t* data, size_t size);
// The library's entry points in random orders with random requests.
int fuzzLibrary(const uint8_t* data, size_t size);

inline constexpr const char* kDiskSeparator = "--next disk--";

} // namespace vxfuzz
