#ifndef BACKGROUNDKEYS_H
#define BACKGROUNDKEYS_H

#include "data/xafsspectrum.h"

#include <QCoreApplication>
#include <QStringList>

class ParamTable;

// The configuration keys of the background removal of measured mu(E):
//   BKG_RBKG     R_bkg in A, above 0 and at most 10 (default 1.0)
//   BKG_KWEIGHT  k weight of the background fit, 0 to 3 (default 1)
//   BKG_E0       edge energy in eV; empty or missing: found in each spectrum
// A bad value is one message and the default.
class BackgroundKeys
{
    Q_DECLARE_TR_FUNCTIONS(BackgroundKeys)
public:
    static QStringList read(const ParamTable &params, BackgroundParams &background);
};

#endif
