// Times the whole conversion (read, symmetry, cell, cluster, text) for a
// cluster of radius 10 A in large cells, against the same conversion for
// copper measured in the same run, and against the one-second budget.
//
//   scatterdeck-atoms-bench [repetitions]

#include "converter.h"
#include "options.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Case
{
    const char *name;
    std::string cif;
};

const char *const siteLoop = "loop_\n_atom_site_label\n_atom_site_type_symbol\n"
                             "_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n";

std::string copper()
{
    return std::string("data_cu\n_cell_length_a 3.6149\n_cell_length_b 3.6149\n"
                       "_cell_length_c 3.6149\n_symmetry_space_group_name_H-M 'F m -3 m'\n") +
           siteLoop + "Cu1 Cu 0 0 0\n";
}

// Grossular garnet, Ca3Al2Si3O12 in I a -3 d: 160 atoms in a 11.85 A cell,
// 96 symmetry operations.
std::string garnet()
{
    return std::string("data_grossular\n_cell_length_a 11.846\n_cell_length_b 11.846\n"
                       "_cell_length_c 11.846\n_symmetry_space_group_name_H-M 'I a -3 d'\n") +
           siteLoop +
           "Ca1 Ca2+ 0.125 0 0.25\nAl1 Al3+ 0 0 0\nSi1 Si4+ 0.375 0 0.25\n"
           "O1 O2- 0.0381 0.0449 0.6514\n";
}

// n x n x n cells of rock salt written out in P 1: 8 n^3 sites, no symmetry.
std::string rockSaltSupercell(int n)
{
    const double a = 5.6402;
    std::ostringstream s;
    s << "data_supercell\n_cell_length_a " << a * n << "\n_cell_length_b " << a * n
      << "\n_cell_length_c " << a * n << "\n_symmetry_space_group_name_H-M 'P 1'\n"
      << siteLoop;
    const double base[8][3] = {{0, 0, 0},       {0.5, 0.5, 0}, {0.5, 0, 0.5}, {0, 0.5, 0.5},
                               {0.5, 0.5, 0.5}, {0, 0, 0.5},   {0, 0.5, 0},   {0.5, 0, 0}};
    int label = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k)
                for (int b = 0; b < 8; ++b) {
                    const char *el = b < 4 ? "Na" : "Cl";
                    s << el << ++label << ' ' << el << ' ' << (i + base[b][0]) / n << ' '
                      << (j + base[b][1]) / n << ' ' << (k + base[b][2]) / n << '\n';
                }
    return s.str();
}

double medianMilliseconds(const std::string &path, int repetitions, size_t &atoms)
{
    Options options;
    options.cifPath = path;
    options.radius = 10;
    std::vector<double> times;
    for (int r = 0; r < repetitions; ++r) {
        std::string text, error;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = Converter::run(options, text, error);
        const auto stop = std::chrono::steady_clock::now();
        if (!ok) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
            std::exit(1);
        }
        atoms = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<Case> cases = {
        {"Cu fcc (reference)", copper()},
        {"grossular, I a -3 d, 160 atoms/cell", garnet()},
        {"rock salt 6x6x6 in P 1, 1728 sites", rockSaltSupercell(6)},
        {"rock salt 10x10x10 in P 1, 8000 sites", rockSaltSupercell(10)}};
    std::printf("Conversion with a 10 A cluster radius, median of %d runs\n\n", repetitions);
    std::printf("%-40s %8s %10s %12s %14s\n", "structure", "lines", "ms", "x reference",
                "share of 1 s");
    double reference = 0;
    for (const Case &c : cases) {
        char name[] = "/tmp/scatterdeck-atoms-bench-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) {
            std::perror("mkstemp");
            return 1;
        }
        close(fd);
        const std::string path = name;
        std::ofstream(path) << c.cif;
        size_t lines = 0;
        const double ms = medianMilliseconds(path, repetitions, lines);
        if (reference == 0)
            reference = ms;
        std::printf("%-40s %8zu %10.2f %12.2f %14.4f\n", c.name, lines, ms, ms / reference,
                    ms / 1000);
        std::remove(path.c_str());
    }
    return 0;
}
