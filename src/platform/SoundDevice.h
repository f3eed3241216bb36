#pragma once

#include <QObject>
#include <QString>

// A device that plays one wave file at a time, driven by command words:
// "Open" opens FileName, "Play" plays it from where it stands, "Stop" stops,
// "Prev" goes back to its start, "Close" closes it. Done() is reported once
// for every "Play", when the sound has ended, failed or was stopped; always
// from the event loop, never from inside a command.
class SoundDevice : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName)
    Q_PROPERTY(QString Command READ command WRITE setCommand)

public:
    using QObject::QObject;

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString command() const { return m_command; }
    void setCommand(const QString &command)
    {
        m_command = command;
        execute(command);
    }

Q_SIGNALS:
    void Done();

protected:
    virtual void execute(const QString &command) = 0;

private:
    QString m_fileName;
    QString m_command;
};
