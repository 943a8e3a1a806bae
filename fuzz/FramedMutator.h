// A structure-aware mutator for instrument files (Display, Capture/Arb.,
// Waterfall, with or without a multi-disk header) and HP SDF files: it takes
// the framing apart, changes one field inside it, and puts the framing back
// together (block lengths and check bytes, vector header checks, labels,
// slice counts, the multi-disk header, SDF record sizes and offsets), so that
// most mutated inputs reach the readers' checks behind the framing.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vxfuzz {

// The fuzzing engine's own byte mutator: mutates size bytes in place (at
// most maxSize) and returns the new size.
using ByteMutator = size_t (*)(uint8_t* data, size_t size, size_t maxSize);

// Whether the input is a file the mutator takes apart.
bool isFramed(const uint8_t* data, size_t size);

// Mutates the input in place and returns its new size (at most maxSize).
// An input that is not a framed file, and one call in 64 for those that
// are, gets the byte mutator over the whole input instead, so that the
// framing checks stay exercised too.
size_t mutateFramed(uint8_t* data, size_t size, size_t maxSize, unsigned seed, ByteMutator bytes);

} // namespace vxfuzz
