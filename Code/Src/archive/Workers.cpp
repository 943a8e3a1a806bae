// Worker processes and the pipes between them and the run.
#include "archive/Workers.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "archive/JsonText.h"
#include "base/SafeOutput.h"

namespace vx {

namespace {

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// A message on a pipe: its length as four bytes, then its bytes.
bool sendMessage(int fd, const std::string& message) {
    const uint32_t n = uint32_t(message.size());
    return writeAll(fd, std::string(reinterpret_cast<const char*>(&n), sizeof n) + message);
}

// Takes the first whole message off the front of what was read.
bool takeMessage(std::string& buffer, std::string& message) {
    uint32_t n = 0;
    if (buffer.size() < sizeof n) return false;
    std::memcpy(&n, buffer.data(), sizeof n);
    if (buffer.size() < sizeof n + n) return false;
    message = buffer.substr(sizeof n, n);
    buffer.erase(0, sizeof n + n);
    return true;
}

// Reads what the pipe has into the buffer; false at its end or on failure.
bool readSome(int fd, std::string& buffer) {
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer.append(chunk, size_t(n));
        return true;
    }
}

// A blocking read of one whole message; false at the pipe's end.
bool receiveMessage(int fd, std::string& buffer, std::string& message) {
    while (!takeMessage(buffer, message))
        if (!readSome(fd, buffer)) return false;
    return true;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
        lines.push_back(text.substr(from, at - from));
    lines.push_back(text.substr(from));
    return lines;
}

// A worker ended by a signal undoes the output it was writing first.
void onWorkerSignal(int signal) {
    undoInterruptedOutputs();
    ::_exit(128 + signal);
}

std::string endedText(int status) {
    if (WIFSIGNALED(status))
        return std::string("the conversion ended abnormally (") + strsignal(WTERMSIG(status)) + ")";
    return "the conversion ended abnormally";
}

} // namespace

std::string taskMessage(size_t id, const ArchiveTask& task) {
    std::string paths = "[";
    for (const std::string& path : task.paths)
        paths += (paths.size() > 1 ? "," : "") + jsonQuoted(path);
    return std::to_string(id) + "\n" + jsonQuoted(task.failure) + "\n" + paths + "]\n" +
           (task.hasPrevious ? rowJson(task.previous) : "null");
}

bool taskFromMessage(const std::string& message, size_t& id, ArchiveTask& task) {
    const std::vector<std::string> lines = splitLines(message);
    JsonValue failure, paths;
    if (lines.size() != 4 || !parseJson(lines[1], failure) || !parseJson(lines[2], paths) ||
        paths.items.empty())
        return false;
    id = std::strtoul(lines[0].c_str(), nullptr, 10);
    task = ArchiveTask();
    task.failure = failure.str();
    for (const JsonValue& path : paths.items)
        task.paths.push_back(path.str());
    task.hasPrevious = lines[3] != "null" && rowFromJson(lines[3], task.previous);
    return true;
}

CWorkerPool::CWorkerPool(const ConvertSetup& setup, int jobs, std::string workRoot)
    : setup_(setup), workRoot_(std::move(workRoot)), workers_(size_t(jobs)) {}

CWorkerPool::~CWorkerPool() {
    for (Worker& w : workers_)
        retire(w);
}

void CWorkerPool::retire(Worker& w) {
    if (w.taskFd >= 0) ::close(w.taskFd);
    if (w.resultFd >= 0) ::close(w.resultFd);
    w.taskFd = w.resultFd = -1;
    if (w.pid > 0) {
        int status = 0;
        while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    w.pid = -1;
}

void CWorkerPool::serve(int taskFd, int resultFd) {
    struct sigaction action = {};
    action.sa_handler = onWorkerSignal;
    sigfillset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    prepareWorker(setup_);
    std::string buffer, message;
    while (receiveMessage(taskFd, buffer, message)) {
        size_t id = 0;
        ArchiveTask task;
        if (!taskFromMessage(message, id, task)) break;
        CatalogRow row = convertUnit(setup_, task);
        if (!sendMessage(resultFd, std::to_string(id) + "\n" + rowJson(row))) break;
    }
}

bool CWorkerPool::spawn(size_t slot) {
    const std::string folder = workRoot_ + "/w" + std::to_string(slot);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    int tasks[2], results[2];
    if (::pipe2(tasks, O_CLOEXEC) != 0) return false;
    if (::pipe2(results, O_CLOEXEC) != 0) {
        ::close(tasks[0]);
        ::close(tasks[1]);
        return false;
    }
    std::fflush(nullptr);
    const int pid = ::fork();
    if (pid == 0) {
        // The other workers' pipes stay with the run, so it sees their ends.
        for (Worker& other : workers_) {
            if (other.taskFd >= 0) ::close(other.taskFd);
            if (other.resultFd >= 0) ::close(other.resultFd);
        }
        ::close(tasks[1]);
        ::close(results[0]);
        if (::chdir(folder.c_str()) == 0) serve(tasks[0], results[1]);
        ::_exit(0);
    }
    ::close(tasks[0]);
    ::close(results[1]);
    Worker& w = workers_[slot];
    w = Worker();
    w.taskFd = tasks[1];
    w.resultFd = results[0];
    if (pid < 0) {
        retire(w);
        return false;
    }
    w.pid = pid;
    return true;
}

bool CWorkerPool::run(const std::vector<ArchiveTask>& tasks, const OnResult& onResult,
                      const std::function<bool()>& stop) {
    // Each worker holds a second task behind the one it converts, so that it
    // goes on while the run takes in its result.
    constexpr size_t kTasksAhead = 2;
    size_t started = 0;
    for (size_t slot = 0; slot < workers_.size(); ++slot)
        if (spawn(slot)) ++started;
    if (started == 0) return false;
    std::deque<size_t> waiting; // sent to a worker that died before it began them
    size_t next = 0, running = 0;
    while ((next < tasks.size() || !waiting.empty() || running > 0) && !stop()) {
        size_t alive = 0;
        for (const Worker& w : workers_)
            if (w.pid > 0) ++alive;
        if (alive == 0) return false;
        for (Worker& w : workers_) {
            while (w.pid > 0 && w.tasks.size() < kTasksAhead &&
                   (!waiting.empty() || next < tasks.size())) {
                const size_t task = waiting.empty() ? next : waiting.front();
                if (!sendMessage(w.taskFd, taskMessage(task, tasks[task]))) {
                    // Gone with nothing to convert: not waited for in vain.
                    if (w.tasks.empty()) retire(w);
                    break;
                }
                if (waiting.empty())
                    ++next;
                else
                    waiting.pop_front();
                w.tasks.push_back(task);
                ++running;
            }
        }
        std::vector<pollfd> fds;
        for (Worker& w : workers_)
            fds.push_back({w.tasks.empty() ? -1 : w.resultFd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) continue; // a signal: look at stop()
        for (size_t slot = 0; slot < workers_.size(); ++slot) {
            Worker& w = workers_[slot];
            if (fds[slot].fd < 0 || fds[slot].revents == 0) continue;
            const bool open = readSome(w.resultFd, w.buffer);
            std::string message;
            while (!w.tasks.empty() && takeMessage(w.buffer, message)) {
                CatalogRow row;
                const size_t newline = message.find('\n');
                if (newline == std::string::npos || !rowFromJson(message.substr(newline + 1), row))
                    break;
                const size_t task = w.tasks.front();
                w.tasks.pop_front();
                --running;
                onResult(task, row);
            }
            if (open || w.tasks.empty()) continue;
            // The worker is gone: the file it converted is a failed row, the
            // one waiting goes to another, and a new worker takes its place.
            const size_t task = w.tasks.front();
            int status = 0;
            ::close(w.taskFd);
            ::close(w.resultFd);
            w.taskFd = w.resultFd = -1;
            while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
            }
            w.pid = -1;
            running -= w.tasks.size();
            waiting.insert(waiting.begin(), w.tasks.begin() + 1, w.tasks.end());
            w.tasks.clear();
            CatalogRow row;
            row.path = tasks[task].paths.front();
            row.segments.assign(tasks[task].paths.begin() + 1, tasks[task].paths.end());
            row.message = endedText(status);
            onResult(task, row);
            spawn(slot);
        }
    }
    // Stopped: the workers give up the files they convert (their outputs undone).
    for (Worker& w : workers_)
        if (w.pid > 0 && !w.tasks.empty()) ::kill(w.pid, SIGTERM);
    return true;
}

} // namespace vx
