#ifndef SCATTERDECK_ATOMS_LATTICE_H
#define SCATTERDECK_ATOMS_LATTICE_H

#include "crystal.h"

// Cartesian frame of a unit cell: a along x, b in the xy plane, lengths in Å.
class Lattice
{
public:
    explicit Lattice(const CellParameters &cell);

    // False for lengths that are not positive or angles that span no volume.
    bool isValid() const { return m_valid; }

    Vec3 toCartesian(const Vec3 &frac) const;

    // The largest change of fractional coordinate i over a distance of 1 Å
    // (the length of reciprocal vector i): a sphere of radius r spans
    // r * fracPerAngstrom(i) in coordinate i.
    double fracPerAngstrom(int i) const { return m_reciprocal[i]; }

private:
    bool m_valid = false;
    double m_m[3][3] = {};
    Vec3 m_reciprocal{};
};

#endif
