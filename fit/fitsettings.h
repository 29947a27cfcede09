#ifndef FITSETTINGS_H
#define FITSETTINGS_H

#include <QString>
#include <QVector>

// A measured chi(k) curve as the fit takes it: plain values, no QObject, so
// that a copy can go to a worker thread. k in 1/A.
struct MeasuredCurve
{
    QString path; // the file it came from, for messages
    QVector<double> k;
    QVector<double> chi;
};

// The fit's ranges and path selection, from the configuration keys K_MIN,
// K_MAX, FT_DK, FIT_KWEIGHT, FIT_RMIN, FIT_RMAX, FIT_PATH_RMAX, FIT_PATHS.
struct FitSettings
{
    double kMin = 3.0;
    double kMax = 12.0;
    double dk = 1.0;
    int kWeight = 2;
    double rMin = 1.0;
    double rMax = 3.0;
    double pathRMax = 5.0; // paths with a longer reff are left out, A
    int maxPaths = 20;     // the strongest paths kept
};

#endif
