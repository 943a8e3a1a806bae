// The shared test model's catalogue back at its defaults.
#include "support/Catalogue.h"

#include "support/TestModel.h"

namespace vxtest {

void resetCatalogue() {
    testModel().cat.reset();
}

} // namespace vxtest
