#ifndef RESULTSFOLDER_H
#define RESULTSFOLDER_H

#include <QCoreApplication>
#include <QString>

#include <memory>

class QLockFile;

// The folder a run writes its job folders into. A run claims it at start-up:
// the folder is made if missing, must take a new file, and is locked for as
// long as this object lives, so that a second run on the same folder learns
// of the first instead of overwriting its files. A lock left by a process
// that no longer runs is taken over.
class ResultsFolder
{
    Q_DECLARE_TR_FUNCTIONS(ResultsFolder)
public:
    ResultsFolder();
    ~ResultsFolder();
    ResultsFolder(const ResultsFolder &) = delete;
    ResultsFolder &operator=(const ResultsFolder &) = delete;

    // Empty when the folder can be written and is now held by this run;
    // otherwise one message naming the folder and the reason (or the
    // process that holds it). A second claim releases the first.
    QString claim(const QString &path);

    // Name of the lock file inside the folder.
    static const char lockName[];

private:
    std::unique_ptr<QLockFile> lock;
};

#endif
