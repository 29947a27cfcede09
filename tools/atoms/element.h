#ifndef SCATTERDECK_ATOMS_ELEMENT_H
#define SCATTERDECK_ATOMS_ELEMENT_H

#include <string>

// Chemical elements by atomic number. Deuterium is read as hydrogen (Z 1):
// FEFF knows no isotopes.
class Element
{
public:
    static constexpr int maxZ = 103;
    // The heaviest element FEFF 6 has atomic data for (plutonium).
    static constexpr int maxFeffZ = 94;

    // Symbol such as "Fe" for 1..maxZ, "?" otherwise.
    static const char *symbol(int z);

    // Atomic number from a CIF type symbol or site label ("Fe3+", "O2-", "CL1",
    // "Ow2", "D"), or 0 when no element is recognised. A two-letter symbol wins
    // over one letter ("Co1" is cobalt), letters after the symbol are ignored.
    // The symbols of the elements after lawrencium ("Rf" to "Og") and
    // systematic names ("Uuo") give 0 rather than the one-letter element
    // they begin with.
    static int fromText(const std::string &text);
};

#endif
