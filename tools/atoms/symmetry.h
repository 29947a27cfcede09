#ifndef SCATTERDECK_ATOMS_SYMMETRY_H
#define SCATTERDECK_ATOMS_SYMMETRY_H

#include "crystal.h"

#include <string>
#include <vector>

// The symmetry items of a CIF block as written (quotes removed, empty when
// absent), in the order they are trusted.
struct SymmetryItems
{
    std::vector<std::string> operations; // "x,y,z", "-x+1/2,y,-z", ...
    std::string hall;
    std::string name; // Hermann-Mauguin, possibly with a database suffix
    std::string number;
};

// Turns the symmetry items of a CIF block into the operations of the
// conventional cell.
class Symmetry
{
public:
    // Fills crystal.ops and crystal.spaceGroup (and may add notes) from the
    // first item that can be read: the operation loop, the Hall symbol, the
    // name, the number. A block without any item is taken as P 1, with a note.
    // Returns false with a message in `error` when items exist but none can
    // be read. Needs crystal.cell for the choice of rhombohedral axes.
    static bool resolve(const SymmetryItems &items, Crystal &crystal, std::string &error);

    // Writes a database name in the form of the space-group table: blanks
    // trimmed, underscores of screw axes removed ("P 6_3 m c"), and a trailing
    // " S", " Z", " H" or " R" turned into ":1", ":2", ":H", ":R".
    static std::string tableName(const std::string &name);
};

#endif
