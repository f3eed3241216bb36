#include "QSettingsBackend.h"

#include <QFile>
#include <QStringList>

QSettingsBackend::QSettingsBackend() = default;
QSettingsBackend::~QSettingsBackend() = default;

QSettings &QSettingsBackend::store(const QString &application)
{
    if (!m_settings || m_application != application) {
        m_application = application;
        m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 application, application);
    }
    return *m_settings;
}

QString QSettingsBackend::getSetting(const QString &application, const QString &section,
                                     const QString &key, const QString &defaultText)
{
    QSettings &settings = store(application);
    const QVariant value = settings.value(section + u'/' + key);
    if (!value.isValid())
        return defaultText;
    // A hand-edited INI line with an unquoted comma reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    if (!value.canConvert<QString>())
        return defaultText;
    return value.toString();
}

void QSettingsBackend::saveSetting(const QString &application, const QString &section,
                                   const QString &key, const QString &text)
{
    store(application).setValue(section + u'/' + key, text);
    m_pending.append({section + u'/' + key, text});
}

bool QSettingsBackend::flush()
{
    if (!m_settings)
        return true;
    if (!m_settings->isWritable())
        return false;
    m_settings->sync();
    if (m_settings->status() == QSettings::FormatError) {
        // The file could not be parsed, so it is never rewritten in place.
        // Keep it beside the store for inspection and start a clean one.
        const QString path = m_settings->fileName();
        m_settings.reset();
        const QString kept = path + QStringLiteral(".damaged");
        QFile::remove(kept);
        if (!QFile::rename(path, kept))
            QFile::remove(path);
        QSettings &fresh = store(m_application);
        for (const auto &[key, text] : std::as_const(m_pending))
            fresh.setValue(key, text);
        fresh.sync();
    }
    const bool ok = m_settings->status() == QSettings::NoError;
    if (ok)
        m_pending.clear();
    return ok;
}

QString QSettingsBackend::location()
{
    return store(QStringLiteral("Quelvane")).fileName();
}
