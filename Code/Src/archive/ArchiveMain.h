// vxarchive's entry: a whole tree of instrument files converted in worker
// processes, with a catalog, resumable.
#pragma once

namespace vx {

// Exit statuses of vxarchive.
enum EArchiveStatus {
    eArchiveOk = 0,        // every file converted (or already converted)
    eArchiveFailures = 1,  // some files failed or could not be read
    eArchiveUsage = 2,     // a usage error; nothing done
    eArchiveCannotRun = 3, // DEST cannot be written (or another run holds it)
};

int archiveMain(int argc, char** argv);

} // namespace vx
