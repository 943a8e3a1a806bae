// The model that the single-threaded tests share, as the console program
// keeps one; a test of several models builds its own.
#pragma once
#include "trace/Model.h"

namespace vxtest {

vx::CModel& testModel();

} // namespace vxtest
