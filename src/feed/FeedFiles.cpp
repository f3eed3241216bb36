#include "FeedFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

namespace {

// The files, in the order of FeedFiles::Texts.
constexpr const char *Names[] = {
    "home-score.txt", "visitor-score.txt", "home-name.txt", "visitor-name.txt",
    "period.txt",     "period-clock.txt",  "jam-clock.txt", "title.txt",
};

} // namespace

FeedFiles::FeedFiles(const QString &folder) : m_folder(folder)
{
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return;
    }
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("feed files"));
    m_writer = new QObject;
    m_writer->moveToThread(m_thread);
    QObject::connect(m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    m_thread->start();
}

FeedFiles::~FeedFiles()
{
    if (!m_thread)
        return;
    flush();
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void FeedFiles::write(const ShownBoard &shown)
{
    if (!usable())
        return;
    Texts texts = {shown.homeScore,    shown.visitorScore, shown.homeName, shown.visitorName,
                   shown.periodNumber, shown.periodClock,  shown.jamClock, shown.title};
    // The same texts again go to the writer once a second, for it to look
    // whether the files are still there; not at every refresh.
    if (texts == m_handed && m_sinceHanded.isValid() && m_sinceHanded.elapsed() < 1000)
        return;
    m_handed = texts;
    m_sinceHanded.start();
    std::lock_guard lock(m_mutex);
    const bool asked = m_pending.has_value();
    m_pending = std::move(texts);
    if (!asked)
        QMetaObject::invokeMethod(m_writer, [this] { writePending(); });
}

void FeedFiles::flush()
{
    if (m_writer)
        QMetaObject::invokeMethod(
            m_writer, [] {}, Qt::BlockingQueuedConnection);
}

void FeedFiles::writePending()
{
    Texts texts;
    {
        std::lock_guard lock(m_mutex);
        if (!m_pending)
            return;
        texts = std::move(*m_pending);
        m_pending.reset();
    }
    if (!m_sinceLook.isValid() || m_sinceLook.elapsed() >= 1000) {
        m_sinceLook.start();
        if (somethingGone()) {
            // Cleared away by hand or by a tidy-up: all of it again.
            QDir().mkpath(m_folder);
            m_written.clear();
        }
    }
    for (size_t i = 0; i < texts.size(); ++i)
        writeFile(QString::fromLatin1(Names[i]), texts[i]);
}

bool FeedFiles::somethingGone() const
{
    const QDir folder(m_folder);
    for (auto it = m_written.constBegin(); it != m_written.constEnd(); ++it) {
        if (!QFileInfo::exists(folder.filePath(it.key())))
            return true;
    }
    return false;
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
