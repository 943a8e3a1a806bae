// The calling thread's locale switched to C and back.
#include "base/CLocaleScope.h"

namespace vx {

namespace {

locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

} // namespace

CLocaleScope::CLocaleScope() {
    if (cLocale()) previous_ = uselocale(cLocale());
}

CLocaleScope::~CLocaleScope() {
    if (previous_) uselocale(previous_);
}

} // namespace vx
