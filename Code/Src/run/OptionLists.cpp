// List-valued options.
#include "run/OptionLists.h"

#include <cstring>

namespace vx {

namespace {

bool isListSeparator(char c) { return c == ',' || c == ' ' || (c >= '\t' && c <= '\r'); }

struct Token {
    const char* text;
    int16_t code;
};

// The longest token of the table that the text starts with, or null.
const Token* longestMatch(const char* text, const Token* table, size_t count) {
    const Token* best = nullptr;
    for (size_t i = 0; i < count; ++i) {
        size_t n = std::strlen(table[i].text);
        if (std::strncmp(text, table[i].text, n) == 0 &&
            (!best || n > std::strlen(best->text)))
            best = &table[i];
    }
    return best;
}

const Token kColumns[] = {{"mag", 1}, {"m2", 2}, {"r", 3}, {"i", 4},
                          {"p", 5},   {"up", 6}, {"x", 7}, {"v", 8}};

enum UnitField { ePeak, eDb, ePhase };
const Token kUnits[] = {{"pk", ePeak * 10 + 1},    {"rms", ePeak * 10 + 2}, {"pp", ePeak * 10 + 3},
                        {"lin", eDb * 10 + 0},     {"db", eDb * 10 + 1},    {"dbm", eDb * 10 + 2},
                        {"dbspl", eDb * 10 + 3},   {"deg", ePhase * 10 + 0},
                        {"rad", ePhase * 10 + 1}};

} // namespace

bool parseColumnList(const char* text, int32_t* out) {
    int32_t cols[20] = {};
    int n = 0;
    const char* p = text;
    while (n < 19) {
        while (isListSeparator(*p)) ++p;
        if (*p == '\0') break;
        const Token* t = longestMatch(p, kColumns, sizeof kColumns / sizeof kColumns[0]);
        if (!t) return false;
        cols[n++] = t->code;
        p += std::strlen(t->text);
    }
    std::memcpy(out, cols, sizeof cols);
    return true;
}

bool parseUnitList(const char* text, UnitChoice& choice) {
    UnitChoice result = choice;
    const char* p = text;
    for (;;) {
        while (isListSeparator(*p)) ++p;
        if (*p == '\0') break;
        const Token* t = longestMatch(p, kUnits, sizeof kUnits / sizeof kUnits[0]);
        if (!t) return false;
        int16_t value = t->code % 10;
        switch (t->code / 10) {
        case ePeak: result.peakUnits = value; break;
        case eDb: result.dbMode = value; break;
        default: result.phaseUnits = value; break;
        }
        p += std::strlen(t->text);
    }
    choice = result;
    return true;
}

namespace {

// Width and precision of at most two digits keep every value whole in its
// line (the widest, %.99f of the largest double, is 410 characters).
constexpr int kMaxFieldDigits = 2;

// Skips a field's digits; false when there are more than kMaxFieldDigits.
bool skipFieldDigits(const char*& p) {
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        ++digits;
    return digits <= kMaxFieldDigits;
}

} // namespace

bool isSafeDataFormat(const char* format) {
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p && std::strchr("-+ #0", *p)) ++p;
        if (!skipFieldDigits(p)) return false;
        if (*p == '.' && !skipFieldDigits(++p)) return false;
        if (!*p || !std::strchr("eEfFgGaA", *p)) return false;
        ++conversions;
    }
    return conversions == 1;
}

} // namespace vx
