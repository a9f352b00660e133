#pragma once

#include "ui/IMessageBox.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace kv::fuzz {

// Answers every question the same way and shows nothing.
class FuzzMessageBox : public IMessageBox {
public:
    explicit FuzzMessageBox(Answer answer = Answer::Yes) : answer_(answer) {}
    void Show(const std::string&, const std::string&, Icon) override {}
    Answer Ask(const std::string&, const std::string&, Buttons, Icon) override { return answer_; }

private:
    Answer answer_;
};

// A file of this process's own for the readers that take a path; each input
// overwrites the one before.
class FuzzFile {
public:
    explicit FuzzFile(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("kv-fuzz-" + std::to_string(std::random_device{}()) + "-" + name)) {}
    ~FuzzFile() {
        std::error_code error;
        std::filesystem::remove(path_, error);
    }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    const std::filesystem::path& Write(const std::uint8_t* data, std::size_t size) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return path_;
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace kv::fuzz
