// The console program's entry.
#include "run/ConsoleMain.h"

#include <memory>

#include "run/OptionMgr.h"
#include "params/STARTUP.h"

namespace vx {

int consoleMain(int argc, char** argv) {
    initLists();
    auto job = std::make_unique<COptionMgr>(argc, argv, COptionMgr::kSettingsFile);
    if (job->errorIndex() != eErrNone) return 1;
    if (job->fileCount() != 1 && job->fileCount() != 2) {
        job->printHelp();
        return 0;
    }
    return job->run().code();
}

} // namespace vx
