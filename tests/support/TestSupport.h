#pragma once

#include "ui/IMessageBox.h"
#include "ui/ISettings.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace kv::test {

// Records every message the core shows; questions get the queued answers
// in turn, then the fixed one.
class RecordingMessageBox : public IMessageBox {
public:
    struct Message {
        std::string text;
        std::string caption;
        Icon icon;
    };

    explicit RecordingMessageBox(Answer answer = Answer::Yes) : answer_(answer) {}

    void Show(const std::string& text, const std::string& caption, Icon icon) override {
        shown.push_back({text, caption, icon});
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override {
        asked.push_back({text, caption, icon});
        askedButtons.push_back(buttons);
        if (answers.empty()) {
            return answer_;
        }
        const Answer next = answers.front();
        answers.pop_front();
        return next;
    }

    std::vector<Message> shown;
    std::vector<Message> asked;
    std::vector<Buttons> askedButtons;
    std::deque<Answer> answers;

private:
    Answer answer_;
};

// Settings kept in memory, by section and name.
class MemorySettings : public ISettings {
public:
    int GetInt(const std::string& section, const std::string& name, int fallback) const override {
        const auto found = values.find(section + "/" + name);
        return found == values.end() ? fallback : std::stoi(found->second);
    }
    bool SetInt(const std::string& section, const std::string& name, int value) override {
        values[section + "/" + name] = std::to_string(value);
        return true;
    }
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) const override {
        const auto found = values.find(section + "/" + name);
        return found == values.end() ? fallback : found->second;
    }
    bool SetString(const std::string& section, const std::string& name,
                   const std::string& value) override {
        values[section + "/" + name] = value;
        return true;
    }

    std::map<std::string, std::string> values;
};

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A vector holding the given values.
template <typename Vector> Vector VectorOf(std::initializer_list<double> values) {
    Vector v(static_cast<int>(values.size()));
    int i = 0;
    for (double x : values) {
        v[i++] = x;
    }
    return v;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Little-endian items as the archive writes them, for building files by hand.
class ByteWriter {
public:
    ByteWriter& Int32(std::int32_t value);
    ByteWriter& Double(double value);
    ByteWriter& Bool(bool value);
    ByteWriter& String(const std::string& text);
    ByteWriter& Tag(const std::string& name, std::int32_t version);
    ByteWriter& Raw(const std::vector<std::uint8_t>& bytes);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace kv::test
