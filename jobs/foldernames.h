#ifndef FOLDERNAMES_H
#define FOLDERNAMES_H

#include "app/settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QString>

// The job folder names of one run inside one result folder. Two inputs with
// one base name (a second NaCl.cif from another folder, the same file
// dropped twice, Cu.cif beside Cu.inp) would otherwise share a folder, and
// the later job would overwrite the earlier one's results.
//
// The first job keeps the name it asks for; later ones get NAME-2, NAME-3, …,
// skipping names already taken. Names are compared without regard to case,
// so that the folders stay apart on file systems that ignore it too.
class FolderNames
{
    Q_DECLARE_TR_FUNCTIONS(FolderNames)
public:
    // The name the job is to use, now taken.
    QString take(const QString &wanted);
    // A deleted job's folder may be used again.
    void release(const QString &name);
    bool isTaken(const QString &name) const;
    int size() const { return int(taken.size()); }
    // base with the folder of input's job taken; *note gets the log line
    // when the job did not get the name it wanted, and is cleared otherwise.
    Settings assign(const Settings &base, const QFileInfo &input, QString *note);

private:
    static QString key(const QString &name) { return name.toCaseFolded(); }

    QSet<QString> taken; // folded names
    // Per wanted name, the last suffix handed out, so that a run of many
    // inputs with one name does not test every earlier suffix again.
    QHash<QString, int> lastSuffix;
};

#endif
