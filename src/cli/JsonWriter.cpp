#include "JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace kv {

std::string JsonNumber(double number) {
    if (!std::isfinite(number)) {
        return "null";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", number);
    return text;
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasValue_.empty()) {
        if (hasValue_.back()) {
            out_ << ',';
        }
        hasValue_.back() = true;
    }
}

void JsonWriter::BeginObject() {
    BeforeValue();
    out_ << '{';
    hasValue_.push_back(false);
}

void JsonWriter::EndObject() {
    out_ << '}';
    hasValue_.pop_back();
}

void JsonWriter::BeginArray() {
    BeforeValue();
    out_ << '[';
    hasValue_.push_back(false);
}

void JsonWriter::EndArray() {
    out_ << ']';
    hasValue_.pop_back();
}

JsonWriter& JsonWriter::Key(const std::string& name) {
    BeforeValue();
    out_ << JsonString(name) << ':';
    afterKey_ = true;
    return *this;
}

void JsonWriter::Value(double number) {
    BeforeValue();
    out_ << JsonNumber(number);
}

void JsonWriter::Value(int number) {
    BeforeValue();
    out_ << number;
}

void JsonWriter::Value(bool flag) {
    BeforeValue();
    out_ << (flag ? "true" : "false");
}

void JsonWriter::Value(const std::string& text) {
    BeforeValue();
    out_ << JsonString(text);
}

} // namespace kv
