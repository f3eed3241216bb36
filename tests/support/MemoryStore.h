#pragma once

#include "SettingsBackend.h"

#include <QMap>
#include <QStringList>

// A settings store in memory: "Section/Key" -> text, with every save
// recorded in order.
class MemoryStore : public SettingsBackend {
public:
    QMap<QString, QString> values;
    QStringList saved;
    int gets = 0;
    bool accept = true;

    QStringList applications; // every application name asked for

    QString getSetting(const QString &application, const QString &section, const QString &key,
                       const QString &defaultText) override
    {
        applications << application;
        ++gets;
        return values.value(section + u'/' + key, defaultText);
    }
    void saveSetting(const QString &application, const QString &section, const QString &key,
                     const QString &text) override
    {
        applications << application;
        saved << section + u'/' + key;
        values[section + u'/' + key] = text;
    }
    bool flush() override { return accept; }
};
