#include "potentials.h"

#include "element.h"

#include <cstdlib>
#include <map>

namespace {

// Elements other than the absorber itself, nearest first.
std::vector<int> elementsByAppearance(const std::vector<ClusterAtom> &cluster)
{
    std::vector<int> order;
    for (size_t i = 1; i < cluster.size(); ++i) {
        bool seen = false;
        for (int z : order)
            seen = seen || z == cluster[i].z;
        if (!seen)
            order.push_back(cluster[i].z);
    }
    return order;
}

std::string symbolList(const std::vector<int> &elements, size_t from)
{
    std::string list;
    for (size_t i = from; i < elements.size(); ++i)
        list += std::string(list.empty() ? "" : " ") + Element::symbol(elements[i]);
    return list;
}

} // namespace

bool Potentials::assign(const std::vector<ClusterAtom> &cluster, bool merge, std::string &error)
{
    m_entries.clear();
    m_notes.clear();
    m_atomIpot.assign(cluster.size(), 0);
    if (cluster.empty())
        return true;
    m_entries.push_back({0, cluster.front().z});

    const std::vector<int> elements = elementsByAppearance(cluster);
    if (elements.size() > static_cast<size_t>(maxUnique) && !merge) {
        error = "the cluster holds " + std::to_string(elements.size()) +
                " elements besides the absorber and FEFF 6 accepts " + std::to_string(maxUnique) +
                " unique potentials (elements beyond: " + symbolList(elements, maxUnique) +
                "); without --no-merge they share potentials, or a smaller --rmax leaves them out";
        return false;
    }
    std::map<int, int> ipotOfElement;
    for (size_t i = 0; i < elements.size() && i < static_cast<size_t>(maxUnique); ++i) {
        ipotOfElement[elements[i]] = static_cast<int>(i) + 1;
        m_entries.push_back({static_cast<int>(i) + 1, elements[i]});
    }
    for (size_t i = maxUnique; i < elements.size(); ++i) {
        int nearest = m_entries[1].z;
        for (size_t e = 1; e < m_entries.size(); ++e) {
            const int z = m_entries[e].z, dz = std::abs(z - elements[i]);
            const int best = std::abs(nearest - elements[i]);
            if (dz < best || (dz == best && z < nearest))
                nearest = z;
        }
        ipotOfElement[elements[i]] = ipotOfElement[nearest];
        m_notes.push_back(std::string(Element::symbol(elements[i])) + " shares potential " +
                          std::to_string(ipotOfElement[nearest]) + " of " +
                          Element::symbol(nearest) + ": FEFF 6 accepts " +
                          std::to_string(maxUnique) + " unique potentials");
    }
    for (size_t i = 1; i < cluster.size(); ++i)
        m_atomIpot[i] = ipotOfElement[cluster[i].z];
    return true;
}
