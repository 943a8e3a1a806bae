// JSON strings from raw bytes and a small recursive reader.
#include "archive/JsonText.h"

#include <cstdio>
#include <cstdlib>

namespace vx {

namespace {

// The length of the valid UTF-8 sequence at p (at most n bytes), 0 when none.
size_t utf8Length(const unsigned char* p, size_t n) {
    const unsigned char c = p[0];
    size_t len = c < 0x80             ? 1
                 : (c & 0xE0) == 0xC0 ? 2
                 : (c & 0xF0) == 0xE0 ? 3
                 : (c & 0xF8) == 0xF0 ? 4
                                      : 0;
    if (len == 0 || len > n) return 0;
    uint32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
    static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | cp >> 6);
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | cp >> 12);
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | cp >> 18);
        out += char(0x80 | (cp >> 12 & 0x3F));
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

class Reader {
  public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool document(JsonValue& out) {
        if (!value(out, 0)) return false;
        space();
        return at_ == s_.size();
    }

  private:
    static constexpr int kMaxDepth = 64;

    void space() {
        while (at_ < s_.size() &&
               (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r'))
            ++at_;
    }
    bool take(char c) {
        space();
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (s_.substr(at_, w.size()) != w) return false;
        at_ += w.size();
        return true;
    }
    bool hex4(uint32_t& v) {
        if (at_ + 4 > s_.size()) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[at_++];
            int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
            if (d < 0) return false;
            v = v << 4 | uint32_t(d);
        }
        return true;
    }
    bool escape(std::string& out) {
        if (at_ >= s_.size()) return false;
        char c = s_[at_++];
        static const char kFrom[] = "\"\\/bfnrt", kTo[] = "\"\\/\b\f\n\r\t";
        for (int i = 0; kFrom[i]; ++i)
            if (c == kFrom[i]) {
                out += kTo[i];
                return true;
            }
        uint32_t cp = 0;
        if (c != 'u' || !hex4(cp)) return false;
        if (cp >= 0xDC80 && cp <= 0xDCFF) {
            out += char(cp - 0xDC00); // a byte that was not UTF-8
            return true;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            uint32_t low = 0;
            if (!word("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        appendUtf8(out, cp);
        return true;
    }
    bool string(std::string& out) {
        if (!take('"')) return false;
        while (at_ < s_.size()) {
            char c = s_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\')
                out += c;
            else if (!escape(out))
                return false;
        }
        return false;
    }
    bool number(double& v, std::string& digits) {
        const size_t from = at_;
        while (at_ < s_.size() &&
               std::string_view("+-0123456789.eE").find(s_[at_]) != std::string_view::npos)
            ++at_;
        if (at_ == from) return false;
        digits = std::string(s_.substr(from, at_ - from));
        char* end = nullptr;
        v = std::strtod(digits.c_str(), &end);
        return end == digits.c_str() + digits.size();
    }
    bool value(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return false;
        space();
        if (at_ >= s_.size()) return false;
        switch (s_[at_]) {
        case '{':
            return object(out, depth);
        case '[':
            return array(out, depth);
        case '"':
            out.type = JsonValue::eString;
            return string(out.text);
        case 't':
            out.type = JsonValue::eBool;
            out.flag = true;
            return word("true");
        case 'f':
            out.type = JsonValue::eBool;
            return word("false");
        case 'n':
            return word("null");
        default:
            out.type = JsonValue::eNumber;
            return number(out.number, out.text);
        }
    }
    bool object(JsonValue& out, int depth) {
        out.type = JsonValue::eObject;
        ++at_;
        if (take('}')) return true;
        do {
            std::string name;
            JsonValue v;
            if (!string(name) || !take(':') || !value(v, depth + 1)) return false;
            out.members.emplace_back(std::move(name), std::move(v));
        } while (take(','));
        return take('}');
    }
    bool array(JsonValue& out, int depth) {
        out.type = JsonValue::eArray;
        ++at_;
        if (take(']')) return true;
        do {
            out.items.emplace_back();
            if (!value(out.items.back(), depth + 1)) return false;
        } while (take(','));
        return take(']');
    }

    std::string_view s_;
    size_t at_ = 0;
};

} // namespace

std::string jsonQuoted(std::string_view bytes) {
    std::string out = "\"";
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = p[i];
        char buf[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else if (size_t len = utf8Length(p + i, bytes.size() - i)) {
            out.append(bytes.data() + i, len);
            i += len;
            continue;
        } else {
            std::snprintf(buf, sizeof buf, "\\udc%02x", c);
            out += buf;
        }
        ++i;
    }
    return out + '"';
}

std::string utf8OrEscaped(std::string_view bytes) {
    std::string out;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        if (size_t len = utf8Length(p + i, bytes.size() - i)) {
            out.append(bytes.data() + i, len);
            i += len;
            continue;
        }
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02x", p[i++]);
        out += buf;
    }
    return out;
}

int64_t JsonValue::integer() const {
    // From the digits: nanosecond times do not fit a double exactly.
    return std::strtoll(text.c_str(), nullptr, 10);
}

const JsonValue& JsonValue::operator[](std::string_view name) const {
    static const JsonValue kNull;
    for (const auto& member : members)
        if (member.first == name) return member.second;
    return kNull;
}

bool parseJson(std::string_view text, JsonValue& out) {
    out = JsonValue();
    return Reader(text).document(out);
}

} // namespace vx
