// vxarchive: a tree of instrument files converted with a catalog. All the work
// is in the engine.
#include "archive/ArchiveMain.h"

int main(int argc, char** argv) {
    return vx::archiveMain(argc, argv);
}
