#!/usr/bin/env python3
"""Writes the project files of the data tests from the measured files beside it.

A project file is the processing program's Perl data dump, gzip-compressed:
a first line naming the format, then per group `$old_group`, `@args` (key and
value pairs), `@x` and `@y` (energies and mu, or k and chi for a chi(k)
group) and a `[record]` line. Plain Python, no Larch:

  copper.prj   gzip; groups "Cu foil 10K" (cu.xmu with its own e0, pre-edge
               and normalisation ranges, R_bkg 1.2 and k weight 2), "FeO"
               (feo.xmu, R_bkg 0.9, no e0: found) and "Cu 150K" (cu150k.chi,
               a chi(k) group)
  empty_group.prj  plain text; a mu(E) group and a group whose arrays are empty
"""
import gzip


def columns(name, first=0, second=1):
    xs, ys = [], []
    for line in open(name):
        fields = line.split()
        if not fields or line.lstrip().startswith('#'):
            continue
        xs.append(fields[first])
        ys.append(fields[second])
    return xs, ys


def quoted(values):
    return ','.join("'%s'" % v for v in values)


def group(key, args, x, y):
    pairs = []
    for k in sorted(args):
        pairs += [k, args[k]]
    return ["", "$old_group = '%s';" % key, "@args = (%s);" % quoted(pairs),
            "@x = (%s);" % quoted(x), "@y = (%s);" % quoted(y), "[record] # "]


def project(groups):
    lines = ["# Athena project file -- Demeter version 0.9.24",
             "# This file created at 2026-12-07T23:00:00",
             "# Written by make_projects.py of the data tests"]
    for g in groups:
        lines += g
    lines += ["", "@journal = {};", "", "1;", ""]
    return "\n".join(lines)


cu_x, cu_y = columns('cu.xmu')
feo_x, feo_y = columns('feo.xmu')
chi_x, chi_y = columns('cu150k.chi')

copper = project([
    group('aaaaa', {'label': 'Cu foil 10K', 'is_xmu': '1', 'bkg_e0': '8980.5',
                    'bkg_pre1': '-150', 'bkg_pre2': '-40', 'bkg_nor1': '100',
                    'bkg_nor2': '700', 'bkg_nnorm': '1', 'bkg_rbkg': '1.2',
                    'bkg_kw': '2'}, cu_x, cu_y),
    group('bbbbb', {'label': 'FeO', 'is_xmu': '1', 'bkg_rbkg': '0.9', 'bkg_kw': '1'},
          feo_x, feo_y),
    group('ccccc', {'label': 'Cu 150K', 'is_xmu': '0', 'is_chi': '1'}, chi_x, chi_y),
])
with gzip.open('copper.prj', 'wb') as out:
    out.write(copper.encode('ascii'))

empty = project([
    group('ddddd', {'label': 'Cu foil 10K', 'is_xmu': '1'}, cu_x, cu_y),
    group('eeeee', {'label': 'lost scan', 'is_xmu': '1'}, [], []),
])
with open('empty_group.prj', 'w') as out:
    out.write(empty)
