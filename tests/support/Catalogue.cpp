// Prepared catalogue for tests.
#include "support/Catalogue.h"

#include "params/STARTUP.h"

namespace vxtest {

void prepareCatalogue() {
    static const bool prepared = [] {
        vx::initLists();
        return true;
    }();
    (void)prepared;
}

void resetCatalogue() {
    prepareCatalogue();
    for (int16_t list = 1; list <= 14; ++list)
        vx::copyListSlots(vx::ePaoDefault, vx::ePaoEntry, list, 2);
    for (int16_t list = 1; list <= 14; ++list)
        vx::applyList(list, 2);
}

} // namespace vxtest
