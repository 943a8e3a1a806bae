// The Display files of the benchmarks, built by the test fixture.
#pragma once
#include <string>

namespace vxbench {

std::string fft400File();   // the FFT group's representative spectrum, 400 lines
std::string fft800File();   // the same at 800 lines
std::string time2048File(); // a baseband time record at 800 lines: 2048 points

} // namespace vxbench
