// The model of one conversion: the trace record that a reader fills and a
// writer reads, and the options of the job it runs under. Built by the
// console program's run or the library's frame and handed to readers and
// writers when they are made, so two models convert independently.
#pragma once
#include "base/Options.h"
#include "trace/TRACE.h"

namespace vx {

struct CModel {
    TraceMgr trace;
    ConvOptions options;
};

} // namespace vx
