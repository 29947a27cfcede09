#ifndef COLUMNFILE_H
#define COLUMNFILE_H

#include "data/xafsspectrum.h"

#include <QCoreApplication>
#include <QStringList>
#include <QVector>

// A text file of columns as beamlines and processing programs write them:
// "#" comment lines, the last one before the data naming the columns, then
// rows of numbers. It holds mu(E) when a column is named mu, mutrans or
// mufluor, when i0 comes with itrans or it (mu = ln(i0/it)) or with ifluor
// or if (mu = if/i0), or when the first column holds energies above 100 eV
// (mu is then the second column). Energy is the column named energy (or e),
// else the first, in eV.
class ColumnFile
{
    Q_DECLARE_TR_FUNCTIONS(ColumnFile)
public:
    using Rows = QVector<QVector<double>>;

    // The file's lines; false with a message when it cannot be read or is
    // far larger than any spectrum.
    static bool readLines(const QString &path, QStringList &lines, QString &problem);

    // False when the lines are no mu(E) data (a chi(k) file, say); true with
    // the spectrum filled, or with problem set when they are mu(E) data that
    // cannot be used (energies falling, mu not finite, too few points).
    static bool read(const QStringList &lines, const QString &path, XafsSpectrum &spectrum,
                     QString &problem);

    // The rows of numbers and the names of the last comment line before the
    // first of them (lower case, without "#").
    static void parse(const QStringList &lines, QStringList &names, Rows &rows);

    // Energy and mu of named (or unnamed) columns; the same rules as read.
    static bool spectrumOf(const QStringList &names, const Rows &rows, const QString &path,
                           XafsSpectrum &spectrum, QString &problem);

    // Points needed for a background removal.
    static constexpr int minPoints = 20;
};

#endif
