#ifndef ANALYSISKEYS_H
#define ANALYSISKEYS_H

#include "chi/ftoptions.h"

#include <QCoreApplication>
#include <QStringList>

class ParamTable;

// The configuration keys of the transform mode and of the agreement with a
// measured curve:
//   FT_MODE plain|standard, FT_KWEIGHT 0..3, FT_DK >= 0,
//   FIT_KWEIGHT 0..3, FIT_RMIN, FIT_RMAX (0 <= FIT_RMIN < FIT_RMAX),
//   FIT_PATH_RMAX > 0, FIT_PATHS >= 1.
// A missing key has its default; a bad value is one message and the default.
class AnalysisKeys
{
    Q_DECLARE_TR_FUNCTIONS(AnalysisKeys)
public:
    // Fills ft and fit from params; returns the messages of the bad values.
    static QStringList read(const ParamTable &params, FtOptions &ft, FitOptions &fit);

private:
    static void readPathChoice(const ParamTable &params, FitOptions &fit, QStringList &problems);
    static bool readWeight(const ParamTable &params, const char *key, int &weight,
                           QStringList &problems);
    static bool readNumber(const ParamTable &params, const char *key, double &value,
                           QStringList &problems);
};

#endif
