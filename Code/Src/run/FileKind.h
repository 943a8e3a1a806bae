// What a file is by its leading bytes: an instrument file (by its file-type
// tag, possibly behind a multi-disk header) or an HP SDF file.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vx {

class userdiskPrt;

// Outcomes of looking at a file's leading bytes.
enum EDetectFailure {
    eDetectOk = 0,
    eDetectFailed = 1,
    eDetectOutOfSequence = 2,
    eDetectUnknown = 3,
    eDetectBadTagAfterHeader = 4
};

// Classifies the open file from its start; on eDetectOk, type is the input
// type (EInputType). Leaves the file positioned anywhere.
int classifyFile(userdiskPrt& file, int32_t& type);

// A later segment of a multi-disk file, whose kind its first disk holds.
constexpr int32_t kSegmentOfUnknownKind = 100;

// The input type of an existing, non-empty regular file that is an instrument
// or HP SDF file (or kSegmentOfUnknownKind); -1 for anything else (no file, a
// FIFO, a text file). Nothing is written to the console.
int32_t existingFileType(const char* name);

// existingFileType of the regular file named name, from its leading bytes
// (kLeadingBytesForKind of them, or all of a shorter file) read by a caller
// that holds it open; the file is looked at by name only behind a multi-disk
// header.
int32_t existingFileType(const uint8_t* leading, size_t size, const char* name);

// The leading bytes that mayBeInstrumentFile looks at: a file-type tag, a
// multi-disk header and an HP SDF file's first record all start within them.
constexpr size_t kLeadingBytesForKind = 32;

// The input type that a file starting with these bytes has by its file-type
// tag, or as an HP SDF file; -1 when they show neither (a file behind a
// multi-disk header among them: classifyFile looks behind it).
int32_t leadingBytesType(const uint8_t* bytes, size_t size);

// False when a file that starts with these bytes (all of it when shorter than
// kLeadingBytesForKind) is surely no instrument or HP SDF file nor a segment
// of one, which classifyFile would call unknown; true when it may be one.
bool mayBeInstrumentFile(const uint8_t* bytes, size_t size);

} // namespace vx
