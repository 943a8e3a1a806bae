// The worker processes of a run: each is forked once, converts in a folder
// of its own with a model of its own, takes one task at a time over a pipe
// and answers with the catalog row. A worker that dies is replaced and its
// file is a failed row.
#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "archive/Convert.h"

namespace vx {

class CWorkerPool {
  public:
    using OnResult = std::function<void(size_t task, CatalogRow& row)>;

    // workRoot: the run's private folder; worker k works in workRoot/wk.
    CWorkerPool(const ConvertSetup& setup, int jobs, std::string workRoot);
    ~CWorkerPool();
    CWorkerPool(const CWorkerPool&) = delete;
    CWorkerPool& operator=(const CWorkerPool&) = delete;

    // Runs every task; onResult is called in the parent as each ends, in
    // the order they end. Stops early (the workers ended) when stop says so.
    // False when no worker could be started.
    bool run(const std::vector<ArchiveTask>& tasks, const OnResult& onResult,
             const std::function<bool()>& stop);

  private:
    struct Worker {
        int pid = -1;
        int taskFd = -1;
        int resultFd = -1;
        std::deque<size_t> tasks; // sent to it: the first it converts, the next waits
        std::string buffer;
    };

    bool spawn(size_t slot);
    void retire(Worker& w);
    void serve(int taskFd, int resultFd);

    ConvertSetup setup_;
    std::string workRoot_;
    std::vector<Worker> workers_;
};

// The task as one message and back (the pipe's protocol).
std::string taskMessage(size_t id, const ArchiveTask& task);
bool taskFromMessage(const std::string& message, size_t& id, ArchiveTask& task);

} // namespace vx
