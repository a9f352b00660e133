#pragma once

#include "ui/ISettings.h"

#include <QSettings>

namespace kv {

// The settings of the company key "Veldrasound", application "Kestrelvane":
// the registry under the current user on Windows, an INI-style file under
// the user's configuration folder elsewhere (~/.config/Veldrasound/
// Kestrelvane.conf on Linux).
class CSettings : public ISettings {
public:
    CSettings();
    // Settings kept in the given file instead (tests, portable installs).
    explicit CSettings(const QString& fileName);

    int GetInt(const std::string& section, const std::string& name, int fallback) const override;
    bool SetInt(const std::string& section, const std::string& name, int value) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) const override;
    bool SetString(const std::string& section, const std::string& name,
                   const std::string& value) override;

private:
    bool Sync();

    QSettings settings_;
};

} // namespace kv
