#ifndef FEFFPATHSET_H
#define FEFFPATHSET_H

#include "chi/pathidentity.h"
#include "fit/feffpath.h"
#include "fit/pathparameters.h"

#include <QStringList>
#include <QVector>

#include <vector>

// The scattering paths of one FEFF run (6L or 8.5L): every feffNNNN.dat of
// the job folder as a model, with what FEFF's lists say about it and the
// parameters FEFF's input gave (S0² of feff.inp, σ² per path of files.dat).
class FeffPathSet
{
public:
    // Reads the folder. Returns one log line per file that could not be used
    // (the path is left out); empty when every path was read.
    QStringList read(const QString &dir);

    int size() const { return int(paths.size()); }
    bool isEmpty() const { return paths.empty(); }
    const FeffPath &path(int i) const { return paths[std::size_t(i)]; }
    // file is the feffNNNN.dat name; figures the lists lack come from the
    // path file's own header.
    const PathIdentity &identity(int i) const { return ids[i]; }
    double inputS02() const { return s02; }
    // FEFF's own parameters of path i: the input's S0², the listed σ² (0 when
    // files.dat does not list it), no shift, no change of distance.
    PathParameters feffParameters(int i) const;

    // S0² of a feff.inp text: the S02 card, else the second value of HOLE,
    // else 1 (FEFF's default).
    static double s02FromInput(const QByteArray &feffInp);
    // The path files of dir (feffNNNN.dat, any case) by ascending number.
    static QStringList pathFiles(const QString &dir);
    // FEFF's own chi grid: k = 0, 0.05, ... up to kMax.
    static QVector<double> chipGrid(double kMax);

private:
    std::vector<FeffPath> paths;
    QVector<PathIdentity> ids;
    double s02 = 1.0;
};

#endif
