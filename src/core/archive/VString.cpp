#include "archive/VString.h"

#include "archive/VPersistence.h"

#include <algorithm>
#include <clocale>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#if !defined(_WIN32)
#include <locale.h>
#endif

namespace kv {
namespace {

// Switches the calling thread to the "C" rules for numbers while it lives. A
// GUI toolkit applies the user's locale on start-up, and a decimal comma in a
// field that reads both would be misread as the start of a second number.
class ClassicNumbers {
public:
#if defined(_WIN32)
    ClassicNumbers() : perThread_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
        if (const char* current = std::setlocale(LC_NUMERIC, nullptr)) {
            previous_ = current;
        }
        std::setlocale(LC_NUMERIC, "C");
    }
    ~ClassicNumbers() {
        std::setlocale(LC_NUMERIC, previous_.c_str());
        _configthreadlocale(perThread_);
    }
#else
    ClassicNumbers()
        : classic_(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr))),
          previous_(classic_ != nullptr ? uselocale(classic_) : nullptr) {}
    ~ClassicNumbers() {
        if (classic_ != nullptr) {
            uselocale(previous_);
            freelocale(classic_);
        }
    }
#endif
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;

private:
#if defined(_WIN32)
    int perThread_;
    std::string previous_;
#else
    locale_t classic_;
    locale_t previous_;
#endif
};

} // namespace

void VString::Format(const char* format, ...) {
    const ClassicNumbers classic;
    va_list args;
    va_start(args, format);
    va_list measuring;
    va_copy(measuring, args);
    const int needed = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (needed < 0) {
        va_end(args);
        clear();
        return;
    }
    std::string text(std::min(static_cast<std::size_t>(needed), kMaxFormatted), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    assign(std::move(text));
}

bool VString::Serialize(VPersistence& archive) {
    constexpr std::int32_t kVersion = 1;
    if (archive.IsStoring()) {
        return archive.WriteTag("VString", kVersion) && archive.WriteString(*this);
    }
    std::int32_t version = 0;
    std::string text;
    if (!archive.ExpectTag("VString", version) || version != kVersion ||
        !archive.ReadString(text, -1)) {
        return false;
    }
    assign(std::move(text));
    return true;
}

} // namespace kv
