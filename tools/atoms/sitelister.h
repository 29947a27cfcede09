#ifndef SCATTERDECK_ATOMS_SITELISTER_H
#define SCATTERDECK_ATOMS_SITELISTER_H

#include "options.h"

#include <string>
#include <vector>

// One inequivalent site of the listed element.
struct SiteEntry
{
    std::string label;
    int multiplicity = 0; // positions of the site in the conventional cell
    std::string wyckoff;  // as the file gives it; empty when it gives none
    double occupancy = 1;
};

// Lists the inequivalent sites of one element, each with the number of
// positions its symmetry images take in the unit cell, for averaging spectra
// over the sites.
class SiteLister
{
public:
    // The sites of options.listElement (an element symbol, a site label for
    // its element, or empty for the first site's element) in loop order.
    // Returns false with a one-line message in `error`.
    static bool list(const Options &options, std::vector<SiteEntry> &sites, std::string &error);

    // One line per site: "label multiplicity wyckoff occupancy", fields
    // separated by one blank, "-" for an unknown Wyckoff letter; a comment
    // line starting with "#" names the columns first.
    static std::string format(const std::vector<SiteEntry> &sites);
};

#endif
