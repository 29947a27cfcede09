#ifndef ATOMSRUN_H
#define ATOMSRUN_H

// Runs the built scatterdeck-atoms as a job runs it and reads what it wrote.

#include "tests/testfiles.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace atomstest {

struct Atom
{
    double x, y, z;
    int ipot;
    QString tag;
    double distance;
};

// One run: what it wrote, and the cards of its FEFF input the tests look at.
struct Run
{
    QString cif;
    bool crashed = true;
    int exitCode = -1;
    QByteArray out, err;
    QStringList lines;                         // blanks squeezed
    QMap<int, QPair<int, QString>> potentials; // ipot -> (Z, tag)
    QVector<Atom> atoms;
};

const QByteArray cell4 = "data_x\n_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n";
const QByteArray siteLoop =
    "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n";

inline QByteArray data(const QString &name)
{
    return readFile(QStringLiteral(ATOMS_DATA "/") + name);
}

// File names carry non-ASCII letters: they are passed as UTF-8 whatever the
// locale. True when the program has been built.
inline bool prepareRuns()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    return QFile::exists(QStringLiteral(ATOMS_EXE));
}

// Runs the program from a fresh directory; with a name, on a file of that
// name there holding the CIF text (no file if the text is null).
inline Run run(QStringList args, const QByteArray &cif = {}, const QString &name = {})
{
    QTemporaryDir dir;
    Run r;
    if (!name.isEmpty()) {
        r.cif = dir.filePath(name);
        if (!cif.isNull())
            writeFile(r.cif, cif);
        args << "-c" << r.cif;
    }
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(ATOMS_EXE), args);
    if (!process.waitForFinished(30000))
        return r;
    r.crashed = process.exitStatus() != QProcess::NormalExit;
    r.exitCode = process.exitCode();
    r.out = process.readAllStandardOutput();
    r.err = process.readAllStandardError();
    for (const QString &line : QString::fromLatin1(r.out).split('\n'))
        r.lines << line.simplified();
    QString card; // the cards of the FEFF input the tests look at

    for (const QString &line : qAsConst(r.lines)) {
        const QStringList w = line.split(' ', Qt::SkipEmptyParts);
        if (w.isEmpty() || w[0].startsWith('*'))
            continue;
        if (w[0] == "POTENTIALS" || w[0] == "ATOMS" || w[0] == "END")
            card = w[0];
        else if (card == "POTENTIALS" && w.size() >= 3)
            r.potentials[w[0].toInt()] = {w[1].toInt(), w[2]};
        else if (card == "ATOMS" && w.size() >= 6)
            r.atoms.append({w[0].toDouble(), w[1].toDouble(), w[2].toDouble(), w[3].toInt(), w[4],
                            w[5].toDouble()});
    }
    return r;
}

// Shells: "count element distance, ..." from the absorber out, empty: not
// checked. Potentials: "ipot:Z ..." in order, empty: not checked. Lines: each
// begins a line of the output, blanks squeezed. Notes: all of them.
inline void convertRow(const char *name, const QByteArray &cif, const QStringList &args,
                       const QString &shells, const QString &potentials = {},
                       const QStringList &lines = {}, const QStringList &notes = {})
{
    QTest::newRow(name) << cif << args << shells << potentials << lines << notes;
}

inline void badRow(const char *name, const QByteArray &cif, const QStringList &args,
                   const QString &message, int status = 1)
{
    QTest::newRow(name) << cif << args << status << message;
}

} // namespace atomstest

using namespace atomstest;

#endif
