// The table of option letters: each option's argument, range, the output
// formats that take it and what it sets. The job's parsing, its format
// restriction and the tokenizer's letter string all come from this table.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Options.h"

namespace vx {

class COptionMgr;
struct OptionDescriptor;

// What follows an option letter.
enum class EOptionArg : uint8_t {
    eNone,    // nothing: a switch
    eInteger, // a decimal integer at the start of the text (anything else is refused)
    eNumber,  // read as a long without a check: text that is no number reads as 0
    eText,    // text that the option's handler takes apart
};

// The job's handler of an option, given its lower-cased parameter (null for a switch).
using OptionHandler = void (COptionMgr::*)(const OptionDescriptor& option, const char* param);

struct OptionDescriptor {
    char letter; // upper case
    EOptionArg arg;
    long lo; // range of a numeric argument; values outside it are clamped and refused
    long hi;
    uint32_t formats; // bits of the output formats that take the option; 0 = every format
    OptionHandler take;
    // The field that a numeric option or a switch sets; null when the handler does.
    void (*store)(ConvOptions& options, long value);
};

// The descriptor of an upper-case letter; null when no option has it.
const OptionDescriptor* findOption(char letter);

// The tokenizer's letter string: each letter in both cases, each followed by
// "+" when it takes a parameter, then "?".
std::string optionLetterString();

} // namespace vx
