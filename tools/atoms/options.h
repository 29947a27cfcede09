#ifndef SCATTERDECK_ATOMS_OPTIONS_H
#define SCATTERDECK_ATOMS_OPTIONS_H

#include <string>

// The command line of scatterdeck-atoms.
class Options
{
public:
    std::string cifPath;
    std::string block; // empty: first block with atom sites
    std::string core;  // site label or element; empty: first site
    // --list-sites: list the sites of this element (a site label stands for
    // its element; empty: the element of the first site) instead of
    // converting.
    bool listSites = false;
    std::string listElement;
    double radius = 8.0;   // cluster radius, Å
    double feffRmax = 5.0; // FEFF's RMAX card, Å
    int hole = 0;          // FEFF hole code 1..4 (K, L1, L2, L3); 0: by atomic number
    bool keepHydrogen = false;
    bool mergePotentials = true;
    bool help = false;
    bool version = false;

    // Reads the arguments after the program name. Returns false with a
    // one-line message in `error` for an unknown option, a missing or bad
    // value, or a missing CIF file.
    bool parse(int argc, const char *const *argv, std::string &error);

    static std::string usage();

    // "K", "L1", "L2", "L3" for hole codes 1..4.
    static const char *edgeName(int hole);

private:
    bool setFile(const std::string &path, std::string &error);
    bool apply(const std::string &name, const std::string &value, std::string &error);
};

#endif
