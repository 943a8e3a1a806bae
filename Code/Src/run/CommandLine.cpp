// Option tokenizer over the settings file and the argument vector.
#include "run/CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "base/Platform.h"

namespace vx {

bool isOptionToken(const char* token) {
    if (token[0] != '-' && token[0] != '/') return false;
    // An absolute path under an existing root directory is a file name.
    return !platform::isRootedFileName(token);
}

CCommandLine::CCommandLine(int argc, char** argv, const char* optionLetters,
                           const char* settingsFile)
    : letters_(optionLetters), argc_(argc), argv_(argv) {
    if (settingsFile) readSettings(settingsFile);
    inSettings_ = !settings_.empty();
    argIndex_ = inSettings_ ? 0 : 1;
}

namespace {

// One line of at most maxLen characters; a newline or a NUL byte ends it.
// False at the end of the file, or for a longer line (its text is not used).
bool readSettingsLine(FILE* f, std::string& line, size_t maxLen) {
    line.clear();
    int c;
    while ((c = std::fgetc(f)) != EOF && c != '\n' && c != '\0') {
        if (line.size() == maxLen) return false;
        line += static_cast<char>(c);
    }
    return c != EOF || !line.empty();
}

} // namespace

void CCommandLine::readSettings(const char* settingsFile) {
    // Only a regular file: a FIFO or a device would block or never end.
    struct stat st;
    std::string path;
    if (!platform::statOnDisk(settingsFile, st, &path) || !S_ISREG(st.st_mode)) return;
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return;
    std::string text;
    while (readSettingsLine(f, text, kMaxSettingsLine)) {
        char* line = text.data();
        static const char* kWhite = " \t\n\v\f\r";
        for (char* tok = std::strtok(line, kWhite); tok; tok = std::strtok(nullptr, kWhite)) {
            if (settings_.size() >= kMaxSettingsTokens) break; // the rest is ignored
            size_t n = std::min(std::strlen(tok), kMaxTokenLen);
            settings_.emplace_back(tok, tok + n);
            settings_.back().push_back('\0');
        }
    }
    std::fclose(f);
}

size_t CCommandLine::tokenCount() const {
    return inSettings_ ? settings_.size() : static_cast<size_t>(argc_ < 0 ? 0 : argc_);
}

char* CCommandLine::token(size_t index) {
    if (index >= tokenCount()) return nullptr;
    return inSettings_ ? settings_[index].data() : argv_[index];
}

// Moves to the next token, switching from the settings tokens to the
// arguments when they are used up. False at the end of everything.
bool CCommandLine::advanceToken() {
    ++argIndex_;
    charIndex_ = 0;
    if (inSettings_ && argIndex_ >= settings_.size()) {
        inSettings_ = false;
        argIndex_ = 1;
    }
    return token(argIndex_) != nullptr;
}

int CCommandLine::fail(int status, char* param) {
    statusIndex_ = status;
    statusText_ = status == eInvalidOption ? "Invalid option: " : "Missing Parameter for option: ";
    statusText_ += param;
    return '?';
}

int CCommandLine::next(char*& param) {
    param = nullptr;
    char* tok = token(argIndex_);
    if (!tok) return kEnd;
    if (charIndex_ == 0) {
        if (!isOptionToken(tok)) {
            param = tok;
            advanceToken();
            return ' ';
        }
        charIndex_ = 1;
    }
    char c = tok[charIndex_];
    char* at = tok + charIndex_;
    const char* hit = std::strchr(letters_, c); // a lone switch finds the terminator
    if (!hit) {
        advanceToken(); // the rest of the token is skipped
        param = at;
        return fail(eInvalidOption, at);
    }
    bool takesParam = c != '\0' && hit[1] == '+';
    if (!takesParam) {
        if (c == '\0' || tok[charIndex_ + 1] == '\0') advanceToken();
        else ++charIndex_;
        return static_cast<unsigned char>(c);
    }
    if (tok[charIndex_ + 1] != '\0') {
        param = tok + charIndex_ + 1;
        advanceToken();
        return static_cast<unsigned char>(c);
    }
    // The parameter is the whole next token of the same source.
    size_t nextIndex = argIndex_ + 1;
    char* nextTok = token(nextIndex);
    if (!nextTok || isOptionToken(nextTok)) {
        advanceToken();
        param = at;
        return fail(eMissingParameter, at);
    }
    argIndex_ = nextIndex;
    advanceToken();
    param = nextTok;
    return static_cast<unsigned char>(c);
}

} // namespace vx
