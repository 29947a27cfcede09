#include "cifreader.h"

#include "element.h"
#include "symmetry.h"

#include <gemmi/cif.hpp>
#include <gemmi/numb.hpp>

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

// gemmi reports syntax errors by throwing; the parser call is wrapped here and
// everything else in this file works on return values.

namespace cif = gemmi::cif;

namespace {

// Real CIFs of crystal structures stay far below this; larger files are
// refused rather than read into memory (the parsed document takes several
// times the file's size, and the program keeps under 500 MB).
constexpr long maxFileBytes = 32L * 1024 * 1024;

bool readFile(const std::string &path, std::string &data, std::string &error)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        error = std::string("cannot open the file: ") + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "is a directory, not a CIF file";
        return false;
    }
    // Opening a FIFO would wait for a writer, and a device may never end.
    if (!S_ISREG(info.st_mode)) {
        error = "is not a regular file (a pipe or a device), not a CIF file";
        return false;
    }
    if (info.st_size > maxFileBytes) {
        error = "the file is too large for a CIF (" + std::to_string(info.st_size) + " bytes)";
        return false;
    }
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = std::string("cannot open the file: ") + std::strerror(errno);
        return false;
    }
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 &&
           data.size() <= static_cast<size_t>(maxFileBytes))
        data.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read the file";
        return false;
    }
    return true;
}

// Checks the raw bytes for what the parser would report confusingly, drops a
// UTF-8 byte-order mark and turns old Mac line ends (CR alone) into LF: the
// parser takes neither.
bool checkContents(std::string &data, std::string &error)
{
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0)
        data.erase(0, 3);
    for (size_t i = 0; (i = data.find('\r', i)) != std::string::npos; ++i)
        if (i + 1 == data.size() || data[i + 1] != '\n')
            data[i] = '\n';
    if (data.find_first_not_of(" \t\r\n") == std::string::npos) {
        error = "the file is empty";
        return false;
    }
    if (data.find('\0') != std::string::npos) {
        error = "not a CIF file (binary data)";
        return false;
    }
    return true;
}

bool parse(const std::string &data, cif::Document &doc, std::string &error)
{
    try {
        doc = cif::read_memory(data.c_str(), data.size(), "line");
    } catch (const std::exception &e) {
        // The message reads "line:LINE:COLUMN: what went wrong".
        std::string what = e.what();
        const size_t colon = what.find(':');
        if (what.compare(0, 5, "line:") == 0 && colon != std::string::npos)
            what[colon] = ' ';
        error = "not a CIF file, or broken CIF syntax (" + what + ")";
        return false;
    }
    return true;
}

// The value of the first of `tags` that is present and not "?" or ".".
const std::string *value(cif::Block &block, std::initializer_list<const char *> tags)
{
    for (const char *tag : tags) {
        cif::Column column = block.find_values(tag);
        if (column && column.length() > 0 && !cif::is_null(column.at(0)))
            return &column.at(0);
    }
    return nullptr;
}

std::string text(cif::Block &block, std::initializer_list<const char *> tags)
{
    const std::string *v = value(block, tags);
    return v != nullptr ? cif::as_string(*v) : std::string();
}

bool hasSites(cif::Block &block)
{
    return block.find_values("_atom_site_fract_x") || block.find_values("_atom_site.fract_x");
}

cif::Block *chooseBlock(cif::Document &doc, const std::string &name, std::string &error)
{
    if (doc.blocks.empty()) {
        error = "no data block: not a CIF file";
        return nullptr;
    }
    if (!name.empty()) {
        for (cif::Block &block : doc.blocks)
            if (gemmi::iequal(block.name, gemmi::to_lower(name)))
                return &block;
        std::string names;
        for (const cif::Block &block : doc.blocks)
            names += (names.empty() ? "" : ", ") + block.name;
        error = "no data block named '" + name + "' (the file has: " + names + ")";
        return nullptr;
    }
    for (cif::Block &block : doc.blocks)
        if (hasSites(block))
            return &block;
    for (cif::Block &block : doc.blocks) {
        if (block.find_values("_atom_site_Cartn_x") || block.find_values("_atom_site.Cartn_x")) {
            error = "the atom sites have only Cartesian coordinates; fractional ones are needed";
            return nullptr;
        }
    }
    error = "no atom sites (no _atom_site_fract_x in any data block)";
    return nullptr;
}

bool readCell(cif::Block &block, Crystal &crystal, std::string &error)
{
    struct Entry
    {
        const char *name;
        const char *underscore;
        const char *dot;
        double *target;
        bool length;
    };
    constexpr double maxCellLength = 10000;
    CellParameters &c = crystal.cell;
    const Entry entries[] = {
        {"length_a", "_cell_length_a", "_cell.length_a", &c.a, true},
        {"length_b", "_cell_length_b", "_cell.length_b", &c.b, true},
        {"length_c", "_cell_length_c", "_cell.length_c", &c.c, true},
        {"angle_alpha", "_cell_angle_alpha", "_cell.angle_alpha", &c.alpha, false},
        {"angle_beta", "_cell_angle_beta", "_cell.angle_beta", &c.beta, false},
        {"angle_gamma", "_cell_angle_gamma", "_cell.angle_gamma", &c.gamma, false}};
    std::string missingAngles;
    for (const Entry &e : entries) {
        const std::string *v = value(block, {e.underscore, e.dot});
        if (v == nullptr) {
            if (e.length) {
                error = std::string("no cell: _cell_") + e.name + " is missing";
                return false;
            }
            missingAngles += std::string(missingAngles.empty() ? "" : ", ") + e.name;
            *e.target = 90;
            continue;
        }
        *e.target = cif::as_number(*v);
        if (std::isnan(*e.target)) {
            error = std::string("cell: _cell_") + e.name + " '" + *v + "' is not a number";
            return false;
        }
        // The largest known crystal cells are a few hundred A long.
        if (e.length && !(*e.target > 0 && *e.target <= maxCellLength)) {
            error = std::string("cell: _cell_") + e.name + " '" + *v +
                    "' is not a length from 0 to 10000 A";
            return false;
        }
    }
    if (!missingAngles.empty())
        crystal.notes.push_back("cell " + missingAngles + " not given: 90 degrees taken");
    return true;
}

bool readSymmetry(cif::Block &block, Crystal &crystal, std::string &error)
{
    SymmetryItems items;
    for (const char *tag : {"_space_group_symop_operation_xyz", "_space_group_symop.operation_xyz",
                            "_symmetry_equiv_pos_as_xyz", "_symmetry_equiv.pos_as_xyz"}) {
        cif::Column column = block.find_values(tag);
        if (!column)
            continue;
        for (int i = 0; i < column.length(); ++i)
            if (!cif::is_null(column.at(i)))
                items.operations.push_back(column.str(i));
        break;
    }
    items.hall =
        text(block, {"_space_group_name_Hall", "_space_group.name_Hall",
                     "_symmetry_space_group_name_Hall", "_symmetry.space_group_name_Hall"});
    items.name = text(block, {"_space_group_name_H-M_alt", "_space_group.name_H-M_alt",
                              "_symmetry_space_group_name_H-M", "_symmetry.space_group_name_H-M",
                              "_space_group_name_H-M_ref"});
    items.number = text(block, {"_space_group_IT_number", "_space_group.IT_number",
                                "_symmetry_Int_Tables_number", "_symmetry.Int_Tables_number"});
    return Symmetry::resolve(items, crystal, error);
}

enum SiteColumn
{
    X,
    Y,
    Z,
    Label,
    Type,
    Occupancy,
    CalcFlag,
    Wyckoff
};

cif::Table siteTable(cif::Block &block)
{
    const std::vector<std::string> tags = {"fract_x",    "fract_y",        "fract_z",
                                           "?label",     "?type_symbol",   "?occupancy",
                                           "?calc_flag", "?Wyckoff_symbol"};
    const char *prefix = block.find_values("_atom_site_fract_x") ? "_atom_site_" : "_atom_site.";
    return block.find(prefix, tags);
}

// Reads one row; returns false with `error` set for a row that cannot be
// read, and true with site.z == 0 for a row that is left out on purpose.
bool readSite(cif::Table::Row row, size_t index, Site &site, Crystal &crystal, std::string &error)
{
    const std::string type = row.has2(Type) ? row.str(Type) : std::string();
    site.label = row.has2(Label) ? row.str(Label)
                                 : (type.empty() ? "site" : type + "_") + std::to_string(index + 1);
    if (row.has2(CalcFlag) && row.str(CalcFlag) == "dum") {
        crystal.notes.push_back("dummy site " + site.label + " left out");
        return true;
    }
    // "." (inapplicable) is how some database exports write a zero
    // coordinate; "?" (unknown) leaves the site's place open, and leaving the
    // site out would yield a complete-looking but wrong cluster.
    static const char axes[] = "xyz";
    std::string dotted;
    for (int i = 0; i < 3; ++i) {
        const std::string &raw = row[static_cast<size_t>(X + i)];
        if (raw == "?") {
            error =
                std::string("site ") + site.label + ": coordinate " + axes[i] + " is unknown ('?')";
            return false;
        }
        if (raw == ".") {
            site.frac[i] = 0;
            dotted += axes[i];
            continue;
        }
        site.frac[i] = cif::as_number(raw);
        if (std::isnan(site.frac[i])) {
            error = "site " + site.label + ": coordinate '" + raw + "' is not a number";
            return false;
        }
    }
    if (!dotted.empty())
        crystal.notes.push_back("site " + site.label + ": coordinate(s) " + dotted +
                                " given as '.', read as 0");
    if (row.has2(Occupancy)) {
        site.occupancy = cif::as_number(row[Occupancy]);
        if (std::isnan(site.occupancy)) {
            error = "site " + site.label + ": occupancy '" + row[Occupancy] + "' is not a number";
            return false;
        }
        if (site.occupancy <= 0) {
            crystal.notes.push_back("site " + site.label + " has occupancy 0 and is left out");
            return true;
        }
    }
    if (row.has2(Wyckoff))
        site.wyckoff = row.str(Wyckoff);
    site.z = Element::fromText(type);
    if (site.z == 0)
        site.z = Element::fromText(site.label);
    if (site.z == 0) {
        error = "site " + site.label + ": no element in its type symbol '" + type + "' or label";
        return false;
    }
    if (site.z > Element::maxFeffZ) {
        error = "site " + site.label + ": " + Element::symbol(site.z) + " (Z " +
                std::to_string(site.z) + ") is beyond the elements FEFF 6 can compute (up to " +
                Element::symbol(Element::maxFeffZ) + ", Z " + std::to_string(Element::maxFeffZ) +
                ")";
        return false;
    }
    return true;
}

bool readSites(cif::Block &block, Crystal &crystal, std::string &error)
{
    cif::Table table = siteTable(block);
    const size_t rows = table.ok() ? table.length() : 0;
    for (size_t i = 0; i < rows; ++i) {
        Site site;
        if (!readSite(table[static_cast<int>(i)], i, site, crystal, error))
            return false;
        if (site.z != 0)
            crystal.sites.push_back(site);
    }
    if (crystal.sites.empty()) {
        error = rows == 0 ? "no atom sites in data block '" + block.name + "'"
                          : "no atom site with a known position in data block '" + block.name + "'";
        return false;
    }
    return true;
}

} // namespace

bool CifReader::read(const std::string &path, const std::string &blockName, Crystal &crystal,
                     std::string &error)
{
    std::string data;
    cif::Document doc;
    if (!readFile(path, data, error) || !checkContents(data, error) || !parse(data, doc, error))
        return false;
    data.clear();
    cif::Block *block = chooseBlock(doc, blockName, error);
    if (block == nullptr)
        return false;
    crystal.blockName = block->name;
    crystal.title = text(*block, {"_chemical_name_mineral", "_chemical_name_common",
                                  "_chemical_name_systematic", "_chemical_name.mineral",
                                  "_chemical_name.common", "_chemical_name.systematic"});
    crystal.formula = text(*block, {"_chemical_formula_sum", "_chemical_formula.sum"});
    return readCell(*block, crystal, error) && readSymmetry(*block, crystal, error) &&
           readSites(*block, crystal, error);
}
