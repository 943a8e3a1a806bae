// Transcripts under tests/cli/ run against the built vxconv. A transcript has
// a comment line, "args:" and "status:" lines, and sections:
//   --- setup NAME     file created in the working directory before the run
//   --- setupbin NAME  the same, with \xHH escapes decoded and line ends dropped
//   --- stdin          standard input
//   --- stdout         expected console output (the line "<banner-date>" stands
//                      for the banner's build date line)
//   --- file NAME      expected contents of a file after the run
//   --- filebin NAME   the same, with \xHH escapes decoded and line ends dropped
//   --- absent NAME    a file that must not exist after the run
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

struct Section {
    std::string kind, name, text;
};

struct Transcript {
    std::vector<std::string> args;
    int status = 0;
    std::vector<Section> sections;
};

std::vector<std::string> splitWords(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w == "''" ? "" : w);
    return words;
}

Transcript load(const std::string& path) {
    Transcript t;
    std::ifstream in(path);
    Section* cur = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("--- ", 0) == 0) {
            std::istringstream head(line.substr(4));
            Section s;
            head >> s.kind >> s.name;
            t.sections.push_back(s);
            cur = &t.sections.back();
        } else if (cur) {
            cur->text += line + "\n";
        } else if (line.rfind("args:", 0) == 0) {
            t.args = splitWords(line.substr(5));
        } else if (line.rfind("status:", 0) == 0) {
            t.status = std::stoi(line.substr(7));
        }
    }
    return t;
}

// Replaces the banner's build-date line so output compares across builds.
std::string maskBannerDate(const std::string& out) {
    static const std::regex date(
        "^[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}   Revision Version 3\\.00$",
        std::regex::multiline);
    return std::regex_replace(out, date, "<banner-date>");
}

// Decodes \xHH escapes; line ends only separate the text.
std::string decodeEscapes(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') continue;
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class CliTranscript : public ::testing::TestWithParam<std::string> {};

TEST_P(CliTranscript, MatchesConsoleStatusAndFiles) {
    Transcript t = load(std::string(VX_CLI_DIR) + "/" + GetParam());
    vxtest::TempDir dir;
    std::string stdinText;
    for (const Section& s : t.sections) {
        if (s.kind == "setup") dir.write(s.name, s.text);
        if (s.kind == "setupbin") dir.write(s.name, decodeEscapes(s.text));
        if (s.kind == "stdin") stdinText = s.text;
    }
    vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, t.args, dir.path(), stdinText);
    EXPECT_EQ(r.status, t.status);
    for (const Section& s : t.sections) {
        if (s.kind == "stdout") {
            EXPECT_EQ(maskBannerDate(r.out), s.text);
        } else if (s.kind == "file") {
            EXPECT_EQ(readFile(dir.path() + "/" + s.name), s.text) << s.name;
        } else if (s.kind == "filebin") {
            EXPECT_EQ(readFile(dir.path() + "/" + s.name), decodeEscapes(s.text)) << s.name;
        } else if (s.kind == "absent") {
            EXPECT_FALSE(dir.exists(s.name)) << s.name;
        }
    }
}

std::vector<std::string> transcripts() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(VX_CLI_DIR))
        if (e.path().extension() == ".txt") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cli, CliTranscript, ::testing::ValuesIn(transcripts()),
                         [](const auto& info) {
                             std::string n = info.param.substr(0, info.param.size() - 4);
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

} // namespace
