#ifndef ANALYSISKEYS_H
#define ANALYSISKEYS_H

#include "chi/ftoptions.h"

#include <QCoreApplication>
#include <QStringList>

class ParamTable;

// The configuration keys of the transform grid, the transform mode and the
// agreement with a measured curve:
//   K_MIN < K_MAX and R_MIN < R_MAX, all from 0 to 30, 0 < R_DELTA <= 1,
//   FT_MODE plain|standard, FT_KWEIGHT 0..3, 0 <= FT_DK <= 10,
//   FIT_KWEIGHT 0..3, FIT_RMIN, FIT_RMAX (0 <= FIT_RMIN < FIT_RMAX <= 30),
//   FIT_PATH_RMAX > 0, FIT_PATHS >= 1.
// A missing key has its default; a bad value is one message and the default
// (both keys' defaults for a range whose ends are in the wrong order).
class AnalysisKeys
{
    Q_DECLARE_TR_FUNCTIONS(AnalysisKeys)
public:
    // Fills ft and fit from params; returns the messages of the bad values.
    static QStringList read(const ParamTable &params, FtOptions &ft, FitOptions &fit);
    // Fills the k range and the R grid of args (not its ft) from params;
    // returns the messages of the bad values.
    static QStringList readGrid(const ParamTable &params, TransformArgs &args);

    // Largest k in 1/Angstrom and R in Angstrom a setting may name.
    static constexpr double largestKR = 30.0;

private:
    static void readPathChoice(const ParamTable &params, FitOptions &fit, QStringList &problems);
    static bool readWeight(const ParamTable &params, const char *key, int &weight,
                           QStringList &problems);
    static bool readNumber(const ParamTable &params, const char *key, double &value,
                           QStringList &problems);
    static void readRange(const ParamTable &params, const char *minKey, const char *maxKey,
                          double &min, double &max, QStringList &problems);
};

#endif
