#include "converter.h"

#include "cellfiller.h"
#include "cifreader.h"
#include "cluster.h"
#include "element.h"
#include "feffwriter.h"
#include "lattice.h"
#include "potentials.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>

namespace {

std::string lowered(std::string s)
{
    for (char &ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

bool isElementSymbol(const std::string &text, int &z)
{
    z = Element::fromText(text);
    return z != 0 && lowered(Element::symbol(z)) == lowered(text);
}

// Hydrogen scatters too weakly to matter for EXAFS and uses up one of FEFF's
// seven potentials, so it is left out unless asked for.
bool removeHydrogen(Crystal &crystal, const Options &options, std::vector<std::string> &notes,
                    std::string &error)
{
    size_t removed = 0;
    for (auto it = crystal.sites.begin(); it != crystal.sites.end();) {
        if (it->z != 1) {
            ++it;
            continue;
        }
        if (!options.core.empty() && lowered(it->label) == lowered(options.core)) {
            error = "site " + it->label + " is hydrogen, which is left out without --hydrogen";
            return false;
        }
        it = crystal.sites.erase(it);
        ++removed;
    }
    if (removed > 0)
        notes.push_back(std::to_string(removed) +
                        " hydrogen site(s) left out (--hydrogen keeps them)");
    if (crystal.sites.empty()) {
        error = "the structure holds only hydrogen sites, which are left out without --hydrogen";
        return false;
    }
    return true;
}

bool chooseAbsorber(const Crystal &crystal, const std::string &core, size_t &absorber,
                    std::string &error)
{
    const std::vector<Site> &sites = crystal.sites;
    if (core.empty()) {
        absorber = 0;
        return true;
    }
    for (size_t i = 0; i < sites.size(); ++i)
        if (sites[i].label == core)
            return absorber = i, true;
    for (size_t i = 0; i < sites.size(); ++i)
        if (lowered(sites[i].label) == lowered(core))
            return absorber = i, true;
    int z = 0;
    if (isElementSymbol(core, z)) {
        for (size_t i = 0; i < sites.size(); ++i)
            if (sites[i].z == z)
                return absorber = i, true;
    }
    std::string labels;
    for (const Site &site : sites)
        labels += (labels.empty() ? "" : ", ") + site.label;
    if (labels.size() > 120)
        labels = labels.substr(0, 117) + "...";
    error = "no site or element '" + core + "' for the absorber (sites: " + labels + ")";
    return false;
}

// Sum formula of the filled cell, in Hill order, when the file gives none.
std::string cellFormula(const std::vector<CellAtom> &cell)
{
    std::map<std::string, int> counts;
    for (const CellAtom &atom : cell)
        ++counts[Element::symbol(atom.z)];
    int divisor = 0;
    for (const auto &c : counts)
        divisor = std::gcd(divisor, c.second);
    std::vector<std::string> order;
    const bool carbon = counts.count("C") > 0;
    if (carbon)
        order = {"C", "H"};
    for (const auto &c : counts)
        if (!carbon || (c.first != "C" && c.first != "H"))
            order.push_back(c.first);
    std::string formula;
    for (const std::string &symbol : order) {
        const auto found = counts.find(symbol);
        if (found == counts.end())
            continue;
        const int n = found->second / std::max(divisor, 1);
        formula += (formula.empty() ? "" : " ") + symbol + (n > 1 ? std::to_string(n) : "");
    }
    return formula + " (from the atom sites)";
}

// Says so when the absorber stands on a position where another element holds
// the majority: the absorber still sits there, its equivalents do not.
void noteMinorityAbsorber(const Crystal &crystal, const std::vector<CellAtom> &cell,
                          size_t absorber, std::vector<std::string> &notes)
{
    for (const CellAtom &atom : cell)
        if (atom.site == absorber)
            return;
    notes.push_back("the absorber " + crystal.sites[absorber].label +
                    " is the minority on its site; the equivalent positions carry the majority "
                    "element");
}

std::string formatDistance(const char *pattern, double value)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string cellText(const CellParameters &cell)
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "a = %g A, b = %g A, c = %g A", cell.a, cell.b, cell.c);
    return buffer;
}

// Checked before the cell is filled. The sphere around the absorber is
// counted (Cluster::imageBound) once the cell is: a cell of 0.00001 A would
// otherwise take gigabytes of images.
bool cellWithinLimits(const Crystal &crystal, std::string &error)
{
    // Images of one atom closer than this would be atoms FEFF cannot place.
    const CellParameters &c = crystal.cell;
    if (std::min({c.a, c.b, c.c}) < CellFiller::sameSiteDistance) {
        error = "the cell (" + cellText(c) + ") has an edge shorter than " +
                formatDistance("%.1f A", CellFiller::sameSiteDistance) +
                ": the images of every atom would overlap";
        return false;
    }
    const double cellAtoms = double(crystal.sites.size()) * double(crystal.ops.size());
    if (cellAtoms > Converter::maxAtoms) {
        error = "the unit cell (" + cellText(crystal.cell) + ") would hold " +
                formatDistance("%.0f", cellAtoms) + " atoms, more than the limit of " +
                formatDistance("%.0f", Converter::maxAtoms);
        return false;
    }
    return true;
}

bool buildCluster(Crystal &crystal, const Options &options, size_t absorber,
                  std::vector<ClusterAtom> &cluster, std::vector<std::string> &notes,
                  std::string &error)
{
    const Lattice lattice(crystal.cell);
    if (!lattice.isValid()) {
        error = "the cell lengths and angles span no volume";
        return false;
    }
    if (!cellWithinLimits(crystal, error))
        return false;
    const std::vector<CellAtom> cell = CellFiller::fill(crystal, lattice, notes);
    const double sphereAtoms =
        Cluster::imageBound(crystal, lattice, cell, absorber, options.radius);
    if (!(sphereAtoms <= Converter::maxAtoms)) {
        error = formatDistance("%.3f A", options.radius) +
                " around the absorber would hold up to " + formatDistance("%.0f", sphereAtoms) +
                " atoms of the cell (" + cellText(crystal.cell) + "), more than the limit of " +
                formatDistance("%.0f", Converter::maxAtoms);
        return false;
    }
    noteMinorityAbsorber(crystal, cell, absorber, notes);
    cluster = Cluster::build(crystal, lattice, cell, absorber, options.radius);
    const size_t found = cluster.size();
    const double kept = Cluster::cut(cluster, Converter::feffAtomLimit);
    if (kept >= 0)
        notes.push_back(std::to_string(found) + " atoms within the radius; cut to " +
                        std::to_string(cluster.size()) + " at the last complete shell" +
                        formatDistance(" (%.4f A)", kept) + ", FEFF 6 accepts " +
                        std::to_string(Converter::feffAtomLimit));
    if (cluster.size() < 2) {
        error = formatDistance("no atom within %.3f A of the absorber", options.radius);
        return false;
    }
    if (cluster.back().distance < options.feffRmax)
        notes.push_back(formatDistance("the cluster reaches only %.4f A, less than RMAX",
                                       cluster.back().distance));
    if (crystal.formula.empty())
        crystal.formula = cellFormula(cell);
    return true;
}

} // namespace

bool Converter::run(const Options &options, std::string &text, std::string &error)
{
    text.clear();
    Crystal crystal;
    if (!CifReader::read(options.cifPath, options.block, crystal, error))
        return false;
    std::vector<std::string> notes = crystal.notes;
    if (!options.keepHydrogen && !removeHydrogen(crystal, options, notes, error))
        return false;
    size_t absorber = 0;
    std::vector<ClusterAtom> cluster;
    if (!chooseAbsorber(crystal, options.core, absorber, error) ||
        !buildCluster(crystal, options, absorber, cluster, notes, error))
        return false;
    Potentials potentials;
    if (!potentials.assign(cluster, options.mergePotentials, error))
        return false;
    notes.insert(notes.end(), potentials.notes().begin(), potentials.notes().end());
    const int hole = options.hole != 0 ? options.hole : (cluster.front().z > 57 ? 4 : 1);
    text = FeffWriter::write(crystal, cluster, potentials, options, hole, notes);
    return true;
}
