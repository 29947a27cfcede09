#ifndef SCATTERDECK_ATOMS_FEFFWRITER_H
#define SCATTERDECK_ATOMS_FEFFWRITER_H

#include "cluster.h"
#include "crystal.h"
#include "options.h"
#include "potentials.h"

#include <string>
#include <vector>

// Formats the FEFF 6 input text. The text is plain ASCII whatever the CIF
// holds, so that any reader, whatever codec it assumes, sees the same cards.
class FeffWriter
{
public:
    // `hole` is FEFF's hole code (1 K, 2 L1, 3 L2, 4 L3); `notes` become
    // comment lines after the description of the structure.
    static std::string write(const Crystal &crystal, const std::vector<ClusterAtom> &cluster,
                             const Potentials &potentials, const Options &options, int hole,
                             const std::vector<std::string> &notes);

    // One line of printable ASCII, at most maxLength long: every UTF-8
    // sequence or other non-ASCII byte becomes one '?', line ends and other
    // control characters a blank; leading and trailing blanks are dropped.
    static std::string ascii(const std::string &text, size_t maxLength);

    // A site label as an ATOMS tag: printable ASCII without blanks, quotes or
    // other characters a Fortran list-directed read could trip on.
    static std::string tag(const std::string &label);
};

#endif
