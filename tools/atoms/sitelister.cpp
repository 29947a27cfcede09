#include "sitelister.h"

#include "cellfiller.h"
#include "cifreader.h"
#include "element.h"
#include "lattice.h"

#include <cmath>
#include <cstdio>

namespace {

std::string lowered(std::string s)
{
    for (char &ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

// The element asked for: a symbol, else the element of the site so labelled,
// else 0.
int chosenElement(const Crystal &crystal, const std::string &what)
{
    if (what.empty())
        return crystal.sites.front().z;
    const int z = Element::fromText(what);
    if (z != 0 && lowered(Element::symbol(z)) == lowered(what))
        return z;
    for (const Site &site : crystal.sites)
        if (lowered(site.label) == lowered(what))
            return site.z;
    return 0;
}

std::string elementsOf(const Crystal &crystal)
{
    std::string list;
    std::vector<int> seen;
    for (const Site &site : crystal.sites) {
        bool known = false;
        for (int z : seen)
            known = known || z == site.z;
        if (known)
            continue;
        seen.push_back(site.z);
        list += (list.empty() ? "" : ", ") + std::string(Element::symbol(site.z));
    }
    return list;
}

} // namespace

bool SiteLister::list(const Options &options, std::vector<SiteEntry> &sites, std::string &error)
{
    sites.clear();
    Crystal crystal;
    if (!CifReader::read(options.cifPath, options.block, crystal, error))
        return false;
    const Lattice lattice(crystal.cell);
    if (!lattice.isValid()) {
        error = "the cell lengths and angles span no volume";
        return false;
    }
    const int z = chosenElement(crystal, options.listElement);
    if (z == 0) {
        error = "no element or site '" + options.listElement +
                "' to list (elements: " + elementsOf(crystal) + ")";
        return false;
    }
    if (z == 1 && !options.keepHydrogen) {
        error = "hydrogen sites are left out without --hydrogen";
        return false;
    }
    for (const Site &site : crystal.sites) {
        if (site.z != z)
            continue;
        // Counted as the cell is filled: images closer than the same-site
        // distance are one atom.
        Crystal alone = crystal;
        alone.sites = {site};
        std::vector<std::string> notes;
        const size_t positions = CellFiller::fill(alone, lattice, notes).size();
        sites.push_back({site.label, static_cast<int>(positions), site.wyckoff, site.occupancy});
    }
    if (sites.empty()) {
        error = std::string("no site of ") + Element::symbol(z) +
                " (elements: " + elementsOf(crystal) + ")";
        return false;
    }
    return true;
}

std::string SiteLister::format(const std::vector<SiteEntry> &sites)
{
    std::string text = "# label multiplicity wyckoff occupancy\n";
    char occupancy[32];
    for (const SiteEntry &site : sites) {
        std::snprintf(occupancy, sizeof occupancy, "%.6g", site.occupancy);
        text += site.label + " " + std::to_string(site.multiplicity) + " " +
                (site.wyckoff.empty() ? "-" : site.wyckoff) + " " + occupancy + "\n";
    }
    return text;
}
