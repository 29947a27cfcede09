#ifndef SCATTERDECK_ATOMS_CELLFILLER_H
#define SCATTERDECK_ATOMS_CELLFILLER_H

#include "crystal.h"
#include "lattice.h"

#include <string>
#include <vector>

// One atom of the filled unit cell.
struct CellAtom
{
    size_t site = 0; // index into Crystal::sites
    int z = 0;
    Vec3 frac{}; // each coordinate in [0, 1)
};

// Fills the unit cell from the sites and the symmetry operations.
class CellFiller
{
public:
    // Atoms closer than this (Å, across cell edges too) stand on one site:
    // symmetry images of a site on a special position, or rows of a mixed or
    // disordered site.
    static constexpr double sameSiteDistance = 0.5;

    // Returns one atom per occupied position, in the order of the sites and
    // operations. Where several sites share a position, the element with the
    // largest summed occupancy takes it, ties going to the earlier site.
    // Remarks on shared and partly occupied sites are appended to `notes`.
    static std::vector<CellAtom> fill(const Crystal &crystal, const Lattice &lattice,
                                      std::vector<std::string> &notes);
};

#endif
