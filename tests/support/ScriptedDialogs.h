#pragma once

#include "Dialogs.h"

#include <QQueue>
#include <QStringList>

// Answers the choosers and message boxes from a script, and remembers what
// was asked. An unscripted question is a test failure waiting to happen, so
// it answers "cancel"/"No" and records that it was asked.
class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() { Dialogs::setCurrent(this); }
    ~ScriptedDialogs() override { Dialogs::setCurrent(nullptr); }

    QQueue<std::optional<QColor>> colors;
    QQueue<std::optional<QString>> files;
    QQueue<bool> answers;
    // Questions that may be put away: nothing is Escape or the close box.
    // When empty, they take `answers`.
    QQueue<std::optional<bool>> laterAnswers;
    QStringList asked;         // titles of the questions and warnings, in order
    QList<QColor> colorStarts; // what each colour chooser opened on
    QStringList filters;
    int beeps = 0;

    std::optional<QColor> chooseColor(QWidget *, const QColor &initial) override
    {
        colorStarts << initial;
        return colors.isEmpty() ? std::nullopt : colors.dequeue();
    }
    std::optional<QString> chooseOpenFile(QWidget *, const QString &filter) override
    {
        filters << filter;
        return files.isEmpty() ? std::nullopt : files.dequeue();
    }
    bool askYesNo(QWidget *, const QString &title, const QString &text) override
    {
        asked << title + QStringLiteral(": ") + text;
        return answers.isEmpty() ? false : answers.dequeue();
    }
    std::optional<bool> askYesNoOrLater(QWidget *parent, const QString &title,
                                        const QString &text) override
    {
        if (laterAnswers.isEmpty())
            return askYesNo(parent, title, text);
        asked << title + QStringLiteral(": ") + text;
        return laterAnswers.dequeue();
    }
    void warn(QWidget *, const QString &title, const QString &text) override
    {
        asked << title + QStringLiteral(": ") + text;
    }
    void beep() override { ++beeps; }
};
