#include "archive/FileProblems.h"

#include "archive/PathText.h"
#include "archive/VSafeFile.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <system_error>

namespace kv {
namespace {

constexpr std::size_t kShownLineLength = 40;
constexpr std::size_t kShownBytes = 8;

std::string SystemText(int error) {
    return std::generic_category().message(error);
}

// The folder a file goes into, in full even for a name without one.
std::filesystem::path FolderOf(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return (error ? path : full).parent_path();
}

bool IsNoPermission(int error) {
    return error == EACCES || error == EPERM;
}

bool IsDiskFull(int error) {
#if defined(EDQUOT)
    if (error == EDQUOT) {
        return true;
    }
#endif
    return error == ENOSPC;
}

std::string OneDecimal(double value) {
    std::array<char, 32> text{};
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 1)
            .ptr;
    return std::string(text.data(), end);
}

// The length of the UTF-8 character that starts at data[0] when it is
// printable text and whole within size bytes; 0 otherwise.
std::size_t TextCharacterLength(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t lead = data[0];
    if (lead < 0x80) {
        return (lead >= 0x20 && lead < 0x7F) || lead == '\t' ? 1 : 0;
    }
    const std::size_t length = lead >= 0xF0 && lead < 0xF5   ? 4
                               : lead >= 0xE0                ? 3
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                                                             : 0;
    if (length == 0 || length > size) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((data[i] & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// The first line's length in bytes when it is all printable text, cut to
// whole characters after kShownLineLength bytes; 0 when it is not text.
std::size_t TextLineLength(const std::uint8_t* data, std::size_t size) {
    std::size_t end = 0;
    while (end < size && end < kShownLineLength && data[end] != '\n' && data[end] != '\r') {
        const std::size_t length = TextCharacterLength(data + end, size - end);
        if (length == 0) {
            return 0;
        }
        end += length;
    }
    return end;
}

} // namespace

std::string QuotedPath(const std::filesystem::path& path) {
    return "\"" + PathText(path) + "\"";
}

std::string WhyNotReadable(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return QuotedPath(path) + " does not exist.";
    }
    if (status.type() == std::filesystem::file_type::directory) {
        return QuotedPath(path) + " is a folder, not a file.";
    }
    if (error) {
        return IsNoPermission(error.value())
                   ? "You have no permission to read " + QuotedPath(path) + "."
                   : QuotedPath(path) + " could not be read: " + error.message() + ".";
    }
    errno = 0;
    const FileHandle file = OpenFile(path, "rb");
    const int openError = errno;
    if (file != nullptr || openError == 0) {
        return QuotedPath(path) + " could not be read.";
    }
    return IsNoPermission(openError)
               ? "You have no permission to read " + QuotedPath(path) + "."
               : QuotedPath(path) + " could not be read: " + SystemText(openError) + ".";
}

std::string WhyNotWritten(const std::filesystem::path& path, int error) {
    const std::string folder = QuotedPath(FolderOf(path));
    if (IsNoPermission(error)) {
        return "You have no permission to write in the folder " + folder + ".";
    }
    if (IsDiskFull(error)) {
        return "The disk is full.";
    }
    switch (error) {
    case 0:
        return QuotedPath(path) + " could not be written.";
    case EISDIR:
        return QuotedPath(path) + " is a folder; choose a file name.";
    case ENOENT:
    case ENOTDIR:
        return "The folder " + folder + " does not exist.";
    case EROFS:
        return "The folder " + folder + " is on a disk that can only be read.";
    case EFBIG:
        return "The file is larger than the disk allows.";
    case ENAMETOOLONG:
        return "The name " + QuotedPath(path) + " is too long.";
    case EIO:
        return "The disk failed while it was written; it may have been removed.";
    default:
        return QuotedPath(path) + " could not be written: " + SystemText(error) + ".";
    }
}

std::string SizeText(std::uintmax_t bytes) {
    constexpr double kKilo = 1000.0;
    if (bytes < 1000) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    double value = static_cast<double>(bytes) / kKilo;
    for (const char* unit : {" kB", " MB", " GB"}) {
        if (value < kKilo - 0.05) {
            return OneDecimal(value) + unit;
        }
        value /= kKilo;
    }
    return OneDecimal(value) + " TB";
}

std::string HowItStarts(const std::uint8_t* data, std::size_t size) {
    std::size_t skip = 0;
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        skip = 3;
    }
    const std::size_t line = TextLineLength(data + skip, size - skip);
    if (line > 0) {
        const bool cut =
            skip + line < size && data[skip + line] != '\n' && data[skip + line] != '\r';
        return "\"" + std::string(data + skip, data + skip + line) + (cut ? "…" : "") + "\"";
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string bytes = "the bytes";
    for (std::size_t i = 0; i < size && i < kShownBytes; ++i) {
        bytes += ' ';
        bytes += kDigits[data[i] >> 4];
        bytes += kDigits[data[i] & 0x0F];
    }
    return bytes;
}

std::string WriteWholeFile(const std::filesystem::path& path, std::string_view content) {
    VSafeFile file;
    if (file.Open(path) && file.Write(content.data(), content.size()) && file.Commit()) {
        return {};
    }
    return WhyNotWritten(path, file.Error());
}

std::string WithReason(std::string_view message, std::string_view reason) {
    std::string text(message);
    text += "\n\n";
    text += reason;
    return text;
}

} // namespace kv
