#pragma once

#include <QString>

// The per-user store: application, section and key, holding texts.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // The stored text, or defaultText when the key is missing or unreadable.
    virtual QString getSetting(const QString &application, const QString &section,
                               const QString &key, const QString &defaultText) = 0;
    virtual void saveSetting(const QString &application, const QString &section, const QString &key,
                             const QString &text) = 0;
    // Writes out what was saved; false when the store did not take it.
    virtual bool flush() = 0;
};
