// Display files to ASCII in-process: an 800-line spectrum and a 2048-point
// time record, with the default columns and with six columns. Each iteration
// is a whole job: parse, read the file, write the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "BenchInputs.h"
#include "run/OptionMgr.h"
#include "support/Catalogue.h"
#include "support/TestModel.h"

namespace {

struct Inputs {
    std::string dir;
    std::string fft800;
    std::string time2048;
};

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const Inputs& inputs() {
    static const Inputs files = [] {
        // Lower case only: the job lower-cases the names it is given.
        Inputs in{"/tmp/vxbench-" + std::to_string(getpid()), "", ""};
        mkdir(in.dir.c_str(), 0700);
        in.fft800 = in.dir + "/fft800.56d";
        in.time2048 = in.dir + "/time2048.56d";
        writeFile(in.fft800, vxbench::fft800File());
        writeFile(in.time2048, vxbench::time2048File());
        return in;
    }();
    return files;
}

// Console progress lines go to /dev/null while the job runs.
class QuietStdout {
  public:
    explicit QuietStdout(bool quiet) : saved_(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        if (!quiet) return;
        std::FILE* null = std::fopen("/dev/null", "w");
        dup2(fileno(null), STDOUT_FILENO);
        std::fclose(null);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }

  private:
    int saved_;
};

int convert(const std::string& input, const std::string& output, const char* columns) {
    std::vector<std::string> args = {"vxconv", input, output};
    if (columns) args.emplace_back(columns);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    vx::COptionMgr job(vxtest::testModel(), static_cast<int>(argv.size()), argv.data(), nullptr);
    return job.run().code();
}

void traceToAscii(benchmark::State& state, const std::string& input, int64_t values, const char* columns) {
    std::string output = inputs().dir + "/out.asc";
    int status = 0;
    {
        QuietStdout quiet(std::getenv("VX_BENCH_VERBOSE") == nullptr);
        for (auto _ : state) status |= convert(input, output, columns);
    }
    if (status != 0) state.SkipWithError("conversion failed");
    state.SetItemsProcessed(state.iterations() * values);
}

void BM_Spectrum800(benchmark::State& state) { traceToAscii(state, inputs().fft800, 801, nullptr); }
void BM_Spectrum800SixColumns(benchmark::State& state) {
    traceToAscii(state, inputs().fft800, 801, "/cx,r,i,mag,p,up");
}
void BM_Time2048(benchmark::State& state) { traceToAscii(state, inputs().time2048, 2048, nullptr); }
void BM_Time2048FourColumns(benchmark::State& state) {
    traceToAscii(state, inputs().time2048, 2048, "/cx,r,mag,m2");
}

} // namespace

BENCHMARK(BM_Spectrum800)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Spectrum800SixColumns)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Time2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Time2048FourColumns)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const Inputs& in = inputs();
    for (const std::string& f : {in.fft800, in.time2048, in.dir + "/out.asc"}) std::remove(f.c_str());
    rmdir(in.dir.c_str());
    return 0;
}
