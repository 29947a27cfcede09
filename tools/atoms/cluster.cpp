#include "cluster.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// Distances that differ by less than this (Å) belong to one shell.
constexpr double shellTolerance = 1e-4;

// The lattice translations (low to high along each axis) that bring the
// atom within the cube of side 2 radius around the centre; d is the atom's
// offset from the centre in fractions.
void imageRange(const CellAtom &atom, const Vec3 &centre, const Lattice &lattice, double radius,
                Vec3 &d, int low[3], int high[3])
{
    for (int i = 0; i < 3; ++i) {
        d[i] = atom.frac[i] - centre[i];
        const double reach = radius * lattice.fracPerAngstrom(i);
        low[i] = static_cast<int>(std::ceil(-d[i] - reach));
        high[i] = static_cast<int>(std::floor(-d[i] + reach));
    }
}

Vec3 centreOf(const Crystal &crystal, size_t absorberSite)
{
    Vec3 centre = crystal.sites[absorberSite].frac;
    for (double &f : centre)
        f -= std::floor(f);
    return centre;
}

void addImages(const CellAtom &atom, const Vec3 &centre, const Lattice &lattice, double radius,
               std::vector<ClusterAtom> &out)
{
    int low[3], high[3];
    Vec3 d;
    imageRange(atom, centre, lattice, radius, d, low, high);
    const double limit = radius * radius + 1e-9;
    for (int i = low[0]; i <= high[0]; ++i)
        for (int j = low[1]; j <= high[1]; ++j)
            for (int k = low[2]; k <= high[2]; ++k) {
                const Vec3 c = lattice.toCartesian({d[0] + i, d[1] + j, d[2] + k});
                const double r2 = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
                if (r2 <= limit)
                    out.push_back({atom.site, atom.z, c, std::sqrt(r2)});
            }
}

bool before(const ClusterAtom &a, const ClusterAtom &b)
{
    const long long shellA = std::llround(a.distance / shellTolerance);
    const long long shellB = std::llround(b.distance / shellTolerance);
    return std::tie(shellA, a.z, a.site, a.xyz) < std::tie(shellB, b.z, b.site, b.xyz);
}

} // namespace

std::vector<ClusterAtom> Cluster::build(const Crystal &crystal, const Lattice &lattice,
                                        const std::vector<CellAtom> &cell, size_t absorberSite,
                                        double radius)
{
    const Vec3 centre = centreOf(crystal, absorberSite);
    std::vector<ClusterAtom> atoms;
    for (const CellAtom &atom : cell)
        addImages(atom, centre, lattice, radius, atoms);
    // The absorber's own position, whoever holds it in the cell, is the absorber.
    atoms.erase(std::remove_if(
                    atoms.begin(), atoms.end(),
                    [](const ClusterAtom &a) { return a.distance < CellFiller::sameSiteDistance; }),
                atoms.end());
    std::sort(atoms.begin(), atoms.end(), before);
    atoms.insert(atoms.begin(), {absorberSite, crystal.sites[absorberSite].z, {0, 0, 0}, 0});
    return atoms;
}

double Cluster::imageBound(const Crystal &crystal, const Lattice &lattice,
                           const std::vector<CellAtom> &cell, size_t absorberSite, double radius)
{
    const Vec3 centre = centreOf(crystal, absorberSite);
    double count = 0;
    for (const CellAtom &atom : cell) {
        int low[3], high[3];
        Vec3 d;
        imageRange(atom, centre, lattice, radius, d, low, high);
        double images = 1;
        for (int i = 0; i < 3; ++i)
            images *= std::max(0, high[i] - low[i] + 1);
        count += images;
    }
    return count;
}

double Cluster::cut(std::vector<ClusterAtom> &atoms, size_t limit)
{
    if (atoms.size() <= limit || limit == 0)
        return -1;
    const double splitShell = atoms[limit].distance;
    size_t keep = limit;
    while (keep > 1 && atoms[keep - 1].distance > splitShell - shellTolerance)
        --keep;
    atoms.resize(keep);
    return atoms.back().distance;
}
