// A libFuzzer target over one harness; VX_FUZZ_ENTRY names the harness.
// Mutations go through the framed-file mutator (VX_FUZZ_PLAIN=1: libFuzzer's
// byte mutator alone). VX_FUZZ_COUNT=1 counts the mutated inputs and those
// the harness accepted (status 0) and prints both at exit.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "FramedMutator.h"
#include "Harnesses.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

bool plainMutation = false;
bool counting = false;
bool lastWasMutated = false;
unsigned long mutatedRuns = 0;
unsigned long acceptedRuns = 0;

void printCounts() {
    std::fprintf(stderr, "vxfuzz: %s mutation, %lu of %lu mutated inputs accepted\n",
                 plainMutation ? "plain" : "framed", acceptedRuns, mutatedRuns);
}

bool envSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v && *v != '0';
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
    return vxfuzz::mutateFramed(data, size, maxSize, seed, LLVMFuzzerMutate);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int st = vxfuzz::VX_FUZZ_ENTRY(data, size);
    if (counting && lastWasMutated) {
        ++mutatedRuns;
        acceptedRuns += st == 0;
    }
    lastWasMutated = false;
    return 0;
}
