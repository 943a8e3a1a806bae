// The conversion run: detect the input type, check the conversion, pair a
// reader with a writer and convert every matching file.
#pragma once
#include "driver/Status.h"

namespace vx {

class COptionMgr;

Status runConversion(COptionMgr& job);

} // namespace vx
