// The JSON emitter.
#include "settings/Json.h"

#include <charconv>
#include <cmath>

namespace vx {

namespace {

void appendEscaped(std::string& out, std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else if (c >= 0x80) {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

template <typename T> void appendNumber(std::string& out, T v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

} // namespace

void CJson::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasItems_.empty()) {
        if (hasItems_.back()) out_ += ',';
        hasItems_.back() = true;
    }
}

CJson& CJson::beginObject() {
    beforeValue();
    out_ += '{';
    hasItems_.push_back(false);
    return *this;
}

CJson& CJson::endObject() {
    hasItems_.pop_back();
    out_ += '}';
    return *this;
}

CJson& CJson::beginArray() {
    beforeValue();
    out_ += '[';
    hasItems_.push_back(false);
    return *this;
}

CJson& CJson::endArray() {
    hasItems_.pop_back();
    out_ += ']';
    return *this;
}

CJson& CJson::key(std::string_view name) {
    beforeValue();
    appendEscaped(out_, name);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

CJson& CJson::string(std::string_view bytes) {
    beforeValue();
    appendEscaped(out_, bytes);
    return *this;
}

CJson& CJson::number(double v) {
    beforeValue();
    appendNumber(out_, v);
    return *this;
}

CJson& CJson::number(float v) {
    beforeValue();
    appendNumber(out_, v);
    return *this;
}

CJson& CJson::integer(int64_t v) {
    beforeValue();
    out_ += std::to_string(v);
    return *this;
}

CJson& CJson::boolean(bool v) {
    beforeValue();
    out_ += v ? "true" : "false";
    return *this;
}

CJson& CJson::null() {
    beforeValue();
    out_ += "null";
    return *this;
}

CJson& CJson::stringOrNull(std::string_view bytes) {
    return bytes.empty() ? null() : string(bytes);
}

std::string CJson::take() {
    std::string piece;
    piece.swap(out_);
    return piece;
}

} // namespace vx
