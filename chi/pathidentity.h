#ifndef PATHIDENTITY_H
#define PATHIDENTITY_H

#include <QString>
#include <QStringList>
#include <QtGlobal>

// What FEFF says about one of its scattering paths. A value FEFF's lists did
// not give stays unknown: NaN for the numbers, 0 legs, an empty route.
struct PathIdentity
{
    QString file;                // the chipNNNN.dat or feffNNNN.dat name
    int number = 0;              // FEFF's path number; 0 when the name has none
    double reff = qQNaN();       // half the path length, Å
    double degeneracy = qQNaN(); // number of equivalent paths
    int legs = 0;                // 2 for single scattering
    double amplitude = qQNaN();  // curved-wave amplitude ratio, % of the strongest path
    QStringList route;           // absorber, then the atoms visited; element symbols
    double sigma2 = qQNaN();     // σ² files.dat lists for the path, Å²

    bool hasFigures() const { return legs > 0; }
};

#endif
