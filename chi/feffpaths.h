#ifndef FEFFPATHS_H
#define FEFFPATHS_H

#include "chi/pathidentity.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// FEFF's two path lists of a job folder (6L and 8.5L write the same layout): files.dat (one row per
// feffNNNN.dat kept: sig2, amplitude ratio, degeneracy, legs, reff) and paths.dat (every path
// found, with the atom at the end of each leg). FEFF leaves weak paths out of both the path files
// and the chi sum, so a chipNNNN.dat is matched by its number, never by its place in the folder.
//
// Only whole lines count: a file cut off while being written loses its last
// entry, not its figures. Lines that fit neither layout are skipped.
class FeffPaths
{
    Q_DECLARE_TR_FUNCTIONS(FeffPaths)

public:
    // Reads both lists of dir. Returns one log line naming the lists that
    // could not be read or held no path, empty when both were read.
    QString read(const QString &dir);
    // Returns the number of rows taken.
    int readFiles(const QByteArray &text);
    int readPaths(const QByteArray &text);

    // The identity of a chipNNNN.dat (a name without folder), from what the
    // lists held; unknown parts stay unknown.
    PathIdentity identity(const QString &chipFile) const;
    // The identity of FEFF's path number (file left empty).
    PathIdentity identity(int number) const;
    // Every path files.dat lists, by ascending number, named feffNNNN.dat,
    // with what both lists tell (sig2 and amplitude ratio from files.dat).
    QVector<PathIdentity> listedPaths() const;
    // The identities of a job's path files, in the given order, with the
    // log line of read() (empty when both lists were read).
    static QVector<PathIdentity> identify(const QString &dir, const QStringList &chipFiles,
                                          QString *problem);
    // NNNN of chipNNNN.dat (any case), 0 when the name has no number.
    static int chipNumber(const QString &fileName);
    // NNNN of chipNNNN.dat or feffNNNN.dat (any case), else 0.
    static int pathNumber(const QString &fileName);
    // The element of a potential label: "Ti", "O1", "fe2+" give Ti, O, Fe.
    static QString element(const QString &label);

private:
    struct FilesRow
    {
        double sigma2, amplitude, degeneracy, reff;
        int legs;
    };
    struct PathsRow
    {
        double degeneracy, reff;
        int legs;
        QStringList route;
    };
    QHash<int, FilesRow> filesRows;
    QHash<int, PathsRow> pathsRows;
};

#endif
