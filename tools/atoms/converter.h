#ifndef SCATTERDECK_ATOMS_CONVERTER_H
#define SCATTERDECK_ATOMS_CONVERTER_H

#include "options.h"

#include <string>

// From a CIF file to the FEFF 6 input text: reading, filling the cell,
// cutting the cluster, assigning potentials.
class Converter
{
public:
    // FEFF 6 accepts at most this many atoms.
    static constexpr size_t feffAtomLimit = 500;
    // Most atoms the filled cell (sites times symmetry operations) and the
    // sphere around the absorber (before the cut to feffAtomLimit) may hold:
    // a structure that would need more is refused before they are made.
    static constexpr double maxAtoms = 1e6;

    // Returns false with a one-line description of the problem (without the
    // file name) in `error`; `text` is then left empty.
    static bool run(const Options &options, std::string &text, std::string &error);
};

#endif
