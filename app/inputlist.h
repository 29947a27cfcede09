#ifndef INPUTLIST_H
#define INPUTLIST_H

#include <QFileInfo>
#include <QString>
#include <QStringList>

// The input files of the start-up scan, by name only: the CIF folder's
// "*.cif" and "*.inp" (run through Atoms first), then the FEFF input folder's
// "*.inp" (straight to FEFF). Each folder is taken as QDir lists it by
// default: every entry but hidden ones, patterns matched and names sorted
// without regard to case. A name costs a few dozen bytes, so a list of a
// hundred thousand inputs stays small; the file information is made only
// for the entry taken.
class InputList
{
public:
    struct Entry
    {
        QFileInfo file;
        bool viaAtoms = false; // from the CIF folder
    };

    InputList() = default;
    InputList(const QString &cifDir, const QString &inpDir);

    // Keeps the entries whose place in the list, counted from 0, leaves the
    // remainder share - 1 when divided by shares (share from 1 to shares):
    // the shares of one list cover it without overlap and differ in size by
    // one at most.
    void keepShare(int share, int shares);

    int size() const { return cifNames.size() + inpNames.size(); }
    bool isEmpty() const { return size() == 0; }
    // The first entry, removed from the list; the list must not be empty.
    Entry takeFirst();

    static QStringList cifPatterns();
    static QStringList inpPatterns();

private:
    static QStringList listNames(const QString &dir, const QStringList &patterns);

    QString cifDir;
    QString inpDir;
    QStringList cifNames;
    QStringList inpNames;
};

#endif
