#include "JsonWriter.h"

#include "math/NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace kv {

std::string JsonNumber(double number) {
    if (!std::isfinite(number)) {
        return "null";
    }
    return FormatShortest(number);
}

namespace {

// The length of the well-formed UTF-8 sequence that starts at i, or 0.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i) {
    const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0xC2   ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Text from older files may be in a single-byte code page: bytes that do not
// form UTF-8 are taken as Latin-1, so the output is always valid UTF-8.
void AppendLatin1(std::string& out, unsigned char byte) {
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                AppendLatin1(quoted, static_cast<unsigned char>(c));
            } else {
                quoted.append(text, i, length);
                i += length - 1;
            }
            continue;
        }
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
            if (c < 0x20) {
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
