// Numbers in the C locale for the duration of a call, whatever locale the
// host program set; the host's own locale comes back at the end.
#pragma once
#include <locale.h>

namespace vx {

class CLocaleScope {
  public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t previous_ = static_cast<locale_t>(0);
};

} // namespace vx
