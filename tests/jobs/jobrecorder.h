#ifndef JOBRECORDER_H
#define JOBRECORDER_H

#include "jobs/demeter.h"

#include <QMap>
#include <QTest>

// Records what a job shows and reports, in order: every status text as
// "text/stage/colour", "+" for procStarted(), "-" for procStopped(),
// "newChi" for newChi(). Log messages are kept apart.
class JobRecorder : public QObject
{
public:
    explicit JobRecorder(Demeter *job)
    {
        watchStatus(job, job->ui.AtomsStat);
        watchStatus(job, job->ui.FeffStat);
        connect(job, &Demeter::procStarted, this, [this] { events << "+"; });
        connect(job, &Demeter::procStopped, this, [this] { events << "-"; });
        connect(job, &Demeter::newChi, this, [this] { events << "newChi"; });
        connect(job, &Demeter::log, this, [this](const QString &msg) { logs << msg; });
    }

    // A FEFF run from start to results.
    static inline const QStringList feffRun{
        "F. Starting/8/yellow", "+", "F. Running/9/green", "-", "F. Finished/0/blue", "newChi"};

    // "text/colour" of a status field.
    static QString status(const QLineEdit *field)
    {
        return field->text() + QLatin1Char('/') + colourName(field->styleSheet());
    }

    static QString colourName(const QString &style)
    {
        static const QMap<QString, QString> names{
            {"background-color: rgb(255, 255, 128);", "yellow"},
            {"background-color: rgb(96, 255, 181);", "green"},
            {"background-color: rgb(213, 230, 255);", "blue"}};
        return names.value(style, style);
    }

    // The events once they equal expected (or at the timeout), taken a
    // moment later so that anything wrongly following them shows too.
    QStringList settled(const QStringList &expected, int timeoutMs = 20000)
    {
        if (QTest::qWaitFor([&] { return events == expected; }, timeoutMs))
            QTest::qWait(100);
        return events;
    }

    QStringList events;
    QStringList logs;

private:
    void watchStatus(Demeter *job, QLineEdit *field)
    {
        connect(field, &QLineEdit::textChanged, this, [this, job, field](const QString &text) {
            events << QStringLiteral("%1/%2/%3")
                          .arg(text)
                          .arg(job->currentStage())
                          .arg(colourName(field->styleSheet()));
        });
    }
};

#endif
