// The shared test model's catalogue back at its defaults, as before each file.
#pragma once

namespace vxtest {

// Every member of lists 1 to 14 back to its default and applied, both displays.
void resetCatalogue();

} // namespace vxtest
