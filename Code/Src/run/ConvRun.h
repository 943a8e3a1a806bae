// The conversion run: detect the input type, check the conversion, pair a
// reader with a writer and convert every matching file.
#pragma once
#include "base/Status.h"

namespace vx {

class COptionMgr;

Status runConversion(COptionMgr& job);

// Detects the input type of the job's first file (unless a caller that read
// its bytes has set it) and checks the conversion (an output format not
// given becomes the type's default); false after a failure, which has been
// reported.
bool detectAndCheck(COptionMgr& job);

} // namespace vx
