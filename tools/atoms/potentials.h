#ifndef SCATTERDECK_ATOMS_POTENTIALS_H
#define SCATTERDECK_ATOMS_POTENTIALS_H

#include "cluster.h"

#include <string>
#include <vector>

// The unique potentials of a FEFF 6 calculation: ipot 0 for the absorber, then
// one per element in the cluster in the order the elements first appear going
// outwards from the absorber.
class Potentials
{
public:
    // FEFF 6 stops on an eighth potential besides the absorber's.
    static constexpr int maxUnique = 7;

    struct Entry
    {
        int ipot;
        int z;
    };

    // Assigns a potential to every atom of `cluster` (absorber first). With
    // more elements than maxUnique, `merge` lets each element beyond the
    // seventh share the potential of the kept element nearest in atomic number
    // (the lighter one on a tie), and records that in notes(); without it the
    // call fails with a message in `error`.
    bool assign(const std::vector<ClusterAtom> &cluster, bool merge, std::string &error);

    const std::vector<Entry> &entries() const { return m_entries; }
    int ipot(size_t atom) const { return m_atomIpot[atom]; }
    const std::vector<std::string> &notes() const { return m_notes; }

private:
    std::vector<Entry> m_entries;
    std::vector<int> m_atomIpot;
    std::vector<std::string> m_notes;
};

#endif
