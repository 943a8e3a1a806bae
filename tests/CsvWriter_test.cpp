// CSV output of every input kind read back with no options by pandas, numpy
// and the csv module, and compared with the ASCII output of the same file,
// columns and units; the header row's quoting and unique names; a golden.
#include "csv/CsvRows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/AsciiValues.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "support/RunProgram.h"
#include "support/SdfFixture.h"
#include "support/SharedFiles.h"
#include "support/TempDir.h"
#include "support/WaterfallFixture.h"
#include "timebuf/CapArb.h"

namespace {

// Reads each file with the csv module, pandas.read_csv and numpy.genfromtxt,
// fails unless the three agree, and prints "file", the names (one line, "|"
// between them), then the rows of values.
const char* const kReadScript = R"(
import csv, sys, numpy, pandas
for path in sys.argv[1:]:
    with open(path, newline='') as f:
        rows = list(csv.reader(f))
    names, values = rows[0], [[float(v) for v in r] for r in rows[1:]]
    frame = pandas.read_csv(path)
    table = numpy.atleast_1d(numpy.genfromtxt(path, delimiter=',', names=True))
    assert list(frame.columns) == names, (list(frame.columns), names)
    assert len(table.dtype.names) == len(names), table.dtype.names
    assert frame.shape == (len(values), len(names)), frame.shape
    for k in range(len(names)):
        column = [r[k] for r in values]
        assert list(frame.iloc[:, k]) == column, (path, names[k])
        assert list(table[table.dtype.names[k]]) == column, (path, names[k])
    print('file')
    print('|'.join(names))
    for r in values:
        print(' '.join(repr(v) for v in r))
)";

std::string python() {
    const char* p = std::getenv("VX_PYTHON");
    return p ? p : "/usr/bin/python3";
}

struct CsvFile {
    std::vector<std::string> names;
    std::vector<std::vector<double>> rows;
};

struct CsvOutput : ::testing::Test {
    vxtest::TempDir dir;
    void SetUp() override { vxtest::resetCatalogue(); }
    void TearDown() override { vxtest::resetCatalogue(); }

    void convert(const std::string& input, const std::string& output,
                 std::vector<std::string> options = {}) {
        options.insert(options.begin(), {input, output, "/Ocsv"});
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, options, dir.path(), "");
        ASSERT_EQ(r.status, 0) << r.out;
    }

    // The files as the readers see them; empty when python lacks pandas.
    std::vector<CsvFile> readAll(const std::vector<std::string>& files) {
        std::vector<std::string> args{"-c", kReadScript};
        args.insert(args.end(), files.begin(), files.end());
        vxtest::RunResult r = vxtest::runProgram(python(), args, dir.path(), "");
        EXPECT_EQ(r.status, 0) << r.out;
        std::vector<CsvFile> out;
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);) {
            if (line == "file") {
                out.emplace_back();
                std::getline(in, line);
                std::istringstream names(line);
                for (std::string name; std::getline(names, name, '|');)
                    out.back().names.push_back(name);
            } else if (!out.empty()) {
                std::istringstream values(line);
                out.back().rows.emplace_back();
                for (double v; values >> v;)
                    out.back().rows.back().push_back(v);
            }
        }
        return out;
    }
};

bool pandasMissing() {
    return vxtest::runProgram(python(), {"-c", "import numpy, pandas"}, ".", "").status != 0;
}

// Column k of the CSV rows (from `first`) against column k - first of ASCII's.
void expectSameValues(const CsvFile& csv, size_t first,
                      const std::vector<std::vector<double>>& ascii) {
    ASSERT_EQ(csv.rows.size(), ascii.size());
    for (size_t i = 0; i < ascii.size(); ++i) {
        ASSERT_EQ(csv.rows[i].size(), first + ascii[i].size()) << "row " << i;
        for (size_t k = 0; k < ascii[i].size(); ++k)
            ASSERT_EQ(float(csv.rows[i][first + k]), float(ascii[i][k]))
                << "row " << i << " column " << first + k;
    }
}

TEST_F(CsvOutput, EveryInputKindReadsWithoutOptionsAsTheAsciiValues) {
    if (pandasMissing())
        GTEST_SKIP() << "reading CSV needs " << python()
                     << " with pandas and numpy (Debian python3-pandas, python3-numpy)";
    dir.write("g0.56d", vxtest::groupDisplayFile(0));
    vxtest::resetCatalogue();
    dir.write("orbit.56d", vxtest::measurementDisplayFile(0, 8)); // a Nyquist view
    vxtest::resetCatalogue();
    dir.write("g2.dat", vxtest::sdfFile(vxtest::sdfSampleOf(2)));
    dir.write("w.56w", vxtest::waterfallFixture(true, true, 0, 4).file());
    vxtest::CapArbFixture capture;
    capture.inputRange[0] = 10;
    for (int i = 0; i < 3000; ++i)
        capture.samples.push_back((i % 97 - 48) * 11000000);
    dir.write("c.56c", vxtest::capArbFile(capture.padToLength()));
    capture.kind = vx::eKindArb;
    dir.write("a.56c", vxtest::capArbFile(capture));

    struct Case {
        const char* input;
        std::string columns;
        std::vector<std::string> options;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"g0.56d",
         "x,v,mag,mag,p",
         {"/Urms,lin,rad"},
         {"Frequency (Hz)", "Magnitude (Vrms)", "Magnitude (Vrms) 2", "Magnitude (Vrms) 3",
          "Phase (rads)"}},
        {"orbit.56d", "x,v", {}, {}},
        {"g2.dat", "x,m2,up", {}, {}},
        {"w.56w", "x,r,i", {"/WB", "/S1", "/R2"}, {}},
        {"c.56c", "", {}, {"Time (s)", "Channel 1 (V)"}},
        {"a.56c", "", {}, {"Time (s)", "Source (fraction of full scale)"}},
    };
    std::vector<std::string> outputs;
    for (const Case& c : cases) {
        std::vector<std::string> options = c.options;
        if (!c.columns.empty()) options.push_back("/C" + c.columns);
        outputs.push_back(std::string(c.input) + ".csv");
        convert(c.input, outputs.back(), options);
    }
    std::vector<CsvFile> read = readAll(outputs);
    ASSERT_EQ(read.size(), cases.size());
    for (size_t n = 0; n < cases.size(); ++n) {
        const Case& c = cases[n];
        SCOPED_TRACE(c.input);
        if (!c.names.empty()) {
            EXPECT_EQ(read[n].names, c.names);
        }
        const bool capArb = c.columns.empty();
        const bool waterfall = std::string(c.input) == "w.56w";
        auto ascii = vxtest::asciiValues(dir.path(), c.input, capArb ? "x" : c.columns, c.options);
        ASSERT_FALSE(ascii.empty());
        expectSameValues(read[n], capArb || waterfall ? 1 : 0, ascii);
        for (size_t i = 0; i < read[n].rows.size(); ++i) {
            // Long form: slice 1, then slice 2; samples at 262144 per second.
            if (waterfall) {
                EXPECT_EQ(read[n].rows[i][0], i < read[n].rows.size() / 2 ? 1 : 2);
            } else if (capArb) {
                ASSERT_EQ(read[n].rows[i][0], i / 262144.0) << "sample " << i;
            }
        }
    }
}

TEST_F(CsvOutput, RealSdfFileReadsAsTheAsciiValues) {
    VX_SHARED_FILE_OR_SKIP(a, "testdata/sdf/HP35665A.DAT");
    if (pandasMissing()) GTEST_SKIP() << "reading CSV needs " << python() << " with pandas";
    dir.write("a.dat", a); // the other real file has more lines than a Display trace takes
    convert("a.dat", "a.csv", {"/Cx,v,p"});
    std::vector<CsvFile> read = readAll({"a.csv"});
    ASSERT_EQ(read.size(), 1u);
    expectSameValues(read[0], 0, vxtest::asciiValues(dir.path(), "a.dat", "x,v,p"));
}

TEST(CsvRows, NamesAreQuotedWhenNeededAndMadeUnique) {
    vxtest::MemStream out;
    {
        vx::CCsvRows rows(out);
        rows.header({"a,b", "say \"x\"", "a,b", "a,b 2", "plain"});
        rows.field(0.1f);
        rows.field(0.1);
        rows.field(int32_t{-7});
        rows.field(1e-45f);
        rows.field(-0.0f);
        rows.field(0.000102996826171875); // 18 digits in fixed notation
        rows.endRow();
        ASSERT_TRUE(rows.flush().ok());
    }
    EXPECT_EQ(out.bytes(), "\"a,b\",\"say \"\"x\"\"\",\"a,b 2\",\"a,b 2 2\",plain\n"
                           "0.1,0.1,-7,1e-45,-0,1.02996826171875e-04\n");
}

TEST_F(CsvOutput, DisplayFixtureMatchesItsGolden) {
    dir.write("g0.56d", vxtest::groupDisplayFile(0));
    vxtest::resetCatalogue();
    convert("g0.56d", "g0.csv", {"/Cx,v,p"});
    std::string text = dir.read("g0.csv");
    const std::string path = std::string(VX_GOLDEN_DIR) + "/csv_group0.csv";
    if (std::getenv("VX_UPDATE_GOLDEN")) std::ofstream(path, std::ios::binary) << text;
    std::ifstream golden(path, std::ios::binary);
    std::stringstream want;
    want << golden.rdbuf();
    EXPECT_EQ(text, want.str());
}

} // namespace
