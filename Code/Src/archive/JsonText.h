// JSON text for the catalog: strings from raw file-name bytes, and a small
// reader for the catalog's own rows (resume) and the workers' messages.
// A name's bytes that are not UTF-8 are written as the escapes \udc80 to
// \udcff (one per byte, as Python's "surrogateescape" does), so every row
// is valid JSON and the exact bytes come back when it is read.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx {

// The bytes as a quoted JSON string.
std::string jsonQuoted(std::string_view bytes);

// The bytes with each byte that is not part of valid UTF-8 written as \xNN.
std::string utf8OrEscaped(std::string_view bytes);

struct JsonValue {
    enum EType { eNull, eBool, eNumber, eString, eArray, eObject };
    EType type = eNull;
    bool flag = false;
    double number = 0.0;
    std::string text; // eString: the bytes, escapes undone; eNumber: its digits
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member of that name, or a null value.
    const JsonValue& operator[](std::string_view name) const;
    const std::string& str() const { return text; }
    int64_t integer() const;
};

// Parses one JSON document; false on any syntax error or trailing text.
bool parseJson(std::string_view text, JsonValue& out);

} // namespace vx
