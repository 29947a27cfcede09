#!/usr/bin/python3
"""Reference values of the fit's transform pieces, from X-ray Larch 0.9.58.

    /usr/bin/python3 larch_transform.py > larch_transform.txt
window: ftwindow('hanning') on the 2048-point grid k = 0, 0.05, ...: the sum
of the window and its values at a few indices. noise: estimate_noise of a
measured chi(k) (epsilon_r, epsilon_k) and the chi(R) of the windowed,
k-weighted data at a few R indices (N_fft 2048, forward FFT).
"""
import numpy as np
from larch import Interpreter
from larch.io import read_ascii
from larch.xafs import ftwindow, feffit_transform, feffit_dataset

session = Interpreter()
k_ = 0.05 * np.arange(2048)
print('# window kmin kmax dk sum w[i] at i = 40 55 61 62 239 240 281 300')
for kmin, kmax, dk in ((3.0, 14.0, 1.0), (2.0, 11.0, 2.0), (3.0, 12.0, 0.0), (3.33, 12.77, 1.5)):
    w = ftwindow(k_, xmin=kmin, xmax=kmax, dx=dk, window='hanning')
    vals = ' '.join('%.12g' % w[i] for i in (40, 55, 61, 62, 239, 240, 281, 300))
    print('window %g %g %g %.12g %s' % (kmin, kmax, dk, w.sum(), vals))

print('# noise file kmin kmax dk kweight epsilon_r epsilon_k')
print('# chir file kmin kmax dk kweight index re im (larch sign)')
for fname, kmin, kmax, dk, kw in (('cu10k.chi', 3.0, 14.0, 1.0, 2), ('mno.chi', 3.0, 11.0, 1.0, 2),
                                  ('cu150k.chi', 2.0, 16.0, 2.0, 3)):
    dat = read_ascii(fname, labels='k chi')
    trans = feffit_transform(kmin=kmin, kmax=kmax, dk=dk, kweight=kw, window='hanning',
                             fitspace='r', rmin=1, rmax=3, _larch=session)
    ds = feffit_dataset(data=dat, paths={}, transform=trans, _larch=session)
    trans.make_karrays()
    kgrid = trans.k_[:int(1.01 + max(dat.k) / trans.kstep)]
    chi = np.interp(kgrid, dat.k, dat.chi)
    ds.estimate_noise(chi=chi, rmin=15.0, rmax=30.0)
    print('noise %s %g %g %g %d %.12g %.12g' % (fname, kmin, kmax, dk, kw, ds.epsilon_r,
                                                ds.epsilon_k))
    chir = trans.fftf(chi)
    for i in (33, 50, 80, 97):
        print('chir %s %g %g %g %d %d %.12g %.12g' % (fname, kmin, kmax, dk, kw, i,
                                                     chir[i].real, chir[i].imag))
