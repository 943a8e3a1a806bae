// Field-by-field byte order of HP SDF records.
#include "sdf/SdfLayout.h"

#include <cstring>

#include "base/BeBytes.h"

namespace vx {

void sdfFieldsToHost(uint8_t* rec, size_t len, SdfLayout layout) {
    for (size_t i = 0; i < layout.count; ++i) {
        const SdfField& f = layout.fields[i];
        if (size_t(f.at) + f.width > len) continue;
        uint8_t* p = rec + f.at;
        if (f.width == 2) {
            uint16_t v = getBe16(p);
            std::memcpy(p, &v, sizeof v);
        } else if (f.width == 4) {
            uint32_t v = getBe32(p);
            std::memcpy(p, &v, sizeof v);
        } else {
            uint64_t v = getBe64(p);
            std::memcpy(p, &v, sizeof v);
        }
    }
}

void sdfFieldsToBig(uint8_t* rec, size_t len, SdfLayout layout) {
    for (size_t i = 0; i < layout.count; ++i) {
        const SdfField& f = layout.fields[i];
        if (size_t(f.at) + f.width > len) continue;
        uint8_t* p = rec + f.at;
        if (f.width == 2) {
            uint16_t v;
            std::memcpy(&v, p, sizeof v);
            putBe16(p, v);
        } else if (f.width == 4) {
            uint32_t v;
            std::memcpy(&v, p, sizeof v);
            putBe32(p, v);
        } else {
            uint64_t v;
            std::memcpy(&v, p, sizeof v);
            putBe64(p, v);
        }
    }
}

} // namespace vx
