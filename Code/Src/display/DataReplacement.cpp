// Option /Q: the values of an ASCII list replace a trace's vector 1.
#include "display/DataReplacement.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/ErrLogger.h"
#include "base/FileIO.h"

namespace vx {

namespace {

// One line of at most `size` - 1 characters from the stream; false at its end.
bool readLine(socket& in, char* buf, size_t size) {
    size_t n = 0;
    char c;
    bool any = false;
    while (in.readBytes(&c, 1).ok()) {
        any = true;
        if (c == '\n') break;
        if (n + 1 < size) buf[n++] = c;
    }
    buf[n] = '\0';
    return any;
}

} // namespace

Status replaceData(TraceMgr& trace, const char* name) {
    userdiskPrt file(name);
    file.setMode(socket::eRead);
    std::vector<Point>* held = trace.vector(0);
    bool ok = file.openWithChecks(CFileWriter::kMinFreeBytes).ok() && file.isOpen() && held;
    char line[31];
    long count = 0;
    ok = ok && readLine(file, line, sizeof line) && std::sscanf(line, "%ld", &count) == 1;
    long points =
        ok ? std::min<long>(std::max<long>(count, 0), static_cast<long>(held->size())) : 0;
    for (long i = 0; ok && i < 2 * points; ++i) {
        float v = 0;
        ok = readLine(file, line, sizeof line) && std::sscanf(line, "%f", &v) == 1;
        if (ok) (i % 2 ? (*held)[i / 2].im : (*held)[i / 2].re) = v;
    }
    if (!ok) {
        errLog() << "Invalid Ascii Data Format" << endLine;
        return kStatusFailed;
    }
    for (size_t p = static_cast<size_t>(points); p < held->size(); ++p)
        (*held)[p] = Point();
    return kStatusOk;
}

} // namespace vx
