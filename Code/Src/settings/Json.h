// A small JSON emitter: objects, arrays, strings and numbers appended to a
// text that the caller takes in pieces. Strings are bytes from files: those
// above 127 are taken as Latin-1 and written in UTF-8. Numbers are the
// shortest text that reads back to the same float or double; NaN and the
// infinities have no JSON form and are written as null.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class CJson {
  public:
    CJson& beginObject();
    CJson& endObject();
    CJson& beginArray();
    CJson& endArray();
    CJson& key(std::string_view name);
    CJson& string(std::string_view bytes);
    CJson& number(double v);
    CJson& number(float v);
    CJson& integer(int64_t v);
    CJson& boolean(bool v);
    CJson& null();
    // A string, or null when the text is empty.
    CJson& stringOrNull(std::string_view bytes);

    const std::string& text() const { return out_; }
    // Hands over what was written so far and keeps building after it.
    std::string take();

  private:
    void beforeValue();
    std::string out_;
    std::vector<bool> hasItems_; // per open container
    bool afterKey_ = false;
};

} // namespace vx
