#ifndef SCATTERDECK_ATOMS_CIFREADER_H
#define SCATTERDECK_ATOMS_CIFREADER_H

#include "crystal.h"

#include <string>

// Reads one data block of a CIF file into a Crystal: cell, symmetry and the
// atom-site loop.
class CifReader
{
public:
    // Reads the block named `blockName`, or when it is empty the first block
    // with atom sites. Returns false with a one-line description of the
    // problem (without the file name) in `error`.
    static bool read(const std::string &path, const std::string &blockName, Crystal &crystal,
                     std::string &error);
};

#endif
