// The files a worker hands the engine: the one name it reads every input
// under, and its log. Both are set up once per worker, so converting a file
// makes and removes no file besides its outputs.
#pragma once
#include <cstddef>
#include <string>
#include <sys/stat.h>

namespace vx {

// The name the engine reads the input under, in the worker's folder.
constexpr const char* kStagedInput = "in";

// Sets up the staged name in the current folder (the worker's own).
void prepareStagedName();

// Opens a source file for reading, without following a link or waiting on a
// FIFO; its stat in st. -1 with errno set, or with errno 0 when it is no
// regular file.
int openSource(const std::string& path, struct stat& st);

// Makes the staged name lead to a segment of the file, disk its index: fd is
// the segment opened with openSource (left open), or -1 to open path anew.
bool stageSegment(int fd, const std::string& path, size_t disk);

// Whether the staged name leads to that segment now.
bool stagedAt(size_t disk);

// Makes the engine log to a file in memory (or, without one, to a file in
// the current folder).
void prepareEngineLog();

// Empties the engine's log, before a job.
void emptyEngineLog();

// What the engine logged since, its lines joined by "; ".
std::string engineLogLines();

} // namespace vx
