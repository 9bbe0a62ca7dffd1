#pragma once

#include "platform/ui_seam.h"

#include <QList>

#include <functional>

// Answers every modal window at once and remembers what was shown.
class RecordingUi : public UiSeam {
public:
    struct Message {
        QString title;
        QString text;
        Icon icon;
    };
    QList<Message> messages;
    // Runs while a message is "open", before it is closed with OK.
    std::function<void()> whileMessageOpen;

    // Every question asked, and what it is answered: No unless a test says otherwise.
    QList<Message> questions;
    bool questionAnswer = false;

    // What the save dialog answers: a path, or nothing for Cancel.
    std::optional<QString> saveAnswer;
    int saveDialogs = 0;
    QString lastSaveStartPath;
    QStringList lastSaveFilters;

    void message(QWidget *, const QString &title, const QString &text, Icon icon) override
    {
        messages.append({title, text, icon});
        if (whileMessageOpen)
            whileMessageOpen();
    }

    bool question(QWidget *, const QString &title, const QString &text) override
    {
        questions.append({title, text, Icon::Warning});
        return questionAnswer;
    }

    std::optional<QString> saveFileName(QWidget *, const QString &startPath,
                                        const QStringList &filters) override
    {
        ++saveDialogs;
        lastSaveStartPath = startPath;
        lastSaveFilters = filters;
        return saveAnswer;
    }
};
