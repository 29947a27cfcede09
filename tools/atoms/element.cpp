#include "element.h"

#include <cctype>

namespace {

const char *const symbols[Element::maxZ + 1] = {
    "?",  "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si",
    "P",  "S",  "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu",
    "Zn", "Ga", "Ge", "As", "Se", "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru",
    "Rh", "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te", "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr",
    "Nd", "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb", "Lu", "Hf", "Ta", "W",
    "Re", "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra", "Ac",
    "Th", "Pa", "U",  "Np", "Pu", "Am", "Cm", "Bk", "Cf", "Es", "Fm", "Md", "No", "Lr"};

// Rf to Og, which no CIF of this program's use holds and which must not be
// read as N, O, F and the like.
const char *const heavierSymbols[] = {"Rf", "Db", "Sg", "Bh", "Hs", "Mt", "Ds", "Rg",
                                      "Cn", "Nh", "Fl", "Mc", "Lv", "Ts", "Og"};

// Systematic names of undiscovered or unnamed elements: "Unq", "Uuo", "Ubn",
// three letters whose digits are spelt n, u, b, t, q, p, h, s, o, e.
bool isSystematicName(char first, char second, char third)
{
    static const std::string digits = "nubtqphsoe";
    return first == 'U' && (second == 'n' || second == 'u' || second == 'b') &&
           digits.find(third) != std::string::npos;
}

int lookup(char first, char second)
{
    if (first == 'D' && second == '\0')
        return 1;
    for (int z = 1; z <= Element::maxZ; ++z) {
        if (symbols[z][0] == first && symbols[z][1] == second)
            return z;
    }
    return 0;
}

} // namespace

const char *Element::symbol(int z)
{
    return z >= 1 && z <= maxZ ? symbols[z] : symbols[0];
}

int Element::fromText(const std::string &text)
{
    size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    auto letterAt = [&text](size_t i) {
        return i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) != 0;
    };
    if (!letterAt(start))
        return 0;
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(text[start])));
    if (letterAt(start + 1)) {
        const char second =
            static_cast<char>(std::tolower(static_cast<unsigned char>(text[start + 1])));
        if (const int z = lookup(first, second))
            return z;
        for (const char *heavier : heavierSymbols)
            if (heavier[0] == first && heavier[1] == second)
                return 0;
        if (letterAt(start + 2) &&
            isSystematicName(
                first, second,
                static_cast<char>(std::tolower(static_cast<unsigned char>(text[start + 2])))))
            return 0;
    }
    return lookup(first, '\0');
}
