// The Display file reader and writer, and the /Q replacement of trace data.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/ErrLogger.h"
#include "trace/TRACE.h"

namespace vx {

Status CTraceReader::open(const char* name) {
    if (openInput(name).failed()) return 1;
    return traceMgr().readDisplayFile(*file_);
}

void CTraceWriter::setReplacementFile(const char* name) {
    replacementFile_.clear();
    if (name && std::strlen(name) < 255) replacementFile_ = name;
}

// The /Q data are replaced before the output is opened, so a bad list leaves
// an existing output file as it was.
Status CTraceWriter::write(const char* name) {
    if (!replacementFile_.empty()) {
        Status st = traceMgr().replaceData(replacementFile_.c_str());
        if (st.failed()) return st;
    }
    if (openOutput(name).failed()) return 1;
    return traceMgr().writeDisplayFile(*file_);
}

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

Status TraceMgr::replaceData(const char* name) {
    userdiskPrt file(name);
    file.setMode(socket::eRead);
    bool ok = file.openWithChecks(CFileWriter::kMinFreeBytes).ok() && file.isOpen() &&
              present_[0];
    char line[31];
    long count = 0;
    ok = ok && readLine(file, line, sizeof line) && std::sscanf(line, "%ld", &count) == 1;
    std::vector<Point>& pts = data_[0];
    long points = ok ? std::min<long>(std::max<long>(count, 0), static_cast<long>(pts.size())) : 0;
    for (long i = 0; ok && i < 2 * points; ++i) {
        float v = 0;
        ok = readLine(file, line, sizeof line) && std::sscanf(line, "%f", &v) == 1;
        if (ok) (i % 2 ? pts[i / 2].im : pts[i / 2].re) = v;
    }
    if (!ok) {
        errLog() << "Invalid Ascii Data Format" << endLine;
        return 1;
    }
    for (size_t p = static_cast<size_t>(points); p < pts.size(); ++p) pts[p] = Point();
    return 0;
}

} // namespace vx
