#include "symmetry.h"

#include <gemmi/symmetry.hpp>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

// gemmi reports bad symbols by throwing; every call into it is wrapped here so
// that the rest of the program only sees return values.

namespace {

using gemmi::Op;

// The largest order of a space group in its conventional cell (F m -3 m).
constexpr size_t maxGroupOrder = 192;

bool rhombohedralCell(const CellParameters &cell)
{
    const double tol = 1e-3 * cell.a;
    return std::fabs(cell.a - cell.b) < tol && std::fabs(cell.b - cell.c) < tol &&
           std::fabs(cell.alpha - cell.beta) < 0.01 && std::fabs(cell.beta - cell.gamma) < 0.01 &&
           std::fabs(cell.alpha - 90) > 0.01;
}

// Some programs write translations as decimals ("x+0.5", "0.3333-y"), which
// the triplet parser does not take; they become multiples of 1/24.
bool decimalsToFractions(const std::string &in, std::string &out)
{
    out.clear();
    for (size_t i = 0; i < in.size();) {
        size_t end = i;
        while (end < in.size() &&
               (std::isdigit(static_cast<unsigned char>(in[end])) != 0 || in[end] == '.'))
            ++end;
        const std::string number = in.substr(i, end - i);
        // Numbers of an operation are small; longer ones would overflow the
        // integer arithmetic of the parser.
        if (number.find('.') == std::string::npos) {
            if (number.size() > 6)
                return false;
            out += end > i ? number : std::string(1, in[i]);
            i = end > i ? end : i + 1;
            continue;
        }
        const double value = std::atof(number.c_str()) * Op::DEN;
        const double rounded = std::round(value);
        if (!(std::fabs(value) < 1e6) || std::fabs(value - rounded) > 0.02)
            return false;
        out += std::to_string(static_cast<int>(rounded)) + "/" + std::to_string(Op::DEN);
        i = end;
    }
    return true;
}

bool isProperOperation(const Op &op)
{
    for (const auto &row : op.rot)
        for (int v : row)
            if (v % Op::DEN != 0)
                return false;
    return std::abs(op.det_rot()) == Op::DEN * Op::DEN * Op::DEN;
}

// Completes the operations to a group, so that files listing only some of
// them (or repeating some) still give every image.
bool closeGroup(std::set<Op> &group)
{
    group.insert(Op::identity());
    for (bool grown = true; grown;) {
        grown = false;
        const std::vector<Op> current(group.begin(), group.end());
        for (const Op &a : current) {
            for (const Op &b : current) {
                if (group.insert(a * b).second)
                    grown = true;
                if (group.size() > maxGroupOrder)
                    return false;
            }
        }
    }
    return true;
}

void storeOperations(const std::set<Op> &group, Crystal &crystal)
{
    crystal.ops.clear();
    auto convert = [](const Op &op) {
        SymOp s;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                s.rot[i][j] = op.rot[i][j] / Op::DEN;
            s.tran[i] = static_cast<double>(op.tran[i]) / Op::DEN;
        }
        return s;
    };
    crystal.ops.push_back(convert(Op::identity()));
    for (const Op &op : group)
        if (op != Op::identity())
            crystal.ops.push_back(convert(op));
}

std::string settingText(const gemmi::SpaceGroup &sg)
{
    switch (sg.ext) {
    case '1':
        return ", origin choice 1";
    case '2':
        return ", origin choice 2";
    case 'H':
        return ", hexagonal axes";
    case 'R':
        return ", rhombohedral axes";
    default:
        return "";
    }
}

std::string describe(const gemmi::SpaceGroup *sg, size_t order)
{
    const std::string count = std::to_string(order) + (order == 1 ? " operation" : " operations");
    if (sg == nullptr)
        return "not in the table of standard settings, " + count;
    return std::string(sg->hm) + " (No. " + std::to_string(sg->number) + settingText(*sg) + "), " +
           count;
}

const gemmi::SpaceGroup *findByOps(const std::set<Op> &group)
{
    try {
        return gemmi::find_spacegroup_by_ops(
            gemmi::split_centering_vectors(std::vector<Op>(group.begin(), group.end())));
    } catch (const std::exception &) {
        return nullptr;
    }
}

bool fromOperations(const std::vector<std::string> &triplets, std::set<Op> &group,
                    std::string &problem)
{
    for (const std::string &triplet : triplets) {
        std::string fractions;
        Op op;
        bool ok = decimalsToFractions(triplet, fractions);
        if (ok) {
            try {
                op = gemmi::parse_triplet(fractions);
            } catch (const std::exception &) {
                ok = false;
            }
        }
        if (!ok || !isProperOperation(op)) {
            problem = "symmetry operation '" + triplet + "' not understood";
            return false;
        }
        group.insert(op.wrap());
    }
    if (!closeGroup(group)) {
        problem = "the symmetry operations do not form a space group";
        return false;
    }
    return true;
}

bool fromSpaceGroup(const gemmi::SpaceGroup &sg, std::set<Op> &group)
{
    try {
        for (Op op : sg.operations())
            group.insert(op.wrap());
    } catch (const std::exception &) {
        return false;
    }
    return !group.empty();
}

const gemmi::SpaceGroup *findByName(const std::string &name, const CellParameters &cell)
{
    const std::string table = Symmetry::tableName(name);
    if (table.find(':') == std::string::npos && rhombohedralCell(cell)) {
        if (const gemmi::SpaceGroup *sg = gemmi::find_spacegroup_by_name(table + ":R"))
            return sg;
    }
    // Zero angles keep gemmi from guessing the axes itself: without a suffix
    // the hexagonal setting (and origin choice 1) is the one meant.
    return gemmi::find_spacegroup_by_name(table, 0, 0);
}

const gemmi::SpaceGroup *findByNumber(const std::string &text, const CellParameters &cell)
{
    char *end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || number < 1 || number > 230)
        return nullptr;
    const gemmi::SpaceGroup *sg = gemmi::find_spacegroup_by_number(static_cast<int>(number));
    if (sg != nullptr && sg->ext == 'H' && rhombohedralCell(cell)) {
        if (const gemmi::SpaceGroup *r = gemmi::find_spacegroup_by_number(1000 + sg->number))
            return r;
    }
    return sg;
}

// One way of finding the group: the operations and, where the table knows
// them, its entry; or what went wrong.
struct Attempt
{
    std::set<Op> group;
    const gemmi::SpaceGroup *sg = nullptr;
    std::string source;
    std::string problem;
};

bool tryOperations(const SymmetryItems &items, const CellParameters &, Attempt &a)
{
    a.source = "from the symmetry operation loop";
    return fromOperations(items.operations, a.group, a.problem);
}

bool tryHall(const SymmetryItems &items, const CellParameters &, Attempt &a)
{
    a.source = "from the Hall symbol '" + items.hall + "'";
    a.problem = "Hall symbol '" + items.hall + "' not understood";
    try {
        for (Op op : gemmi::symops_from_hall(items.hall.c_str()))
            a.group.insert(op.wrap());
    } catch (const std::exception &) {
        return false;
    }
    return closeGroup(a.group);
}

bool tryName(const SymmetryItems &items, const CellParameters &cell, Attempt &a)
{
    a.source = "from the name '" + items.name + "'";
    a.problem = "space-group name '" + items.name + "' not known";
    a.sg = findByName(items.name, cell);
    return a.sg != nullptr && fromSpaceGroup(*a.sg, a.group);
}

bool tryNumber(const SymmetryItems &items, const CellParameters &cell, Attempt &a)
{
    a.source = "from the number " + items.number;
    a.problem = "space-group number '" + items.number + "' not valid";
    a.sg = findByNumber(items.number, cell);
    return a.sg != nullptr && fromSpaceGroup(*a.sg, a.group);
}

} // namespace

std::string Symmetry::tableName(const std::string &name)
{
    std::string s;
    for (char ch : name)
        if (ch != '_')
            s += (ch == '\t' ? ' ' : ch);
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    s = s.substr(first, s.find_last_not_of(' ') - first + 1);
    if (s.size() > 2 && s[s.size() - 2] == ' ') {
        const char suffix = s.back();
        const char *replacement = suffix == 'S'   ? ":1"
                                  : suffix == 'Z' ? ":2"
                                  : suffix == 'H' ? ":H"
                                  : suffix == 'R' ? ":R"
                                                  : nullptr;
        if (replacement != nullptr)
            s = s.substr(0, s.size() - 2) + replacement;
    }
    return s;
}

bool Symmetry::resolve(const SymmetryItems &items, Crystal &crystal, std::string &error)
{
    using Try = bool (*)(const SymmetryItems &, const CellParameters &, Attempt &);
    const std::pair<bool, Try> tries[] = {{!items.operations.empty(), tryOperations},
                                          {!items.hall.empty(), tryHall},
                                          {!items.name.empty(), tryName},
                                          {!items.number.empty(), tryNumber}};
    std::string firstProblem;
    for (const auto &t : tries) {
        if (!t.first)
            continue;
        Attempt attempt;
        if (t.second(items, crystal.cell, attempt)) {
            storeOperations(attempt.group, crystal);
            const gemmi::SpaceGroup *sg = attempt.sg ? attempt.sg : findByOps(attempt.group);
            crystal.spaceGroup = describe(sg, attempt.group.size()) + " " + attempt.source;
            return true;
        }
        if (firstProblem.empty())
            firstProblem = attempt.problem;
        crystal.notes.push_back(attempt.problem + "; trying the next symmetry item");
    }
    if (!firstProblem.empty()) {
        error = firstProblem + " (and no other symmetry item could be read)";
        return false;
    }
    crystal.ops.assign(1, SymOp{{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, {0, 0, 0}});
    crystal.spaceGroup = "P 1 (No. 1), assumed: the file gives no symmetry";
    crystal.notes.push_back("no symmetry items in the file: space group P 1 assumed");
    return true;
}
