// The job folder's files: the FEFF input going in, the results coming out.
#include "jobs/demeter.h"

#include "app/textfuncs.h"
#include "chi/feffpaths.h"
#include "chi/linereader.h"
#include "chi/resultfile.h"
#include "chi/standardtransform.h"
#include "fit/feffpathset.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <memory>

namespace {

const char copyHeader[] = " * This file was copied by Scatterdeck\n";
const char feffTextStart[] = " * This";

} // namespace

void Demeter::prepareFeffInpFile()
{
    // A missing file has no canonical path; the message then names the
    // path as given rather than an empty one.
    QString path = inputFile.canonicalFilePath();
    if (path.isEmpty())
        path = inputFile.absoluteFilePath();
    // No FEFF input needs more; a FIFO or a device would hang the reading.
    const QString problem = fileReadProblem(path, LineReader::maxChiBytes);
    QFile file(path);
    if (!problem.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        emit log(tr("Can not open feff input file : %1 to read.").arg(path) +
                 (problem.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(problem)));
        return;
    }
    QTextStream in(&file);
    useFileCodec(in);
    const QString text = in.readAll();
    atomsText.append(QString::fromLatin1(copyHeader));
    atomsText.append(text);
    atomsText.pack();
}

bool Demeter::setupFeffInpFile()
{
    // Atoms prints its own chatter before the FEFF input proper, which begins
    // with the " * This" comment line (as does the copy header).
    QString text = atomsText.text();
    const int begin = text.indexOf(QLatin1String(feffTextStart));
    if (begin > 0)
        text.remove(0, begin);

    showFeffInps(settings.feffInps);
    QString rewritten;
    QTextStream lines(&text, QIODevice::ReadOnly);
    while (!lines.atEnd())
        rewritten += applyFeffInps(settings.feffInps, lines.readLine()) + QLatin1Char('\n');
    const QString path = joinPath(jobDir, QStringLiteral("feff.inp"));
    const QString problem = ResultFile::writeText(path, rewritten);
    if (problem.isEmpty())
        return true;
    failureText = QStringLiteral("feff.inp not written: %1").arg(problem);
    emit log(tr("Can not write %1: %2").arg(path, problem));
    return false;
}

QString Demeter::applyFeffInps(const FeffInpList &entries, const QString &line)
{
    // The line's first word is read by the same rule as a configured entry.
    const std::unique_ptr<FeffInp> card(parseFeffInp(line));
    const int index = findFeffInp(entries, card->name);
    if (index < 0)
        return line;
    const FeffInp *entry = entries.at(index);
    const QString result = (entry->commented ? QStringLiteral("#") : QString()) + entry->name +
                           QLatin1Char(' ') + entry->text;
    qDebug() << "replace :" << line << ":" << result;
    return result;
}

void Demeter::clearResultFiles()
{
    QDir dir(jobDir);
    auto removeMatching = [&dir](const QString &pattern) {
        for (const QString &name : dir.entryList(QStringList{pattern}, QDir::Files))
            dir.remove(name);
    };
    if (settings.clearFeffDat)
        removeMatching(QStringLiteral("feff*.dat"));
    if (settings.clearChiDat)
        removeMatching(QStringLiteral("chi*.dat"));
}

void Demeter::readResults()
{
    const Settings &s = settings;
    failureText.clear();
    chi.readChiK(joinPath(jobDir, QStringLiteral("chi.dat")));
    if (usableChiK()) {
        chi.transform(s.transformArgs());
        const QString chiR = joinPath(jobDir, QStringLiteral("chiR.dat"));
        const QString problem = chi.writeChiR(chiR, StandardTransform::comments(chi.transformed));
        if (!problem.isEmpty()) {
            failureText = QStringLiteral("chiR.dat not written: %1").arg(problem);
            emit log(tr("Can not write %1: %2").arg(chiR, problem));
        }
    }

    unloadPaths();
    const QDir dir(jobDir);
    const QStringList filters{QStringLiteral("chip*.dat")};
    // The path curves are read when the job's Show2 asks for them (only one
    // job shows them at a time), so that hundreds of finished jobs do not
    // keep every path's curves; a batch run only counts FEFF's files.
    pathFiles = dir.entryList(filters, QDir::Files);
    if (pathFiles.isEmpty()) {
        // FEFF 8.5L writes no chip files: the curves come from the path model.
        readModelPaths();
    } else {
        paths = pathFiles.size();
        if (!s.batchRun && ui.Show2->isChecked())
            loadPaths();
        else
            identifyPaths(pathFiles);
    }

    if (chi.hasChiK)
        emit newChi();
}

// Non-finite values tell of a FEFF run that went wrong, and a handful of
// points in the k range gives no chi(R) worth writing: the job then has no
// chi(k) data, and failure() says why.
bool Demeter::usableChiK()
{
    if (!chi.hasChiK)
        return false;
    const QString problem = chi.unusableReason(settings.kMin, settings.kMax);
    if (problem.isEmpty())
        return true;
    failureText = problem;
    emit log(tr("::Can not use chi(k) file %1 : %2").arg(chi.sourcePath, problem));
    chi.clearChiK();
    return false;
}

void Demeter::loadPaths()
{
    if (!chips.isEmpty())
        return;
    if (pathFiles.isEmpty()) {
        // Model paths (FEFF 8.5L) are made again if they were freed.
        if (paths > 0 && !settings.batchRun)
            readModelPaths();
        return;
    }
    QStringList read;
    for (const QString &name : qAsConst(pathFiles))
        if (readPath(joinPath(jobDir, name)))
            read << name;
    paths = read.size();
    identifyPaths(read);
}

void Demeter::unloadPaths()
{
    qDeleteAll(chips);
    chips.clear();
}

bool Demeter::readPath(const QString &fileName)
{
    const Settings &s = settings;
    auto *path = new Chi(nullptr);
    connect(path, &Chi::log, this, &Demeter::log);
    path->readChiK(fileName);
    if (!path->hasChiK) {
        delete path;
        return false;
    }
    chips.append(path);
    path->transform(s.transformArgs());
    return true;
}

// Every feffNNNN.dat at FEFF's own parameters on FEFF's chip grid, so that
// a job without chip files shows the same curves.
void Demeter::readModelPaths()
{
    FeffPathSet set;
    for (const QString &problem : set.read(jobDir))
        emit log(problem);
    pathIds.clear();
    for (int i = 0; i < set.size(); ++i) {
        pathIds << set.identity(i);
        if (settings.batchRun)
            continue;
        const QVector<double> k = FeffPathSet::chipGrid(std::min(set.path(i).kMax(), 20.0));
        auto *path = new Chi(nullptr);
        connect(path, &Chi::log, this, &Demeter::log);
        path->setChiK(k, set.path(i).chi(k, set.feffParameters(i)),
                      joinPath(jobDir, set.identity(i).file));
        chips.append(path);
        path->transform(settings.transformArgs());
    }
    paths = set.size();
}

// FEFF's lists name the paths; without them the curves are still shown.
void Demeter::identifyPaths(const QStringList &chipFiles)
{
    QString problem;
    pathIds = FeffPaths::identify(jobDir, chipFiles, &problem);
    if (!chipFiles.isEmpty() && !problem.isEmpty())
        emit log(problem);
}
