#ifndef SCATTERDECK_ATOMS_CRYSTAL_H
#define SCATTERDECK_ATOMS_CRYSTAL_H

#include <array>
#include <string>
#include <vector>

using Vec3 = std::array<double, 3>;

// Cell lengths in Å, angles in degrees.
struct CellParameters
{
    double a = 0, b = 0, c = 0;
    double alpha = 90, beta = 90, gamma = 90;
};

// A symmetry operation on fractional coordinates: x' = rot·x + tran.
struct SymOp
{
    std::array<std::array<int, 3>, 3> rot{};
    Vec3 tran{};
};

// One row of the atom-site loop.
struct Site
{
    std::string label;
    int z = 0;   // atomic number
    Vec3 frac{}; // fractional coordinates as written
    double occupancy = 1;
    std::string wyckoff; // Wyckoff letter as the file gives it, may be empty
};

// What a CIF data block says about a structure, symmetry resolved to the full
// list of operations of the conventional cell (identity first, centring
// translations included).
struct Crystal
{
    std::string blockName;
    std::string title;      // chemical name, may be empty
    std::string formula;    // the file's sum formula, may be empty
    std::string spaceGroup; // how the symmetry was found, for a comment line
    CellParameters cell;
    std::vector<SymOp> ops;
    std::vector<Site> sites;        // in loop order
    std::vector<std::string> notes; // remarks for the comment lines of the output
};

#endif
