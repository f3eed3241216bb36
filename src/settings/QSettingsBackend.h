#pragma once

#include "SettingsBackend.h"

#include <QList>
#include <QSettings>
#include <memory>

// The settings store in the platform's native per-user form: the registry on
// Windows, a property list on macOS, an INI file under ~/.config elsewhere.
class QSettingsBackend : public SettingsBackend {
public:
    QSettingsBackend();
    ~QSettingsBackend() override;

    QString getSetting(const QString &application, const QString &section, const QString &key,
                       const QString &defaultText) override;
    void saveSetting(const QString &application, const QString &section, const QString &key,
                     const QString &text) override;
    bool flush() override;

    // Where the store lives, for the README and for tests.
    QString location();

private:
    QSettings &store(const QString &application);

    QString m_application;
    std::unique_ptr<QSettings> m_settings;
    // What was saved since the last flush, to write again into a fresh file
    // when the old one turns out to be damaged.
    QList<std::pair<QString, QString>> m_pending;
};
