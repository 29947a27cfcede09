#include "options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Upper bounds that keep a mistyped value from asking for millions of atoms.
constexpr double maxRadius = 50;
constexpr double maxFeffRmax = 30;

bool readLength(const std::string &option, const std::string &text, double max, double &value,
                std::string &error)
{
    char *end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v) || v <= 0 || v > max) {
        error = option + " needs a distance in Angstrom above 0 and at most " +
                std::to_string(static_cast<int>(max)) + ", not '" + text + "'";
        return false;
    }
    value = v;
    return true;
}

bool readEdge(const std::string &text, int &hole, std::string &error)
{
    for (int code = 1; code <= 4; ++code) {
        if (text == Options::edgeName(code) ||
            (text.size() == std::strlen(Options::edgeName(code)) &&
             (text[0] == 'k' || text[0] == 'l') && text.substr(1) == Options::edgeName(code) + 1)) {
            hole = code;
            return true;
        }
    }
    error = "--edge needs K, L1, L2 or L3, not '" + text + "'";
    return false;
}

} // namespace

const char *Options::edgeName(int hole)
{
    static const char *const names[] = {"?", "K", "L1", "L2", "L3"};
    return hole >= 1 && hole <= 4 ? names[hole] : names[0];
}

bool Options::parse(int argc, const char *const *argv, std::string &error)
{
    const std::vector<std::string> args(argv, argv + argc);
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        // An empty argument comes from an empty setting in a job's argument
        // list, not from someone naming a file.
        if (name.empty())
            continue;
        if (optionsEnded || name.size() < 2 || name[0] != '-') {
            if (!setFile(name, error))
                return false;
            continue;
        }
        if (name == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = name.compare(0, 2, "--") == 0 ? name.find('=') : std::string::npos;
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const bool takesValue = name == "-c" || name == "--cif" || name == "--block" ||
                                name == "--core" || name == "--list-sites" || name == "--edge" ||
                                name == "--rmax" || name == "--feff-rmax";
        if (takesValue && equals == std::string::npos) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
        } else if (!takesValue && equals != std::string::npos) {
            error = name + " takes no value";
            return false;
        }
        if (!apply(name, value, error))
            return false;
    }
    if (cifPath.empty() && !help && !version) {
        error = "no CIF file given (-c FILE.cif)";
        return false;
    }
    return true;
}

bool Options::setFile(const std::string &path, std::string &error)
{
    if (!cifPath.empty()) {
        error = "more than one CIF file given ('" + cifPath + "' and '" + path + "')";
        return false;
    }
    cifPath = path;
    return true;
}

bool Options::apply(const std::string &name, const std::string &value, std::string &error)
{
    if (name == "-h" || name == "--help")
        help = true;
    else if (name == "--version")
        version = true;
    else if (name == "--hydrogen")
        keepHydrogen = true;
    else if (name == "--no-merge")
        mergePotentials = false;
    else if (name == "-c" || name == "--cif")
        return setFile(value, error);
    else if (name == "--block")
        block = value;
    else if (name == "--core")
        core = value;
    else if (name == "--list-sites") {
        listSites = true;
        listElement = value;
    } else if (name == "--edge")
        return readEdge(value, hole, error);
    else if (name == "--rmax")
        return readLength(name, value, maxRadius, radius, error);
    else if (name == "--feff-rmax")
        return readLength(name, value, maxFeffRmax, feffRmax, error);
    else {
        error = "unknown option '" + name + "' (--help lists the options)";
        return false;
    }
    return true;
}

std::string Options::usage()
{
    return "Usage: scatterdeck-atoms [options] -c FILE.cif\n"
           "\n"
           "Writes a FEFF 6 input file for the structure in FILE.cif to standard output.\n"
           "Messages go to standard error; the exit status is 0 on success, 1 when the\n"
           "file cannot be used and 2 for a bad command line.\n"
           "\n"
           "Options:\n"
           "  -c, --cif FILE      the CIF file (may also be given without -c)\n"
           "  --block NAME        use data block NAME (default: the first with atom sites)\n"
           "  --core SITE         the absorber: a site label, or an element for its first\n"
           "                      site (default: the first site of the atom-site loop)\n"
           "  --list-sites ELEMENT\n"
           "                      list the inequivalent sites of ELEMENT instead of\n"
           "                      converting, one line each: label, atoms in the unit cell,\n"
           "                      Wyckoff letter ('-' if the file gives none), occupancy;\n"
           "                      a site label stands for its element, and --list-sites=\n"
           "                      (empty) for the element of the first site\n"
           "  --edge EDGE         K, L1, L2 or L3 (default: L3 above Z 57, else K)\n"
           "  --rmax R            cluster radius around the absorber in Angstrom (default 8.0)\n"
           "  --feff-rmax R       FEFF's RMAX, the longest half path length (default 5.0)\n"
           "  --hydrogen          keep hydrogen atoms (left out by default)\n"
           "  --no-merge          refuse structures with more than 7 elements around the\n"
           "                      absorber instead of letting the extra elements share the\n"
           "                      potential of the element nearest in atomic number\n"
           "  -h, --help          show this text\n"
           "  --version           show the version\n"
           "\n"
           "Clusters of more than 500 atoms (FEFF 6's limit) are cut after the last\n"
           "complete shell. Where sites share a position, the element with the larger\n"
           "occupancy is placed. Every such choice is noted in a comment line.\n";
}
