#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kv {

// A streaming writer of one JSON document. Numbers read back to the same
// double; NaN and infinities become null.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next member of the enclosing object.
    JsonWriter& Key(const std::string& name);

    void Value(double number);
    void Value(int number);
    void Value(bool flag);
    void Value(const std::string& text);
    void Value(const char* text) { Value(std::string(text)); }

    template <typename T> void Member(const std::string& name, const T& value) {
        Key(name);
        Value(value);
    }

private:
    void BeforeValue();

    std::ostream& out_;
    // One entry per open container: whether it already holds a value.
    std::vector<bool> hasValue_;
    bool afterKey_ = false;
};

std::string JsonNumber(double number);
std::string JsonString(const std::string& text);

} // namespace kv
