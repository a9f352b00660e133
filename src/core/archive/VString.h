#pragma once

#include "archive/IArchive.h"

#include <cstddef>
#include <string>

namespace kv {

// The program's text: a std::string that formats itself printf-style and
// stores itself as a tagged record.
class VString : public std::string, public IArchive {
public:
    using std::string::string;

    // The content becomes the formatted text, cut to kMaxFormatted characters.
    // Numbers always get a decimal point, whatever the process locale says.
    [[gnu::format(printf, 2, 3)]] void Format(const char* format, ...);

    // Writes or reads the record "VString" version 1; a failed read leaves
    // the content as it was.
    bool Serialize(VPersistence& archive) override;

    static constexpr std::size_t kMaxFormatted = 4095;
};

} // namespace kv
