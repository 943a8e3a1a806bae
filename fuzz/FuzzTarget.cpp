// A libFuzzer target over one harness; VX_FUZZ_ENTRY names the harness.
#include <unistd.h>

#include "Harnesses.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vxfuzz::prepareProcess();
    // Options may name log and output files: keep them in the scratch directory.
    return chdir(vxfuzz::scratchDir().c_str()) == 0 ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)vxfuzz::VX_FUZZ_ENTRY(data, size);
    return 0;
}
