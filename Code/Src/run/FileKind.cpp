// Recognising instrument and HP SDF files by their leading bytes.
#include "run/FileKind.h"

#include <algorithm>
#include <sys/stat.h>

#include "base/DISK_M.h"
#include "base/OUTP.h"
#include "base/Platform.h"
#include "sdf/SdfParse.h"

namespace vx {

int classifyFile(userdiskPrt& file, int32_t& type) {
    int16_t tag = readTag(file);
    if (tag != eInvalidTag) {
        type = tag;
        return eDetectOk;
    }
    if (file.seek(0).failed()) return eDetectUnknown;
    const SpanningProbe probe = file.probeSpanningHeader();
    if (probe == SpanningProbe::eFirstSegment) {
        tag = readTag(file);
        if (tag == eInvalidTag) return eDetectBadTagAfterHeader;
        type = tag;
        return eDetectOk;
    }
    if (probe == SpanningProbe::eOtherSegment) return eDetectOutOfSequence;
    if (file.seek(0).failed()) return eDetectUnknown;
    int sdfType = sdfInputType(file);
    if (sdfType == 0) return eDetectUnknown;
    type = sdfType;
    return eDetectOk;
}

int32_t leadingBytesType(const uint8_t* bytes, size_t size) {
    static_assert(kLeadingBytesForKind >= kTagTextLen + 2);
    // The same readers classifyFile uses, over the bytes in memory.
    memPrt head{uint32_t{kLeadingBytesForKind}};
    (void)head.writeBytes(bytes, uint32_t(std::min(size, kLeadingBytesForKind)));
    head.rewind();
    const int16_t tag = readTag(head);
    if (tag != eInvalidTag) return tag;
    head.rewind();
    const int sdfType = sdfInputType(head);
    return sdfType == 0 ? -1 : sdfType;
}

bool mayBeInstrumentFile(const uint8_t* bytes, size_t size) {
    static_assert(kLeadingBytesForKind >= MultiDiskHeader::kSize);
    MultiDiskHeader header;
    if (size >= MultiDiskHeader::kSize && header.decode(bytes)) return true;
    return leadingBytesType(bytes, size) >= 0;
}

int32_t existingFileType(const uint8_t* leading, size_t size, const char* name) {
    MultiDiskHeader header;
    if (size >= MultiDiskHeader::kSize && header.decode(leading)) return existingFileType(name);
    return leadingBytesType(leading, size);
}

int32_t existingFileType(const char* name) {
    struct stat st;
    if (!platform::statOnDisk(name, st) || !S_ISREG(st.st_mode) || st.st_size == 0) return -1;
    userdiskPrt file(name);
    file.setMode(socket::eRead);
    if (file.diskPrt::open().failed()) return -1;
    int32_t type = -1;
    // A later segment of a multi-disk file is an instrument file too.
    int found = classifyFile(file, type);
    if (found == eDetectOutOfSequence || found == eDetectBadTagAfterHeader)
        return kSegmentOfUnknownKind;
    return found == eDetectOk ? type : -1;
}

} // namespace vx
