// The option tokenizer: settings-file tokens first, then the arguments;
// grouped switches, parameters in the same or the next token.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

class CCommandLine {
  public:
    static constexpr int kEnd = 0xFF;
    static constexpr size_t kMaxSettingsTokens = 50;
    static constexpr size_t kMaxTokenLen = 80;
    static constexpr size_t kMaxSettingsLine = 511;

    // Status indexes of the tokenizer.
    enum { eNoError = 0, eInvalidOption = 1, eMissingParameter = 2 };

    CCommandLine(int argc, char** argv, const char* optionLetters, const char* settingsFile);

    // The next option character (' ' for a file argument, '?' for an error,
    // kEnd at the end); param points at the parameter or file text, or is null.
    int next(char*& param);

    int statusIndex() const { return statusIndex_; }
    const std::string& statusText() const { return statusText_; }

  private:
    void readSettings(const char* settingsFile);
    char* token(size_t index);
    size_t tokenCount() const;
    bool advanceToken();
    int fail(int status, char* param);

    int statusIndex_ = eNoError;
    std::string statusText_ = "No Error";
    size_t argIndex_ = 0;  // index of the current token in its source
    size_t charIndex_ = 0; // index of the next character within it (0 = token start)
    const char* letters_;
    std::vector<std::vector<char>> settings_;
    int argc_;
    char** argv_;
    bool inSettings_ = false;
};

// True when a token holds options rather than a file name.
bool isOptionToken(const char* token);

} // namespace vx
