#include "FeedFiles.h"

#include <QDir>
#include <QSaveFile>

FeedFiles::FeedFiles(const QString &folder) : m_folder(folder)
{
    if (!QDir().mkpath(folder))
        m_error = QStringLiteral("the folder %1 cannot be made").arg(folder);
}

void FeedFiles::write(const ShownBoard &shown)
{
    if (!usable())
        return;
    const std::pair<const char *, const QString &> files[] = {
        {"home-score.txt", shown.homeScore}, {"visitor-score.txt", shown.visitorScore},
        {"home-name.txt", shown.homeName},   {"visitor-name.txt", shown.visitorName},
        {"period.txt", shown.periodNumber},  {"period-clock.txt", shown.periodClock},
        {"jam-clock.txt", shown.jamClock},   {"title.txt", shown.title},
    };
    for (const auto &[name, text] : files)
        writeFile(QString::fromLatin1(name), text);
}

void FeedFiles::writeFile(const QString &name, const QString &text)
{
    const auto last = m_written.constFind(name);
    if (last != m_written.constEnd() && *last == text)
        return;
    QSaveFile file(QDir(m_folder).filePath(name));
    if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit())
        m_written.insert(name, text);
}
