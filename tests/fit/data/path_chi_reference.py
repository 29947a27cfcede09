#!/usr/bin/python3
"""Reference chi(k) of single FEFF paths from X-ray Larch 0.9.58.

Run with Debian's python3-xraylarch (/usr/bin/python3, not a project
dependency):  /usr/bin/python3 path_chi_reference.py
For every feff*.dat of this folder it writes NAME.chi.txt: a '# set' line per
parameter set (name, s02, de0, sigma2, deltar, third, ei), then rows of k and
one chi column per set, from feffpath() + path2chi() on k = 0, 0.05, ..., 20
and a ragged grid.
"""
import glob
import os

import numpy as np
from larch.xafs import feffpath, path2chi

SETS = [
    # name,          s02,  de0,   sigma2, deltar, third,   ei
    ('feff',         1.00,  0.0,  0.000,  0.00,   0.0,     0.0),
    ('negative_de0', 0.85, -6.5,  0.005,  0.03,   0.0,     0.0),
    ('positive_de0', 0.92,  7.5,  0.020, -0.05,   0.0,     0.0),
    ('third',        0.78,  3.0,  0.012,  0.05,   0.0012,  0.0),
    ('imaginary',    1.10, -2.0,  0.008, -0.02,  -0.0004,  1.5),
    ('sigma2_only',  1.00,  0.0,  0.005,  0.00,   0.0,     0.0),
]

# 0..20 by 0.05, then points off that grid reaching past FEFF's last k.
GRID = np.concatenate([0.05 * np.arange(401), [20.013, 20.37, 21.1]])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name in sorted(glob.glob(os.path.join(here, '*feff*_*.dat'))):
        columns = [GRID]
        for _, s02, de0, sigma2, deltar, third, ei in SETS:
            path = feffpath(name, s02=s02, e0=de0, sigma2=sigma2,
                            deltar=deltar, third=third, ei=ei)
            path2chi(path, k=GRID)
            columns.append(path.chi)
        out = os.path.splitext(name)[0] + '.chi.txt'
        with open(out, 'w') as fh:
            fh.write('# chi(k) of %s from larch feffpath + path2chi\n'
                     % os.path.basename(name))
            for s in SETS:
                fh.write('# set %s %g %g %g %g %g %g\n' % s)
            for row in np.array(columns).T:
                fh.write(' '.join('%.12e' % v for v in row) + '\n')


if __name__ == '__main__':
    main()
