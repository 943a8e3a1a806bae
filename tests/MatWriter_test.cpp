// MAT output of fixture traces, read back by a real MAT reader (scipy) and
// compared with the ASCII output of the same trace and columns; the header
// fields, array names, appending and the empty trace.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "base/LeBytes.h"
#include "base/Options.h"
#include "display/DisplayFile.h"
#include "mat/MatWriter.h"
#include "support/AsciiValues.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

namespace {

// Prints every matrix of a MAT file: "name rows cols complex", then one line
// per row with the real and imaginary part of each element.
const char* const kDumpScript = R"(
import sys
import numpy
import scipy.io
m = scipy.io.loadmat(sys.argv[1])
for name in sorted(k for k in m if not k.startswith('__')):
    a = m[name]
    print(name, a.shape[0], a.shape[1], int(numpy.iscomplexobj(a)))
    for row in a:
        print(' '.join('%.9g %.9g' % (complex(v).real, complex(v).imag) for v in row))
)";

struct Matrix {
    std::string name;
    int rows = 0, cols = 0;
    bool complex = false;
    std::vector<std::vector<double>> re, im; // [row][column]
};

std::string python() {
    const char* p = std::getenv("VX_PYTHON");
    return p ? p : "/usr/bin/python3";
}

// The matrices of a MAT file as scipy.io.loadmat reads them.
std::vector<Matrix> loadMat(const std::string& dir, const std::string& file) {
    vxtest::RunResult r = vxtest::runProgram(python(), {"-c", kDumpScript, file}, dir, "");
    EXPECT_EQ(r.status, 0) << "reading MAT files needs " << python()
                           << " with scipy (Debian package python3-scipy): " << r.out;
    std::vector<Matrix> out;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) {
        std::istringstream head(line);
        Matrix m;
        int complex = 0;
        if (!(head >> m.name >> m.rows >> m.cols >> complex)) continue;
        m.complex = complex != 0;
        for (int i = 0; i < m.rows && std::getline(in, line); ++i) {
            std::istringstream values(line);
            m.re.emplace_back(m.cols);
            m.im.emplace_back(m.cols);
            for (int c = 0; c < m.cols; ++c) values >> m.re[i][c] >> m.im[i][c];
        }
        out.push_back(m);
    }
    return out;
}

int32_t headerField(const std::string& bytes, int index) {
    return static_cast<int32_t>(
        vx::getLe32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4 * index));
}

struct MatOutput : ::testing::Test {
    vxtest::TempDir dir;
    void SetUp() override {
        vxtest::prepareCatalogue();
        vxtest::resetCatalogue();
        dir.write("g0.56d", vxtest::groupDisplayFile(0));
        vxtest::resetCatalogue();
    }
    void TearDown() override { vxtest::resetCatalogue(); }
    vxtest::RunResult convert(const std::string& input, std::vector<std::string> options) {
        options.insert(options.begin(), {input, "out.mat", "/Omat"});
        return vxtest::runProgram(VX_CONV_PATH, options, dir.path(), "");
    }
    // Compares column `matCol` of the matrix with the ASCII values of column
    // `asciiCol` (NAN for a part that must be zero).
    static void expectColumn(const std::vector<std::vector<double>>& part, int matCol,
                             const std::vector<std::vector<double>>& ascii, int asciiCol) {
        ASSERT_EQ(part.size(), ascii.size());
        for (size_t i = 0; i < part.size(); ++i) {
            double want = asciiCol < 0 ? 0.0 : ascii[i][asciiCol];
            ASSERT_EQ(float(part[i][matCol]), float(want)) << "row " << i << " column " << matCol;
        }
    }
};

TEST_F(MatOutput, DefaultColumnsAreTheXValuesAndOneComplexColumn) {
    ASSERT_EQ(convert("g0.56d", {}).status, 0);
    std::string bytes = dir.read("out.mat");
    EXPECT_EQ(headerField(bytes, 0), 10);
    EXPECT_EQ(headerField(bytes, 1), 401);
    EXPECT_EQ(headerField(bytes, 2), 2);
    EXPECT_EQ(headerField(bytes, 3), 1);
    EXPECT_EQ(headerField(bytes, 4), 3);
    EXPECT_EQ(bytes.size(), 20u + 3 + 2 * 4 * 401 * 2);

    std::vector<Matrix> mats = loadMat(dir.path(), "out.mat");
    ASSERT_EQ(mats.size(), 1u);
    const Matrix& m = mats[0];
    EXPECT_EQ(m.name, "g0");
    EXPECT_EQ(m.rows, 401);
    EXPECT_EQ(m.cols, 2);
    EXPECT_TRUE(m.complex);
    auto ascii = vxtest::asciiValues(dir.path(), "g0.56d", "x,r,i");
    expectColumn(m.re, 0, ascii, 0);
    expectColumn(m.im, 0, ascii, -1);
    expectColumn(m.re, 1, ascii, 1);
    expectColumn(m.im, 1, ascii, 2);
}

TEST_F(MatOutput, MagnitudeColumnsAreRealWithoutAnImaginaryPart) {
    ASSERT_EQ(convert("g0.56d", {"/Cx,mag"}).status, 0);
    std::string bytes = dir.read("out.mat");
    EXPECT_EQ(headerField(bytes, 2), 2);
    EXPECT_EQ(headerField(bytes, 3), 0);
    EXPECT_EQ(bytes.size(), 20u + 3 + 4 * 401 * 2);
    std::vector<Matrix> mats = loadMat(dir.path(), "out.mat");
    ASSERT_EQ(mats.size(), 1u);
    EXPECT_FALSE(mats[0].complex);
    auto ascii = vxtest::asciiValues(dir.path(), "g0.56d", "x,mag");
    expectColumn(mats[0].re, 0, ascii, 0);
    expectColumn(mats[0].re, 1, ascii, 1);
}

TEST_F(MatOutput, AnImaginaryColumnBeforeTheRealOneStaysUnpaired) {
    ASSERT_EQ(convert("g0.56d", {"/Ci,r"}).status, 0);
    std::string bytes = dir.read("out.mat");
    EXPECT_EQ(headerField(bytes, 2), 2);
    EXPECT_EQ(headerField(bytes, 3), 1);
    std::vector<Matrix> mats = loadMat(dir.path(), "out.mat");
    ASSERT_EQ(mats.size(), 1u);
    auto ascii = vxtest::asciiValues(dir.path(), "g0.56d", "i,r");
    expectColumn(mats[0].re, 0, ascii, -1);
    expectColumn(mats[0].im, 0, ascii, 0);
    expectColumn(mats[0].re, 1, ascii, 1);
    expectColumn(mats[0].im, 1, ascii, -1);
}

TEST_F(MatOutput, ArrayNamesComeFromTheInputOrTheGOption) {
    dir.write("3rd.56D", vxtest::groupDisplayFile(0));
    dir.write("a-b.56d", vxtest::groupDisplayFile(0));
    vxtest::resetCatalogue();
    vxtest::RunResult r = convert("3rd.56D", {});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Array Name incomaptible with Matlab(tm), prepending 'qrb'\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(loadMat(dir.path(), "out.mat").at(0).name, "qrb3rd");

    r = convert("g0.56d", {"/GData"});
    EXPECT_EQ(r.out.find("prepending"), std::string::npos);
    std::string bytes = dir.read("out.mat");
    EXPECT_EQ(headerField(bytes, 4), 5);
    EXPECT_EQ(bytes.substr(20, 5), std::string("data\0", 5));

    ASSERT_EQ(convert("a-b.56d", {}).status, 0);
    EXPECT_EQ(dir.read("out.mat").substr(20, 4), std::string("a-b\0", 4));
}

TEST(MatArrayName, LowerCasesAndChecksOnlyTheFirstCharacter) {
    vxtest::TempDir dir;
    EXPECT_EQ(vx::matArrayName("", "data/Run1.56D"), "run1");
    EXPECT_EQ(vx::matArrayName("ABC", "x.56d"), "abc");
    EXPECT_EQ(vx::matArrayName("_x", ""), "qrb_x");
    EXPECT_EQ(vx::matArrayName("", ""), "qrb");
}

// Loads a fixture trace in this process and writes it with a MAT writer.
struct MatWriterInProcess : MatOutput {
    void SetUp() override {
        MatOutput::SetUp();
        vx::resetJobOptions(vxtest::testModel().options);
        const int32_t xri[] = {vx::eColX, vx::eColReal, vx::eColImag, vx::eColEnd};
        std::memcpy(vxtest::testModel().options.columns, xri, sizeof xri);
        vx::CTraceReader reader(vxtest::testModel());
        ASSERT_EQ(reader.open("g0.56d"), 0);
    }
    void TearDown() override {
        vx::resetJobOptions(vxtest::testModel().options);
        vxtest::testModel().trace.reset();
        MatOutput::TearDown();
    }
    vx::Status write(const char* arrayName, bool append) {
        std::snprintf(vxtest::testModel().options.arrayName,
                      sizeof vxtest::testModel().options.arrayName, "%s", arrayName);
        vx::CMatLabWriter writer(vxtest::testModel());
        writer.setAppend(append);
        vx::Status st = writer.write("out.mat");
        writer.close();
        return st;
    }
};

TEST_F(MatWriterInProcess, AppendingAddsASecondMatrix) {
    ASSERT_EQ(write("first", false), 0);
    ASSERT_EQ(write("second", true), 0);
    std::vector<Matrix> mats = loadMat(dir.path(), "out.mat");
    ASSERT_EQ(mats.size(), 2u);
    EXPECT_EQ(mats[0].name, "first");
    EXPECT_EQ(mats[1].name, "second");
    EXPECT_EQ(mats[0].re, mats[1].re);
    EXPECT_EQ(mats[0].im, mats[1].im);
}

TEST_F(MatWriterInProcess, AnEmptyTraceKeepsTheHeaderAndFails) {
    vxtest::testModel().trace.reset();
    testing::internal::CaptureStdout();
    EXPECT_EQ(write("abc", false), 1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("No data to extract\n"),
              std::string::npos);
    std::string bytes = dir.read("out.mat");
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(headerField(bytes, 1), 0);
    EXPECT_EQ(headerField(bytes, 4), 4);
    EXPECT_EQ(bytes.substr(20), std::string("abc\0", 4));
}

} // namespace
