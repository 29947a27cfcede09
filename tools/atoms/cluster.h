#ifndef SCATTERDECK_ATOMS_CLUSTER_H
#define SCATTERDECK_ATOMS_CLUSTER_H

#include "cellfiller.h"
#include "crystal.h"
#include "lattice.h"

#include <vector>

struct ClusterAtom
{
    size_t site = 0; // index into Crystal::sites, for the tag
    int z = 0;
    Vec3 xyz{}; // Å, relative to the absorber
    double distance = 0;
};

// The atoms around an absorber, as FEFF wants them listed.
class Cluster
{
public:
    // Every atom within `radius` Å of the absorber, which is the first entry
    // (at the origin, with the element of its own site even where another
    // element holds the majority of that position). The others follow sorted
    // by distance, then atomic number, then site and coordinates, so the same
    // input always gives the same list.
    static std::vector<ClusterAtom> build(const Crystal &crystal, const Lattice &lattice,
                                          const std::vector<CellAtom> &cell, size_t absorberSite,
                                          double radius);

    // An upper bound of the atoms build() makes, counted without making
    // them: the images of every cell atom within the cube of side 2 radius
    // around the absorber.
    static double imageBound(const Crystal &crystal, const Lattice &lattice,
                             const std::vector<CellAtom> &cell, size_t absorberSite, double radius);

    // Shortens the list to at most `limit` atoms, dropping the whole shell
    // that would be split. Returns the radius kept (the distance of the last
    // atom kept), or -1 when nothing was cut.
    static double cut(std::vector<ClusterAtom> &atoms, size_t limit);
};

#endif
