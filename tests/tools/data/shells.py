#!/usr/bin/env python3
"""Reference neighbour shells for the atoms tests, computed independently of
scatterdeck-atoms: symmetry groups closed from hand-written generators with
exact fractions, images found by brute force over neighbouring cells.

Run it and paste the printed shells into tst_atoms.cpp.
"""
import itertools
import math
from fractions import Fraction as F


def op(text):
    """'x-y, x, z+1/2' -> (rotation rows, translation) with exact fractions."""
    rows, trans = [], []
    for part in text.replace(' ', '').lower().split(','):
        coeff = {'x': 0, 'y': 0, 'z': 0}
        const = F(0)
        for term in part.replace('-', '+-').split('+'):
            if not term:
                continue
            sign = -1 if term.startswith('-') else 1
            term = term.lstrip('-')
            if term in coeff:
                coeff[term] += sign
            else:
                const += sign * F(term)
        rows.append((coeff['x'], coeff['y'], coeff['z']))
        trans.append(const % 1)
    return tuple(rows), tuple(trans)


def compose(a, b):
    """a after b."""
    ra, ta = a
    rb, tb = b
    r = tuple(tuple(sum(ra[i][k] * rb[k][j] for k in range(3)) for j in range(3))
              for i in range(3))
    t = tuple((sum(ra[i][k] * tb[k] for k in range(3)) + ta[i]) % 1 for i in range(3))
    return r, t


def close(generators):
    group = {op('x,y,z')}
    group.update(op(g) for g in generators)
    while True:
        new = {compose(a, b) for a in group for b in group} - group
        if not new:
            return group
        group |= new


def cell_matrix(a, b, c, al, be, ga):
    al, be, ga = (math.radians(v) for v in (al, be, ga))
    v = math.sqrt(1 - math.cos(al)**2 - math.cos(be)**2 - math.cos(ga)**2
                  + 2 * math.cos(al) * math.cos(be) * math.cos(ga))
    return [[a, b * math.cos(ga), c * math.cos(be)],
            [0, b * math.sin(ga), c * (math.cos(al) - math.cos(be) * math.cos(ga)) / math.sin(ga)],
            [0, 0, c * v / math.sin(ga)]]


def cart(m, f):
    return [sum(m[i][j] * f[j] for j in range(3)) for i in range(3)]


def fill(group, sites):
    atoms = []
    for el, xyz in sites:
        seen = []
        for r, t in group:
            p = [(sum(r[i][j] * xyz[j] for j in range(3)) + float(t[i])) % 1.0 for i in range(3)]
            if not any(all(min(abs(p[i] - q[i]), 1 - abs(p[i] - q[i])) < 1e-4 for i in range(3))
                       for q in seen):
                seen.append(p)
        atoms += [(el, p) for p in seen]
    return atoms


def shells(cellp, group, sites, centre, rmax, n=4):
    m = cell_matrix(*cellp)
    atoms = fill(group, sites)
    found = []
    for el, p in atoms:
        for t in itertools.product(range(-n, n + 1), repeat=3):
            d = cart(m, [p[i] + t[i] - centre[i] for i in range(3)])
            r = math.sqrt(sum(x * x for x in d))
            if 1e-3 < r <= rmax:
                found.append((round(r, 4), el))
    table = {}
    for r, el in found:
        table[(r, el)] = table.get((r, el), 0) + 1
    return sorted(table.items()), len(atoms)


def show(name, result):
    rows, n = result
    print('%s (%d atoms in the cell):' % (name, n))
    print('    "%s"' % ', '.join('%d %s %.4f' % (k, el, r) for (r, el), k in rows))


ZNO = close(['x-y, x, z+1/2', '-y, -x, z'])
CORUNDUM_H = close(['-y, x-y, z', '-x, -y, -z', 'y, x, -z+1/2', 'x+2/3, y+1/3, z+1/3'])
P21C = close(['-x, y+1/2, -z+1/2', '-x, -y, -z'])

zno = ((3.24982, 3.24982, 5.20661, 90, 90, 120),
       [('Zn', (0.333333, 0.666667, 0.0)), ('O', (0.333333, 0.666667, 0.3819))])
show('ZnO, Zn absorbing', shells(*zno[:1], ZNO, zno[1], (0.333333, 0.666667, 0.0), 3.3))

corundum = ((4.7589, 4.7589, 12.991, 90, 90, 120),
            [('Al', (0.0, 0.0, 0.35216)), ('O', (0.30624, 0.0, 0.25))])
show('corundum, Al absorbing',
     shells(*corundum[:1], CORUNDUM_H, corundum[1], (0.0, 0.0, 0.35216), 3.6))

zro2 = ((5.1505, 5.2116, 5.3173, 90, 99.23, 90),
        [('Zr', (0.2754, 0.0395, 0.2083)), ('O', (0.0700, 0.3317, 0.3447)),
         ('O', (0.4496, 0.7569, 0.4792))])
show('ZrO2, Zr absorbing', shells(*zro2[:1], P21C, zro2[1], (0.2754, 0.0395, 0.2083), 3.6))

# Corundum on rhombohedral axes (obverse setting): a_r = (2a_h + b_h + c_h)/3
# and cyclically, so x_r = P^-1 x_h with the columns of P the rhombohedral
# vectors in hexagonal units.
a, c = 4.7589, 12.991
ar = math.sqrt(a * a / 3 + c * c / 9)
alpha = math.degrees(math.acos((c * c / 9 - a * a / 6) / (ar * ar)))
print('rhombohedral corundum: a = %.5f, alpha = %.4f' % (ar, alpha))
P = [[F(2, 3), F(-1, 3), F(-1, 3)], [F(1, 3), F(1, 3), F(-2, 3)], [F(1, 3), F(1, 3), F(1, 3)]]
# Inverse of P, worked out by hand: x_r = x_h + z_h, y_r = -x_h + y_h + z_h, z_r = -y_h + z_h.
rh_sites = []
for name, (x, y, z) in corundum[1]:
    xr = (x + z, -x + y + z, -y + z)
    assert all(abs(sum(float(P[i][j]) * xr[j] for j in range(3)) - (x, y, z)[i]) < 1e-12
               for i in range(3))
    rh_sites.append((name, tuple(round(v, 5) for v in xr)))
    print('  %s %.5f %.5f %.5f' % (name, *xr))
CORUNDUM_R = close(['z, x, y', '-x, -y, -z', '-y+1/2, -x+1/2, -z+1/2'])
show('rhombohedral corundum, Al absorbing',
     shells((round(ar, 5), round(ar, 5), round(ar, 5), round(alpha, 4), round(alpha, 4),
             round(alpha, 4)), CORUNDUM_R, rh_sites, rh_sites[0][1], 3.6))

# Copper cut to 500 atoms: fcc shells within 12 A, counted from the lattice.
cu = 3.6149
counts = {}
for n in itertools.product(range(-5, 6), repeat=3):
    for b in ((0, 0, 0), (0.5, 0.5, 0), (0.5, 0, 0.5), (0, 0.5, 0.5)):
        r = cu * math.sqrt(sum((n[i] + b[i])**2 for i in range(3)))
        if r <= 12.0:
            counts[round(r, 4)] = counts.get(round(r, 4), 0) + 1
total, kept = 0, 0
for r in sorted(counts):
    total += counts[r]
    if total <= 500:
        kept, last = total, r
print('Cu within 12 A: %d atoms; cut to %d at %.4f A' % (total, kept, last))
