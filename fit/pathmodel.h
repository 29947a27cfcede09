#ifndef PATHMODEL_H
#define PATHMODEL_H

#include "fit/feffpath.h"
#include "fit/fitsettings.h"

#include <QCoreApplication>
#include <QPair>
#include <QString>
#include <QVector>

// The fit's model: the sum of the chosen FEFF paths of one job or of every
// site of a group, with five parameters shared by all paths. Parameter order
// in every array: s02, de0, alpha, ss1, ss2.
class PathModel
{
    Q_DECLARE_TR_FUNCTIONS(PathModel)
public:
    enum Parameter
    {
        S02,
        De0,
        Alpha,
        Ss1,
        Ss2,
        ParameterCount
    };

    // Reads the paths of every (job folder, weight): those of files.dat with
    // reff <= settings.pathRMax, the settings.maxPaths largest by FEFF's
    // amplitude ratio (ties by number). Each path's S0^2 share is its folder's
    // weight over the sum of the weights. False and a reason when a folder
    // has no path files or one cannot be read.
    bool load(const QVector<QPair<QString, double>> &folders, const FitSettings &settings,
              QString *reason);

    int pathCount() const { return paths.size(); }
    QVector<int> pathNumbers() const;
    double shortestReff() const { return shortest; }

    // The path parameters of one path at the five fit parameters.
    PathParameters pathParameters(int path, const double *p) const;
    // The model on the grid points k[0..n) (ascending).
    void chi(const double *k, int n, const double *p, double *out) const;
    // The model and its derivatives at fixed points (setPoints), for the
    // minimiser: model[0..n), jacobian[j * n + i] = d model_i / d p_j.
    void setPoints(const double *k, int n);
    void evaluate(const double *p, double *model, double *jacobian) const;

private:
    struct Path
    {
        FeffPath feff;
        double share = 1.0;
        bool firstShell = false; // sigma^2 is ss1, else ss2
    };
    void sumAt(const double *p, double *model, double *jacobian) const;

    QVector<Path> paths;
    double shortest = 0.0;
    const FeffPath::Wave *wavesAt(double de0) const;

    QVector<double> points;
    // Spline terms per path and point for the last two energy shifts.
    struct Cache
    {
        double de0 = qQNaN();
        QVector<FeffPath::Wave> waves;
    };
    mutable Cache caches[2];
    mutable int nextCache = 0;
};

#endif
