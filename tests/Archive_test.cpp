// vxarchive: the catalog's JSON text, the grouping of floppy segments, and
// whole runs over built trees (a mixed tree with two jobs, a run killed
// midway and resumed, hostile trees, files changing during a run).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "archive/CatalogRow.h"
#include "archive/JsonText.h"
#include "archive/Segments.h"
#include "archive/Sha256.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

namespace {

// ------------------------------------------------------------ JSON text

TEST(ArchiveCatalog, NamesOfAnyBytesStayValidJsonAndComeBackExact) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain/run1.56d", "\"plain/run1.56d\""},
        {"line\nbreak", "\"line\\nbreak\""},
        {"quote\" back\\ tab\t", "\"quote\\\" back\\\\ tab\\t\""},
        {"caf\xc3\xa9", "\"caf\xc3\xa9\""},            // UTF-8 kept
        {"latin\xe9", "\"latin\\udce9\""},             // not UTF-8
        {"\xc3", "\"\\udcc3\""},                       // cut sequence
        {"\xc0\xaf", "\"\\udcc0\\udcaf\""},            // overlong
        {"\xed\xa0\x80", "\"\\udced\\udca0\\udc80\""}, // a surrogate
        {std::string("nul\0x", 5) + "\x7f", "\"nul\\u0000x\\u007f\""}};
    for (const auto& [bytes, json] : cases) {
        EXPECT_EQ(vx::jsonQuoted(bytes), json);
        vx::JsonValue back;
        ASSERT_TRUE(vx::parseJson(json, back)) << json;
        EXPECT_EQ(back.str(), bytes) << json;
    }
    vx::JsonValue v;
    for (const char* bad : {"\"\\udc41\"", "\"a\nb\"", "{\"a\":1,}", "[1] 2", "\"\\ud800\""})
        EXPECT_FALSE(vx::parseJson(bad, v)) << bad;
}

TEST(ArchiveCatalog, RowsReadBackAsWrittenAndCsvQuotes) {
    vx::CatalogRow row;
    row.path = "disk1/a,b\n\xff.56c";
    row.segments = {"disk2/a.56c"};
    row.kind = "Capture";
    row.size = 8289;
    row.mtimeNs = 1796926290577641575; // beyond a double's 53 bits
    row.sha256 = std::string(64, 'a');
    row.status = vx::CatalogRow::kConverted;
    row.points = 2048;
    row.sampleRateHz = 262144;
    row.outputs = {{"disk1/x.csv", 48071}};
    vx::CatalogRow back;
    ASSERT_TRUE(vx::rowFromJson(vx::rowJson(row), back));
    EXPECT_EQ(vx::rowJson(back), vx::rowJson(row));
    EXPECT_EQ(back.mtimeNs, row.mtimeNs);
    EXPECT_EQ(back.path, row.path);
    EXPECT_EQ(vx::rowCsv(row).substr(0, 24), "\"disk1/a,b\n\\xff.56c\",Cap");
}

TEST(ArchiveCatalog, Sha256OfKnownTexts) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the first block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}};
    for (const auto& [text, digest] : cases) {
        vx::CSha256 sha;
        // Fed in uneven pieces, as reads of a file come.
        for (size_t at = 0; at < text.size(); at += 777)
            sha.update(text.data() + at, std::min<size_t>(777, text.size() - at));
        EXPECT_EQ(sha.hexDigest(), digest) << text.size();
    }
}

// ------------------------------------------------------------ segments

vx::Segment segment(size_t file, const std::string& path, uint16_t disk, uint32_t total,
                    uint32_t position, int32_t capacity, int64_t data) {
    vx::Segment s;
    s.file = file;
    s.path = path;
    s.size = data + 20;
    s.header.diskNumber = disk;
    s.header.totalSize = total;
    s.header.dataPosition = position;
    s.header.capacity = capacity;
    return s;
}

TEST(ArchiveSegments, GroupedInDiskOrderByHeaderAndName) {
    // Two files of the same size over two floppies each, disks in their own folders.
    std::vector<vx::Segment> all = {segment(0, "disk2/b.56c", 2, 5000, 3000, 9999, 1980),
                                    segment(1, "disk1/a.56c", 1, 5000, 0, 3000, 3000),
                                    segment(2, "disk1/b.56c", 1, 5000, 0, 3000, 3000),
                                    segment(3, "disk2/a.56c", 2, 5000, 3000, 9999, 1980)};
    std::vector<vx::FileUnit> units = vx::groupSegments(all);
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].files, (std::vector<size_t>{1, 3}));
    EXPECT_EQ(units[1].files, (std::vector<size_t>{2, 0}));
    EXPECT_EQ(units[0].failure, "");
    // A lone disk 1 that goes on, a disk 3 whose data does not follow disk 2's.
    units = vx::groupSegments({segment(0, "x/c.56w", 1, 9000, 0, 3000, 3000),
                               segment(1, "y/c.56w", 2, 9000, 3000, 3000, 3000),
                               segment(2, "z/c.56w", 3, 9000, 5000, 3000, 2000)});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].files, (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(units[0].failure, "missing disk 3 of a file over several floppies");
    // Later disks without their first.
    units = vx::groupSegments({segment(4, "q/d.56c", 4, 7000, 9000, 100, 100),
                               segment(5, "q/d2.56c", 2, 7000, 3000, 100, 100)});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].files, (std::vector<size_t>{5, 4}));
    EXPECT_EQ(units[0].failure, "missing disks 1, 3 of a file over several floppies");
    // A complete single-segment file needs no other disk.
    EXPECT_FALSE(vx::needsOtherDisks(all[1].header, 20 + 100));
}

// ------------------------------------------------------------ runs

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0777);
    std::ofstream(path, std::ios::binary) << bytes;
}

struct ArchiveRun {
    int status = -1;
    std::string out; // standard output and error
};

// Runs vxarchive in its own process group; kills the group with SIGKILL once
// killWhen holds (checked every millisecond). Unprivileged: run by "nobody"
// when the tests run as root, so that permissions apply; it runs a copy of the
// program, since the build folder may be closed to that user.
ArchiveRun runArchive(const std::vector<std::string>& args,
                      const std::function<bool()>& killWhen = nullptr, bool unprivileged = false) {
    vxtest::ScratchDir logDir("vxarchive-log");
    const std::string log = logDir.path() + "/out";
    std::string program = VX_ARCHIVE_PATH;
    if (unprivileged && ::geteuid() == 0) {
        program = logDir.path() + "/vxarchive";
        writeFile(program, readFile(VX_ARCHIVE_PATH));
        ::chmod(program.c_str(), 0755);
        ::chmod(logDir.path().c_str(), 0755);
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        if (unprivileged && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) || ::setgid(65534) || ::setuid(65534)))
            ::_exit(126);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    ArchiveRun run;
    int status = 0;
    while (::waitpid(pid, &status, killWhen ? WNOHANG : 0) == 0) {
        if (killWhen()) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readFile(log);
    return run;
}

std::vector<vx::CatalogRow> catalog(const std::string& dest) {
    std::vector<vx::CatalogRow> rows;
    std::istringstream lines(readFile(dest + "/catalog.jsonl"));
    std::string line;
    while (std::getline(lines, line)) {
        rows.emplace_back();
        EXPECT_TRUE(vx::rowFromJson(line, rows.back())) << line;
    }
    return rows;
}

// Every file under a folder with its size, to see that a run wrote nothing there.
std::string listing(const std::string& top) {
    std::string cmd = "cd '" + top + "' && find . -printf '%p %s %m\\n' | sort";
    std::string out;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

std::string example(const std::string& name) {
    return readFile(std::string(VX_EXAMPLES_DIR) + "/" + name);
}

// A Capture file split over two floppies: its data cut after 3000 bytes.
void writeTwoFloppies(const std::string& first, const std::string& second) {
    vxtest::CapArbFixture f;
    const std::string body = vxtest::capArbBody(f.padToLength());
    const uint32_t total = uint32_t(body.size() + 20);
    writeFile(first, vxtest::multiDiskHeader(1, total, 0, 3000) + body.substr(0, 3000));
    writeFile(second, vxtest::multiDiskHeader(2, total, 3000, 1400000) + body.substr(3000));
    writeFile(first + ".whole", vxtest::behindMultiDiskHeader(body));
}

TEST(ArchiveRun, MixedTreeWithTwoJobs) {
    vxtest::ScratchDir top("vxarchive");
    const std::string src = top.path() + "/src", dest = top.path() + "/dest";
    writeFile(src + "/a/fft1.56d", example("fft1.56d"));
    writeFile(src + "/a/b/fft1.56d", example("fft1.56d")); // the same name elsewhere
    writeFile(src + "/b/meas.dat", example("meas.dat"));
    writeFile(src + "/b/waterfall", example("run.56w")); // found by content, not name
    writeFile(src + "/b/damaged.56d", example("fft1.56d").substr(0, 300));
    writeFile(src + "/notes.txt", "not an instrument file\n");
    writeTwoFloppies(src + "/disk1/long.56c", src + "/disk2/long.56c");
    const std::string before = listing(src);

    ArchiveRun run = runArchive({src, dest, "--jobs", "2"});
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("6 converted, 1 failed, 0 skipped\n"), std::string::npos) << run.out;
    std::vector<vx::CatalogRow> rows = catalog(dest);
    std::vector<std::string> paths;
    for (const vx::CatalogRow& row : rows)
        paths.push_back(row.path + " " + row.status);
    EXPECT_EQ(paths, (std::vector<std::string>{"a/b/fft1.56d converted", "a/fft1.56d converted",
                                               "b/damaged.56d failed", "b/meas.dat converted",
                                               "b/waterfall converted", "disk1/long.56c converted",
                                               "disk1/long.56c.whole converted"}));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].kind, "VX560 Display");
    EXPECT_EQ(rows[0].measurement, "FFT 1");
    EXPECT_EQ(rows[0].points, 401);
    EXPECT_EQ(rows[0].spanHz, 102400);
    EXPECT_EQ(rows[0].sha256, rows[1].sha256);
    EXPECT_EQ(rows[2].message, "Invalid file format: process aborted");
    EXPECT_EQ(rows[5].segments, std::vector<std::string>{"disk2/long.56c"});
    EXPECT_EQ(rows[5].kind, "Capture");
    // The joined file converts to what the same file on one disk gives.
    for (const char* ext : {"csv", "json"}) {
        const std::string joined = readFile(dest + "/disk1/long.56c." + ext);
        EXPECT_FALSE(joined.empty());
        EXPECT_EQ(joined, readFile(dest + "/disk1/long.56c.whole." + ext)) << ext;
    }
    for (const vx::CatalogRow& row : rows)
        for (const vx::CatalogOutput& out : row.outputs)
            EXPECT_EQ(int64_t(readFile(dest + "/" + out.path).size()), out.size) << out.path;
    EXPECT_EQ(readFile(dest + "/catalog.csv").substr(0, 19), "path,kind,size,sha2");
    EXPECT_EQ(listing(src), before);

    // Missing the second floppy: a failed row naming it.
    ::unlink((src + "/disk2/long.56c").c_str());
    run = runArchive({src, dest, "--to", "csv", "--quiet"});
    EXPECT_EQ(run.status, 1);
    rows = catalog(dest);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[5].message, "missing disk 2 of a file over several floppies");
    EXPECT_EQ(rows[0].status, "converted"); // skipped: unchanged, its csv there
}

// Odd names never reach the engine: each file converts from its own bytes,
// even where the engine's name handling (lower case, case-insensitive match,
// wildcards, a leading dash) would pick another file or none.
TEST(ArchiveRun, OddNamesConvertFromTheirOwnFile) {
    vxtest::ScratchDir top("vxarchive");
    const std::string src = top.path() + "/src", dest = top.path() + "/dest";
    const std::string display = example("fft1.56d"), waterfall = example("run.56w");
    writeFile(src + "/plain/display", display);
    writeFile(src + "/plain/waterfall", waterfall);
    const std::pair<std::string, const std::string*> odd[] = {
        {"Twin.56d", &display},    {"twin.56d", &waterfall},  {"-o.56d", &waterfall},
        {"line\nbreak", &display}, {"latin\xe9", &waterfall}, {"st*r?.56d", &display},
        {" sp ace ", &waterfall}};
    for (const auto& [name, bytes] : odd)
        writeFile(src + "/odd/" + name, *bytes);
    ArchiveRun run = runArchive({src, dest, "--jobs", "2", "--to", "asc"});
    EXPECT_EQ(run.status, 0) << run.out;
    // The same bytes but for the first line, which names the source.
    const auto body = [](const std::string& out) { return out.substr(out.find('\n')); };
    for (const auto& [name, bytes] : odd) {
        const std::string plain = bytes == &display ? "display" : "waterfall";
        const std::string out = readFile(dest + "/odd/" + name + ".asc");
        EXPECT_FALSE(out.empty()) << name;
        EXPECT_EQ(body(out), body(readFile(dest + "/plain/" + plain + ".asc"))) << name;
    }
}

// Outputs and messages name the source by its path under SRC as vxconv names
// an input given by that path (lower-cased), never by the name the engine
// reads it under; a byte that would break a header line is written as '?'.
TEST(ArchiveRun, OutputsAndMessagesNameTheSourcePath) {
    vxtest::ScratchDir top("vxarchive");
    const std::string src = top.path() + "/src", dest = top.path() + "/dest";
    writeFile(src + "/Disk1/FFT1.56d", example("fft1.56d"));
    writeFile(src + "/odd/line\nbreak.56d", example("fft1.56d"));
    vxtest::CapArbFixture capture;
    writeFile(src + "/Disk1/short.56c", vxtest::capArbFile(capture.padToLength()).substr(0, 1000));
    ArchiveRun run = runArchive({src, dest, "--to", "asc,mat", "--quiet"});
    EXPECT_EQ(run.status, 1) << run.out;
    const std::string asc = readFile(dest + "/Disk1/FFT1.56d.asc");
    EXPECT_EQ(asc.substr(0, asc.find('\n') + 1), "Input File: disk1/fft1.56d\r\n");
    EXPECT_EQ(readFile(dest + "/Disk1/FFT1.56d.mat").substr(20, 5), std::string("fft1\0", 5));
    const std::string odd = readFile(dest + "/odd/line\nbreak.56d.asc");
    EXPECT_EQ(odd.substr(0, odd.find('\n') + 1), "Input File: odd/line?break.56d\r\n");
    const std::vector<vx::CatalogRow> rows = catalog(dest);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].path, "Disk1/short.56c");
    const std::string processing = "Processing disk1/short.56c ==> disk1/short.56c.asc; ";
    EXPECT_EQ(rows[1].message.rfind(processing, 0), 0u) << rows[1].message;
    EXPECT_NE(run.out.find("\"Disk1/short.56c\": " + processing),
              std::string::npos)
        << run.out;
}

TEST(ArchiveRun, KilledMidwayThenResumed) {
    vxtest::ScratchDir top("vxarchive");
    const std::string src = top.path() + "/src", dest = top.path() + "/dest";
    const std::string display = example("fft1.56d");
    for (int i = 0; i < 300; ++i)
        writeFile(src + "/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".56d", display);
    ArchiveRun run = runArchive({src, dest, "--jobs", "2"}, [&] {
        std::ifstream journal(dest + "/.vxarchive/journal.jsonl");
        return std::count(std::istreambuf_iterator<char>(journal), {}, '\n') >= 40;
    });
    EXPECT_EQ(run.status, 128 + SIGKILL);
    run = runArchive({src, dest, "--jobs", "2"});
    EXPECT_EQ(run.status, 0) << run.out;
    size_t converted = 0, skipped = 0;
    EXPECT_EQ(
        std::sscanf(run.out.c_str(), "%zu converted, 0 failed, %zu skipped", &converted, &skipped),
        2)
        << run.out;
    EXPECT_EQ(converted + skipped, 300u);
    EXPECT_GE(skipped, 40u);
    EXPECT_EQ(catalog(dest).size(), 300u);
    EXPECT_EQ(listing(dest).find(".vxconv-part"), std::string::npos);
    EXPECT_EQ(listing(dest + "/.vxarchive"), ". 4096 755\n./lock 0 644\n");
}

TEST(ArchiveRun, HostileTreesGiveRowsOrWarnings) {
    struct Case {
        const char* name;
        std::function<void(const std::string& src)> build;
        int status;
        const char* expected;      // in the output or in the catalog
        const char* dest = "dest"; // under the top, where src is
        bool unprivileged = false;
    };
    const std::string display = example("fft1.56d");
    const Case cases[] = {
        {"link loop", [](const std::string& src) { ::symlink("..", (src + "/a/up").c_str()); }, 0,
         "\"a/up\": symbolic link not followed"},
        {"200 folders deep",
         [&](const std::string& src) {
             std::string deep = src;
             for (int i = 0; i < 200; ++i)
                 deep += "/d";
             writeFile(deep + "/deep.56d", display);
         },
         0, "d/d/d/deep.56d"},
        {"odd names",
         [&](const std::string& src) {
             writeFile(src + "/line\nbreak.56d", display);
             writeFile(src + "/latin\xe9.56d", display);
         },
         0, "latin\\udce9.56d"},
        {"a FIFO", [](const std::string& src) { ::mkfifo((src + "/a/pipe").c_str(), 0644); }, 0,
         "\"a/pipe\": not a regular file"},
        {"a folder it may not read",
         [&](const std::string& src) {
             writeFile(src + "/locked/x.56d", display);
             ::chmod((src + "/locked").c_str(), 0);
         },
         1, "warning: \"locked\": folder cannot be read: Permission denied", "dest", true},
        {"DEST inside SRC", [](const std::string&) {}, 2, "is inside SRC", "src/a/out"},
        {"SRC inside DEST", [](const std::string&) {}, 2, "is inside DEST", "."},
    };
    for (const Case& c : cases) {
        vxtest::ScratchDir top("vxarchive");
        if (c.unprivileged) ::chmod(top.path().c_str(), 0777); // DEST made by "nobody"
        const std::string src = top.path() + "/src";
        writeFile(src + "/a/ok.56d", display);
        c.build(src);
        const std::string before = listing(src);
        const std::string dest = top.path() + "/" + c.dest;
        ArchiveRun run = runArchive({src, dest, "--to", "csv"}, nullptr, c.unprivileged);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.out;
        const std::string all = run.out + readFile(dest + "/catalog.jsonl");
        EXPECT_NE(all.find(c.expected), std::string::npos) << c.name << ": " << all;
        for (const vx::CatalogRow& row : catalog(dest))
            EXPECT_TRUE(row.converted()) << c.name << ": " << row.path;
        EXPECT_EQ(listing(src), before) << c.name;
        ::chmod((src + "/locked").c_str(), 0755); // removable again
    }
}

// Files that vanish, come back and grow while the run goes on: every row is
// valid, the files left alone convert, a converted row's outputs are there
// with their sizes, the run ends with 0 or 1, and nothing is written under SRC.
TEST(ArchiveRun, FilesChangingDuringTheRun) {
    vxtest::ScratchDir top("vxarchive");
    const std::string src = top.path() + "/src", dest = top.path() + "/dest";
    const std::string display = example("fft1.56d");
    std::vector<std::string> victims;
    for (int i = 0; i < 200; ++i) {
        const std::string name = "d" + std::to_string(i % 5) + "/f" + std::to_string(i) + ".56d";
        writeFile(src + "/" + name, display);
        if (i % 10 == 0) victims.push_back(name);
    }
    std::atomic<bool> done{false};
    std::thread meddler([&] {
        for (size_t round = 0; !done; ++round) {
            const std::string path = src + "/" + victims[round % victims.size()];
            if (round % 2) {
                ::unlink(path.c_str());
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                writeFile(path, display);
            } else {
                std::ofstream(path, std::ios::binary | std::ios::app) << "grown";
            }
        }
    });
    const ArchiveRun run = runArchive({src, dest, "--to", "csv", "--jobs", "2"});
    done = true;
    meddler.join();
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.out;
    for (const vx::CatalogRow& row : catalog(dest)) {
        const bool victim = std::find(victims.begin(), victims.end(), row.path) != victims.end();
        EXPECT_TRUE(victim || row.converted()) << row.path << ": " << row.message;
        if (!row.converted()) continue;
        for (const vx::CatalogOutput& out : row.outputs)
            EXPECT_EQ(int64_t(readFile(dest + "/" + out.path).size()), out.size) << out.path;
    }
    EXPECT_EQ(listing(dest).find(".vxconv-part"), std::string::npos);
    EXPECT_EQ(listing(src).find(".csv"), std::string::npos);
}

// A second run over outputs that are there: each is replaced whole (the file
// it replaces is written again as a later output, so every one is checked
// against the first run's bytes after being made longer), while an old output
// with another link, or held open, keeps its old bytes there.
TEST(ArchiveRun, ReplacedOutputsSeenElsewhereKeepTheirBytes) {
    vxtest::ScratchDir top("vxarchive");
    const std::string src = top.path() + "/src", dest = top.path() + "/dest";
    for (int i = 0; i < 12; ++i)
        writeFile(src + "/f" + std::to_string(i) + ".56d", example("fft1.56d"));
    ASSERT_EQ(runArchive({src, dest, "--to", "csv,asc", "--jobs", "1", "--quiet"}).status, 0);
    std::vector<std::string> outputs, firstBytes;
    for (const vx::CatalogRow& row : catalog(dest))
        for (const vx::CatalogOutput& out : row.outputs) {
            outputs.push_back(dest + "/" + out.path);
            firstBytes.push_back(readFile(outputs.back()));
            writeFile(outputs.back(), firstBytes.back() + std::string(5000, 'x'));
        }
    ASSERT_EQ(outputs.size(), 24u);
    const std::string linked = top.path() + "/linked", old = readFile(outputs[3]);
    ASSERT_EQ(::link(outputs[3].c_str(), linked.c_str()), 0);
    const int held = ::open(outputs[7].c_str(), O_RDONLY);
    ASSERT_GE(held, 0);

    ASSERT_EQ(runArchive({src, dest, "--to", "csv,asc", "--jobs", "1", "--force"}).status, 0);
    for (size_t i = 0; i < outputs.size(); ++i)
        EXPECT_EQ(readFile(outputs[i]), firstBytes[i]) << outputs[i];
    EXPECT_EQ(readFile(linked), old);
    std::string heldBytes(firstBytes[7].size() + 5000, '\0');
    EXPECT_EQ(::pread(held, heldBytes.data(), heldBytes.size(), 0), ssize_t(heldBytes.size()));
    EXPECT_EQ(heldBytes, firstBytes[7] + std::string(5000, 'x'));
    ::close(held);
    EXPECT_EQ(listing(top.path()).find(".vxconv-part"), std::string::npos);
}

} // namespace
