// Derived parameters that add a text rule or a name to a numeric base class.
#include <cmath>

#include "params/DerivedParams.h"
#include "params/STARTUP.h"

namespace vx {

blockParAction::blockParAction(int32_t defValue, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : longParAction(defValue, nullptr, "%ld", INT32_MAX, 1, 1, paoId, paoFlags, 0, dispIdx) {}

const char* blockParAction::getStr(char slot) {
    constexpr double kCountsPerSecond = 256;
    formatWithUnits(textBuf, sizeof textBuf, slots[slotIndex(slot)] / kCountsPerSecond, timeUnits,
                    5, eUnitsShown);
    return textBuf;
}

rdOutParAction::rdOutParAction(int16_t defValue, const char* fmt, uint32_t paoId, int16_t paoFlags,
                               int16_t dispIdx)
    : intParAction(defValue, nullptr, fmt, 400, 0, 1, paoId, paoFlags, 0, dispIdx) {}

const char* rdOutParAction::getStr(char slot) {
    if (slots[ePaoEntry] == 0) return "Fundamental";
    return intParAction::getStr(slot);
}

wfAngParAction::wfAngParAction(int16_t defValue, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : intParAction(defValue, nullptr, "%3d (deg)", 75, -75, 1, paoId, paoFlags, 0, dispIdx) {}

wfSkipParAction::wfSkipParAction(int16_t defValue, const char* fmt, uint32_t paoId,
                                 int16_t paoFlags, int16_t dispIdx)
    : intParAction(defValue, nullptr, fmt, 1000, 0, 1, paoId, paoFlags, 0, dispIdx) {}

wfOctSkipParAction::wfOctSkipParAction(float defValue, const UNIT_SPEC* unitTable, uint32_t paoId,
                                       int16_t paoFlags, int16_t dispIdx)
    : floatUnitAction(defValue, nullptr, unitTable, 1000, 0.004f, 0.004f, paoId, paoFlags, 0,
                      dispIdx) {}

floatVariant::floatVariant(float defValue, const char* fmt, uint32_t paoId, int16_t paoFlags,
                           int16_t dispIdx)
    : floatParAction(defValue, nullptr, fmt, 0, 0, 0, paoId, paoFlags, 0, dispIdx) {}

} // namespace vx
