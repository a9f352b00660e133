#pragma once

#include <string>

namespace kv {

// The user's persistent settings: values by section and name, as the
// program's profile keeps them between runs.
class ISettings {
public:
    virtual ~ISettings() = default;

    virtual int GetInt(const std::string& section, const std::string& name, int fallback) const = 0;
    virtual bool SetInt(const std::string& section, const std::string& name, int value) = 0;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& fallback) const = 0;
    virtual bool SetString(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
};

} // namespace kv
