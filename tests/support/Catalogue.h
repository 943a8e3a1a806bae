// The catalogue as the program prepares it: lists sorted and defaults recorded
// once per test process, and every parameter back at its default per test.
#pragma once

namespace vxtest {

// Sorts the lists and records the defaults, once; later calls do nothing.
void prepareCatalogue();
// Every member of lists 1 to 14 back to its default and applied, both displays.
void resetCatalogue();

} // namespace vxtest
