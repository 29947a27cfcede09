#ifndef JOBRECORDER_H
#define JOBRECORDER_H

#include "jobs/demeter.h"

#include <QObject>
#include <QStringList>

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

    static QString colourName(const QString &style)
    {
        if (style == QLatin1String("background-color: rgb(255, 255, 128);"))
            return QStringLiteral("yellow");
        if (style == QLatin1String("background-color: rgb(96, 255, 181);"))
            return QStringLiteral("green");
        if (style == QLatin1String("background-color: rgb(213, 230, 255);"))
            return QStringLiteral("blue");
        if (style == QLatin1String("background-color: rgb(255, 255, 224);"))
            return QStringLiteral("read-only");
        return style;
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
