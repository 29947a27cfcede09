#include "cellfiller.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>

namespace {

struct Image
{
    size_t site;
    Vec3 frac;
};

double wrap(double f)
{
    double w = f - std::floor(f);
    return w >= 1 - 1e-12 ? 0 : w;
}

Vec3 apply(const SymOp &op, const Vec3 &f)
{
    Vec3 r;
    for (int i = 0; i < 3; ++i)
        r[i] = wrap(op.rot[i][0] * f[0] + op.rot[i][1] * f[1] + op.rot[i][2] * f[2] + op.tran[i]);
    return r;
}

// Shortest distance in Å between two fractional positions, over the
// neighbouring cells.
double periodicDistance(const Lattice &lattice, const Vec3 &a, const Vec3 &b)
{
    Vec3 d;
    for (int i = 0; i < 3; ++i)
        d[i] = a[i] - b[i] - std::round(a[i] - b[i]);
    double best = 1e300;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            for (int k = -1; k <= 1; ++k) {
                const Vec3 c = lattice.toCartesian({d[0] + i, d[1] + j, d[2] + k});
                best = std::min(best, c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
            }
    return std::sqrt(best);
}

// Buckets of fractional space, each at least `reach` Å wide along every
// reciprocal direction, so that positions closer than `reach` lie in the same
// or neighbouring buckets (cell edges wrap).
class Buckets
{
public:
    Buckets(const Lattice &lattice, double reach, size_t expected)
    {
        for (int i = 0; i < 3; ++i) {
            // Clamped before the conversion: a tiny or non-finite width
            // would not fit an int.
            const double n = 1.0 / (reach * lattice.fracPerAngstrom(i));
            m_n[i] = std::isnan(n) ? 1 : static_cast<int>(std::clamp(n, 1.0, 400.0));
        }
        // Keep the table near the number of entries: wider buckets stay correct.
        while (static_cast<size_t>(m_n[0]) * m_n[1] * m_n[2] > 4 * expected + 27) {
            int *largest = std::max_element(m_n, m_n + 3);
            *largest = std::max(1, *largest / 2);
        }
        m_table.resize(static_cast<size_t>(m_n[0]) * m_n[1] * m_n[2]);
    }

    void insert(const Vec3 &frac, size_t id) { m_table[index(cell(frac))].push_back(id); }

    // Entries in the bucket of `frac` and in its neighbours.
    std::vector<size_t> near(const Vec3 &frac) const
    {
        const std::array<int, 3> c = cell(frac);
        std::set<size_t> buckets;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                for (int k = -1; k <= 1; ++k)
                    buckets.insert(index({c[0] + i, c[1] + j, c[2] + k}));
        std::vector<size_t> ids;
        for (size_t b : buckets)
            ids.insert(ids.end(), m_table[b].begin(), m_table[b].end());
        return ids;
    }

private:
    std::array<int, 3> cell(const Vec3 &frac) const
    {
        std::array<int, 3> c;
        for (int i = 0; i < 3; ++i)
            c[i] = std::min(m_n[i] - 1, static_cast<int>(frac[i] * m_n[i]));
        return c;
    }
    size_t index(std::array<int, 3> c) const
    {
        for (int i = 0; i < 3; ++i)
            c[i] = ((c[i] % m_n[i]) + m_n[i]) % m_n[i];
        return (static_cast<size_t>(c[0]) * m_n[1] + c[1]) * m_n[2] + c[2];
    }

    int m_n[3] = {1, 1, 1};
    std::vector<std::vector<size_t>> m_table;
};

class DisjointSets
{
public:
    explicit DisjointSets(size_t n) : m_parent(n)
    {
        std::iota(m_parent.begin(), m_parent.end(), 0);
    }
    size_t find(size_t i)
    {
        while (m_parent[i] != i)
            i = m_parent[i] = m_parent[m_parent[i]];
        return i;
    }
    // The smaller root stays, so a group is named after its first member.
    void unite(size_t a, size_t b)
    {
        a = find(a);
        b = find(b);
        if (a != b)
            m_parent[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<size_t> m_parent;
};

std::vector<Image> allImages(const Crystal &crystal)
{
    std::vector<Image> images;
    images.reserve(crystal.sites.size() * crystal.ops.size());
    for (size_t s = 0; s < crystal.sites.size(); ++s)
        for (const SymOp &op : crystal.ops)
            images.push_back({s, apply(op, crystal.sites[s].frac)});
    return images;
}

std::string format(const char *pattern, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

// Joins images closer than the same-site distance. Images of one site that
// are clearly apart (a disordered atom next to a symmetry element) are
// reported.
DisjointSets groupImages(const std::vector<Image> &images, const Crystal &crystal,
                         const Lattice &lattice, std::set<std::string> &notes)
{
    DisjointSets groups(images.size());
    Buckets buckets(lattice, CellFiller::sameSiteDistance, images.size());
    std::map<size_t, double> widestSplit; // site -> largest distance of its joined images
    for (size_t k = 0; k < images.size(); ++k) {
        for (size_t j : buckets.near(images[k].frac)) {
            const double d = periodicDistance(lattice, images[k].frac, images[j].frac);
            if (d >= CellFiller::sameSiteDistance)
                continue;
            groups.unite(j, k);
            if (images[j].site == images[k].site && d > 0.1)
                widestSplit[images[k].site] = std::max(widestSplit[images[k].site], d);
        }
        buckets.insert(images[k].frac, k);
    }
    for (const auto &split : widestSplit)
        notes.insert("site " + crystal.sites[split.first].label + ": symmetry images up to " +
                     format("%.2f", split.second) + " A apart taken as one atom (disordered site)");
    return groups;
}

// Chooses the site that takes a shared position: the element with the largest
// summed occupancy, then its first site.
size_t majoritySite(const std::vector<size_t> &sites, const Crystal &crystal,
                    std::set<std::string> &notes)
{
    std::map<int, double> byElement;
    for (size_t s : sites)
        byElement[crystal.sites[s].z] += crystal.sites[s].occupancy;
    size_t winner = sites.front();
    for (size_t s : sites) {
        const double sum = byElement[crystal.sites[s].z];
        if (sum > byElement[crystal.sites[winner].z] + 1e-6)
            winner = s;
    }
    std::string note = "shared site:";
    for (size_t s : sites)
        note += " " + crystal.sites[s].label + format(" %.3g", crystal.sites[s].occupancy);
    notes.insert(note + "; " + crystal.sites[winner].label + " placed (majority)");
    return winner;
}

} // namespace

std::vector<CellAtom> CellFiller::fill(const Crystal &crystal, const Lattice &lattice,
                                       std::vector<std::string> &notes)
{
    const std::vector<Image> images = allImages(crystal);
    std::set<std::string> remarks;
    DisjointSets groups = groupImages(images, crystal, lattice, remarks);

    std::map<size_t, std::vector<size_t>> members; // first image -> images of the group
    for (size_t k = 0; k < images.size(); ++k)
        members[groups.find(k)].push_back(k);

    std::vector<CellAtom> atoms;
    for (const auto &group : members) {
        std::vector<size_t> sites;
        for (size_t k : group.second)
            sites.push_back(images[k].site);
        std::sort(sites.begin(), sites.end());
        sites.erase(std::unique(sites.begin(), sites.end()), sites.end());
        const size_t site =
            sites.size() == 1 ? sites.front() : majoritySite(sites, crystal, remarks);
        if (sites.size() == 1 && crystal.sites[site].occupancy < 0.995)
            remarks.insert("site " + crystal.sites[site].label + " has occupancy " +
                           format("%.3g", crystal.sites[site].occupancy) +
                           ", taken as fully occupied");
        for (size_t k : group.second) {
            if (images[k].site == site) {
                atoms.push_back({site, crystal.sites[site].z, images[k].frac});
                break;
            }
        }
    }
    notes.insert(notes.end(), remarks.begin(), remarks.end());
    return atoms;
}
