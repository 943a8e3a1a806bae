// A libFuzzer target over one harness; VX_FUZZ_ENTRY names the harness.
// Mutations go through the framed-file mutator (VX_FUZZ_PLAIN=1: libFuzzer's
// byte mutator alone). VX_FUZZ_COUNT=1 counts the mutated inputs and those
// the harness accepted (status 0) and prints both at exit.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "FramedMutator.h"
#include "Harnesses.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

constexpr size_t kMaxAcceptedInputs = 1024;

bool plainMutation = false;
bool counting = false;
bool lastWasMutated = false;
unsigned long mutatedRuns = 0;
unsigned long acceptedRuns = 0;

// What the harness answered: for the last input it ran, and for each input
// the mutator started from (corpus inputs, asked once). The accepted framed
// ones are kept to start from instead of refused ones.
size_t lastHash = 0;
bool lastAccepted = false;
std::unordered_map<size_t, bool> acceptedByHash;
std::vector<std::string> acceptedInputs;

void printCounts() {
    std::fprintf(stderr, "vxfuzz: %s mutation, %lu of %lu mutated inputs accepted\n",
                 plainMutation ? "plain" : "framed", acceptedRuns, mutatedRuns);
}

bool envSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v && *v != '0';
}

size_t hashOf(const uint8_t* data, size_t size) {
    return std::hash<std::string_view>{}({reinterpret_cast<const char*>(data), size});
}

bool harnessAccepts(const uint8_t* data, size_t size) {
    const size_t hash = hashOf(data, size);
    if (hash == lastHash) return lastAccepted;
    auto [known, fresh] = acceptedByHash.try_emplace(hash, false);
    if (fresh) {
        known->second = vxfuzz::VX_FUZZ_ENTRY(data, size) == 0;
        if (known->second && acceptedInputs.size() < kMaxAcceptedInputs)
            acceptedInputs.emplace_back(reinterpret_cast<const char*>(data), size);
    }
    return known->second;
}

// A refused framed file is mostly a dead end: nearly all of its mutations
// are refused at the same check. Seven times in eight an accepted input
// takes its place, so that most runs reach the checks behind the framing.
size_t steerFromRefused(uint8_t* data, size_t size, size_t maxSize, unsigned seed) {
    const unsigned pick = seed * 2654435761u;
    if (pick >> 29 == 0 || !vxfuzz::isFramed(data, size) || harnessAccepts(data, size) ||
        acceptedInputs.empty())
        return size;
    const std::string& other = acceptedInputs[pick % acceptedInputs.size()];
    if (other.size() > maxSize) return size;
    std::memcpy(data, other.data(), other.size());
    return other.size();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    plainMutation = envSet("VX_FUZZ_PLAIN");
    counting = envSet("VX_FUZZ_COUNT");
    if (counting) std::atexit(printCounts);
    vxfuzz::prepareProcess();
    // Options may name log and output files: keep them in the scratch directory.
    return chdir(vxfuzz::scratchDir().c_str()) == 0 ? 0 : 1;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    lastWasMutated = true;
    if (plainMutation) return LLVMFuzzerMutate(data, size, maxSize);
    size = steerFromRefused(data, size, maxSize, seed);
    return vxfuzz::mutateFramed(data, size, maxSize, seed, LLVMFuzzerMutate);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int st = vxfuzz::VX_FUZZ_ENTRY(data, size);
    lastHash = hashOf(data, size);
    lastAccepted = st == 0;
    if (counting && lastWasMutated) {
        ++mutatedRuns;
        acceptedRuns += st == 0;
    }
    lastWasMutated = false;
    return 0;
}
