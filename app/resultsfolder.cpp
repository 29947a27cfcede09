#include "app/resultsfolder.h"

#include "app/textfuncs.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

const char ResultsFolder::lockName[] = ".scatterdeck.lock";

ResultsFolder::ResultsFolder() = default;

ResultsFolder::~ResultsFolder() = default;

namespace {

// Makes path and the folders above it that are missing; empty on success,
// otherwise the system's reason (QDir::mkpath() gives none).
QString makeFolder(const QString &path)
{
    if (QFileInfo(path).isDir() || QDir().mkpath(path))
        return QString();
    // The first folder on the way that could not be made, tried again for
    // its errno: a read-only disk, a file in the way, no permission.
    QString existing = QDir::cleanPath(path);
    QString next;
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        next = existing;
        existing = QFileInfo(existing).path();
    }
    if (next.isEmpty() || ::mkdir(QFile::encodeName(next).constData(), 0777) == 0)
        return QStringLiteral("it could not be made");
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

QString ResultsFolder::claim(const QString &path)
{
    lock.reset();
    const QString problem = makeFolder(path);
    if (!problem.isEmpty())
        return tr("The results folder %1 can not be written: %2").arg(path, problem);
    // A file made and removed again: mkpath gives no reason, and a folder
    // that exists may still refuse new files.
    QTemporaryFile probe(joinPath(path, QStringLiteral(".scatterdeck-probe-XXXXXX")));
    if (!probe.open())
        return tr("The results folder %1 can not be written: %2").arg(path, probe.errorString());
    probe.remove();

    lock = std::make_unique<QLockFile>(joinPath(path, QLatin1String(lockName)));
    // Never stale by age: a run may take days. A lock whose process has
    // gone is stale all the same, and tryLock() takes it over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return QString();
    const bool held = lock->error() == QLockFile::LockFailedError;
    qint64 pid = 0;
    QString host;
    QString app;
    // A run that starts at the same moment may not have written its lock's
    // contents yet.
    bool named = false;
    for (int tries = 0; held && !named && tries < 20; ++tries) {
        named = lock->getLockInfo(&pid, &host, &app);
        if (!named)
            QThread::msleep(25);
    }
    lock.reset();
    if (named)
        return tr("The results folder %1 is in use by another run: %2, process %3 on %4")
            .arg(path, app)
            .arg(pid)
            .arg(host);
    if (held)
        return tr("The results folder %1 is in use by another run").arg(path);
    return tr("The results folder %1 can not be locked for this run").arg(path);
}
