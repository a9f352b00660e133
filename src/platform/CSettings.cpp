#include "platform/CSettings.h"

namespace kv {
namespace {

QString Key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

} // namespace

CSettings::CSettings() : settings_(QStringLiteral("Veldrasound"), QStringLiteral("Kestrelvane")) {}

CSettings::CSettings(const QString& fileName) : settings_(fileName, QSettings::IniFormat) {}

int CSettings::GetInt(const std::string& section, const std::string& name, int fallback) const {
    bool ok = false;
    const int value = settings_.value(Key(section, name), fallback).toInt(&ok);
    return ok ? value : fallback;
}

bool CSettings::SetInt(const std::string& section, const std::string& name, int value) {
    settings_.setValue(Key(section, name), value);
    return Sync();
}

std::string CSettings::GetString(const std::string& section, const std::string& name,
                                 const std::string& fallback) const {
    const QVariant value = settings_.value(Key(section, name));
    return value.isValid() ? value.toString().toStdString() : fallback;
}

bool CSettings::SetString(const std::string& section, const std::string& name,
                          const std::string& value) {
    settings_.setValue(Key(section, name), QString::fromStdString(value));
    return Sync();
}

bool CSettings::Sync() {
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

} // namespace kv
