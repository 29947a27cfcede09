#!/usr/bin/env python3
"""Reference values of the agreement figures for tst_agreement.

Written from their definitions alone, independently of the C++ code:
  in k: d = k^m chi_measured(k), t = k^m chi_job(k) (job linearly
  interpolated; measured points outside the job's k range left out),
  over K_MIN <= k <= K_MAX; s = sum d t / sum t^2, R = sum (d - s t)^2 / sum d^2.
  in R: D, T the standard transforms (dk_mean/sqrt(pi)) sum w k^m chi exp(2ikR)
  on the grid R = 0, 0.25, ... 4 (running sum), over 1 <= R <= 3;
  s = sum Re(D conj T) / sum |T|^2, R = sum |D - s T|^2 / sum |D|^2.
Prints the C++ table rows.
"""
import cmath
import math

# In k: a three-point job and measured points around it.
JOB_K, JOB_CHI = [1.0, 2.0, 3.0], [1.0, 2.0, 0.0]
MEAS_K, MEAS_CHI = [0.5, 1.5, 2.0, 2.5, 3.5], [9.0, 1.0, -0.5, 1.0, 9.0]


def interp(x):
    if x < JOB_K[0] or x > JOB_K[-1]:
        return None
    for (k0, c0), (k1, c1) in zip(zip(JOB_K, JOB_CHI), zip(JOB_K[1:], JOB_CHI[1:])):
        if k0 <= x <= k1:
            return c0 + (x - k0) / (k1 - k0) * (c1 - c0)


def figure_k(kmin, kmax, m):
    pairs = [(k ** m * c, k ** m * interp(k)) for k, c in zip(MEAS_K, MEAS_CHI)
             if kmin <= k <= kmax and interp(k) is not None]
    s = math.fsum(d * t for d, t in pairs) / math.fsum(t * t for _, t in pairs)
    r = math.fsum((d - s * t) ** 2 for d, t in pairs) / math.fsum(d * d for d, _ in pairs)
    return s, r, len(pairs)


# In R: two different curves on different even k grids.
R_MEAS_K = [2.0 + 0.1 * i for i in range(41)]
R_MEAS_CHI = [((i * 7) % 11 - 5) / 10 for i in range(41)]
R_JOB_K = [2.0 + 0.05 * i for i in range(81)]
R_JOB_CHI = [((i * 5) % 13 - 6) / 12 for i in range(81)]


def window(k, kmin, kmax, dk):
    if dk == 0:
        return 1.0 if kmin <= k <= kmax else 0.0
    lo, hi = kmin - dk / 2, kmax + dk / 2
    if k < lo or k > hi:
        return 0.0
    rise = math.sin(math.pi / 2 * (k - lo) / dk) ** 2 if k < kmin + dk / 2 else 1.0
    fall = math.cos(math.pi / 2 * (k - (kmax - dk / 2)) / dk) ** 2 if k > kmax - dk / 2 else 1.0
    return min(rise, fall)


def grid():
    r, out = 0.0, []
    while r <= 4.0:
        out.append(r)
        r = r + 0.25
    return out


def ft(ks, chis, kmin, kmax, dk, m):
    pts = [(k, c) for k, c in zip(ks, chis) if kmin - dk / 2 <= k <= kmax + dk / 2]
    used = [k for k, _ in pts]
    step = (max(used) - min(used)) / (len(used) - 1)
    return [step / math.sqrt(math.pi) *
            sum(window(k, kmin, kmax, dk) * k ** m * c * cmath.exp(2j * k * r) for k, c in pts)
            for r in grid() if 1.0 <= r <= 3.0]


def figure_r(kmin, kmax, dk, m):
    D = ft(R_MEAS_K, R_MEAS_CHI, kmin, kmax, dk, m)
    T = ft(R_JOB_K, R_JOB_CHI, kmin, kmax, dk, m)
    s = sum((d * t.conjugate()).real for d, t in zip(D, T)) / sum(abs(t) ** 2 for t in T)
    r = sum(abs(d - s * t) ** 2 for d, t in zip(D, T)) / sum(abs(d) ** 2 for d in D)
    return s, r, len(D)


for name, kmin, kmax, m in [("m1, all points", 0.0, 10.0, 1), ("m0, all points", 0.0, 10.0, 0),
                            ("m2, K_MAX on a job point", 0.0, 2.0, 2),
                            ("m3, K_MIN on a job point", 2.0, 10.0, 3)]:
    s, r, n = figure_k(kmin, kmax, m)
    print(f'QTest::newRow("{name}") << {kmin!r} << {kmax!r} << {m} << {s!r} << {r!r} << {n};')
for name, kmin, kmax, dk, m in [("hanning dk1 m2", 3.0, 5.0, 1.0, 2), ("box m0", 2.5, 5.5, 0.0, 0),
                                ("hanning dk0.5 m3", 3.0, 5.0, 0.5, 3),
                                ("hanning dk1 m1", 3.0, 5.0, 1.0, 1)]:
    s, r, n = figure_r(kmin, kmax, dk, m)
    print(f'QTest::newRow("{name}") << {kmin!r} << {kmax!r} << {dk!r} << {m} << {s!r} << {r!r} '
          f'<< {n};')
