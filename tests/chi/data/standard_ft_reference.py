#!/usr/bin/env python3
"""Reference values of the standard chi(R) transform for tst_standardtransform.

Written from the formula alone, independently of the C++ code (Python's math,
math.fsum for correctly rounded sums):

  chi(R) = (dk_mean / sqrt(pi)) * sum w(k) k^n chi(k) exp(-2ikR)
  over kMin - dk/2 <= k <= kMax + dk/2, w the Hanning window of sill dk,
  dk_mean = (largest k - smallest k) / (points - 1) inside that range.

Prints one C++ table row per case: re and im at R = 0, 0.5, 1.0, 1.5.
"""
import math

EVEN_K = [2.0 + 0.25 * i for i in range(17)]
EVEN_CHI = [((i * 7) % 11 - 5) / 10 for i in range(17)]
UNEVEN_K = [2.0, 2.3, 2.45, 2.9, 3.1, 3.6, 4.0, 4.2, 4.75, 5.1, 5.5, 5.8, 6.3]
UNEVEN_CHI = [0.12, -0.31, 0.25, 0.4, -0.05, -0.22, 0.18, 0.3, -0.27, 0.09, 0.15, -0.11, 0.07]
R_GRID = [0.0, 0.5, 1.0, 1.5]


def window(k, kmin, kmax, dk):
    if dk == 0:
        return 1.0 if kmin <= k <= kmax else 0.0
    lo, hi = kmin - dk / 2, kmax + dk / 2
    if k < lo or k > hi:
        return 0.0
    rise = math.sin(math.pi / 2 * (k - lo) / dk) ** 2 if k < kmin + dk / 2 else 1.0
    fall = math.cos(math.pi / 2 * (k - (kmax - dk / 2)) / dk) ** 2 if k > kmax - dk / 2 else 1.0
    return min(rise, fall)


def transform(ks, chis, kmin, kmax, dk, n):
    lo, hi = kmin - dk / 2, kmax + dk / 2
    pts = [(k, c) for k, c in zip(ks, chis) if lo <= k <= hi]
    used = [k for k, _ in pts]
    step = (max(used) - min(used)) / (len(used) - 1)
    out = []
    for r in R_GRID:
        terms = [window(k, kmin, kmax, dk) * k ** n * c for k, c in pts]
        re = math.fsum(t * math.cos(2 * k * r) for t, (k, _) in zip(terms, pts))
        im = -math.fsum(t * math.sin(2 * k * r) for t, (k, _) in zip(terms, pts))
        out.append((step / math.sqrt(math.pi) * re, step / math.sqrt(math.pi) * im))
    return out


CASES = [
    # name, data, kMin, kMax, dk, n
    ("box n0, all points", "even", 2.0, 6.0, 0.0, 0),
    ("box n1, narrower range", "even", 3.0, 5.0, 0.0, 1),
    ("hanning n2 dk1, narrower range", "even", 3.0, 5.0, 1.0, 2),
    ("hanning n3 dk0.5", "even", 2.5, 5.5, 0.5, 3),
    ("hanning n0 dk1, uneven", "uneven", 3.0, 5.0, 1.0, 0),
    ("hanning n2 dk1, uneven", "uneven", 3.0, 5.0, 1.0, 2),
    ("box n3, uneven", "uneven", 2.4, 5.6, 0.0, 3),
    ("overlapping ramps n1 dk2", "even", 3.5, 4.5, 2.0, 1),
]

for name, data, kmin, kmax, dk, n in CASES:
    ks, chis = (EVEN_K, EVEN_CHI) if data == "even" else (UNEVEN_K, UNEVEN_CHI)
    vals = transform(ks, chis, kmin, kmax, dk, n)
    re = ", ".join(repr(v[0]) for v in vals)
    im = ", ".join(repr(v[1]) for v in vals)
    print(f'QTest::newRow("{name}") << {"true" if data == "even" else "false"} << {kmin!r} << '
          f'{kmax!r} << {dk!r} << {n} << V{{{re}}} << V{{{im}}};')
