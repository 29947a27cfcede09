#ifndef SCATTERDECK_ATOMS_ELEMENT_H
#define SCATTERDECK_ATOMS_ELEMENT_H

#include <string>

// Chemical elements by atomic number. Deuterium is read as hydrogen (Z 1):
// FEFF knows no isotopes.
class Element
{
public:
    static constexpr int maxZ = 103;

    // Symbol such as "Fe" for 1..maxZ, "?" otherwise.
    static const char *symbol(int z);

    // Atomic number from a CIF type symbol or site label ("Fe3+", "O2-", "CL1",
    // "Ow2", "D"), or 0 when no element is recognised. A two-letter symbol wins
    // over one letter ("Co1" is cobalt), letters after the symbol are ignored.
    static int fromText(const std::string &text);
};

#endif
