#!/usr/bin/python3
"""Reference fits for the path-fit tests, computed with X-ray Larch 0.9.58.

Run from this folder with Debian's python3-xraylarch:
    /usr/bin/python3 larch_fits.py > larch_fits.txt
Each case fits the FEFF paths of one or more folders (files.dat with
feffNNNN.dat) to a measured chi(k): paths with reff <= 5.0 A, the 20 largest
by FEFF's amplitude ratio (ties by file number); s02 on all paths (times the
folder's weight share), de0, deltar = alpha*reff, sigma2 = ss1 for the
single-scattering paths within 0.25 A of the shortest selected path and ss2
for the others; starts de0 = -8, 0, +8 eV, the lowest chi-square kept.
"""
import sys, time
import numpy as np
from larch import Interpreter
from larch.io import read_ascii
from larch.fitting import param, param_group
from larch.xafs import feffpath, feffit_transform, feffit_dataset, feffit

PATH_RMAX = 5.0
MAX_PATHS = 20
BOUNDS = dict(s02=(0.05, 3.0), de0=(-25.0, 25.0), alpha=(-0.1, 0.1),
              ss1=(-0.005, 0.05), ss2=(-0.005, 0.05))

CASES = [
    # name, data file, [(folder, weight)], kmin, kmax, dk, kweight, rmin, rmax
    ('cu10k_fcc', 'cu10k.chi', [('Cu-fcc', 1)], 3.0, 14.0, 1.0, 2, 1.7, 3.0),
    ('cu10k_rocksalt', 'cu10k.chi', [('CuO-rocksalt', 1)], 3.0, 14.0, 1.0, 2, 1.7, 3.0),
    ('cu150k_fcc', 'cu150k.chi', [('Cu-fcc', 1)], 3.0, 14.0, 1.0, 2, 1.0, 3.0),
    ('cu150k_rocksalt', 'cu150k.chi', [('CuO-rocksalt', 1)], 3.0, 14.0, 1.0, 2, 1.0, 3.0),
    ('mno_rocksalt', 'mno.chi', [('MnO-rocksalt', 1)], 3.0, 11.0, 1.0, 2, 1.0, 3.3),
    ('mno_fcc', 'mno.chi', [('Mn-fcc', 1)], 3.0, 11.0, 1.0, 2, 1.0, 3.3),
    ('cu10k_group', 'cu10k.chi', [('Cu-fcc', 3), ('CuO-rocksalt', 1)], 3.0, 14.0, 1.0, 2, 1.7, 3.0),
]


def read_files_dat(folder):
    rows = []
    started = False
    for line in open(folder + '/files.dat'):
        words = line.split()
        if len(words) >= 2 and words[0] == 'file' and words[1] == 'sig2':
            started = True
            continue
        if started and len(words) >= 6 and words[0].startswith('feff'):
            num = int(words[0][4:8])
            rows.append(dict(file=folder + '/' + words[0], num=num, amp=float(words[2]),
                             deg=float(words[3]), nleg=int(words[4]), reff=float(words[5])))
    return rows


def select(rows):
    rows = [r for r in rows if r['reff'] <= PATH_RMAX]
    rows.sort(key=lambda r: (-r['amp'], r['num']))
    return rows[:MAX_PATHS]


def fit_case(case, session):
    name, datafile, folders, kmin, kmax, dk, kw, rmin, rmax = case
    dat = read_ascii(datafile, labels='k chi')
    total = sum(w for _, w in folders)
    chosen = []
    for folder, weight in folders:
        chosen += [(r, weight / total) for r in select(read_files_dat(folder))]
    shortest = min(r['reff'] for r, _ in chosen)
    best = None
    all_starts = 0.0
    for de0 in (-8.0, 0.0, 8.0):
        pars = param_group(
            s02=param(0.9, vary=True, min=BOUNDS['s02'][0], max=BOUNDS['s02'][1]),
            de0=param(de0, vary=True, min=BOUNDS['de0'][0], max=BOUNDS['de0'][1]),
            alpha=param(0.0, vary=True, min=BOUNDS['alpha'][0], max=BOUNDS['alpha'][1]),
            ss1=param(0.005, vary=True, min=BOUNDS['ss1'][0], max=BOUNDS['ss1'][1]),
            ss2=param(0.008, vary=True, min=BOUNDS['ss2'][0], max=BOUNDS['ss2'][1]),
            _larch=session)
        paths = []
        for r, share in chosen:
            first = r['nleg'] == 2 and r['reff'] - shortest <= 0.25
            paths.append(feffpath(r['file'], s02='s02*%.15g' % share, e0='de0',
                                  deltar='alpha*reff', sigma2='ss1' if first else 'ss2',
                                  _larch=session))
        trans = feffit_transform(kmin=kmin, kmax=kmax, dk=dk, kweight=kw, window='hanning',
                                 fitspace='r', rmin=rmin, rmax=rmax, _larch=session)
        dset = feffit_dataset(data=dat, paths=paths, transform=trans, _larch=session)
        t0 = time.time()
        out = feffit(pars, dset, _larch=session)
        seconds = time.time() - t0
        all_starts += seconds
        if best is None or out.chi_square < best[0].chi_square:
            best = (out, dset, de0, seconds)
    out, dset, de0start, seconds = best
    print('case %s' % name)
    print('data %s' % datafile)
    print('folders %s' % ' '.join('%s:%g' % fw for fw in folders))
    print('settings %g %g %g %d %g %g' % (kmin, kmax, dk, kw, rmin, rmax))
    print('paths %s' % ' '.join(str(r['num']) for r, _ in chosen))
    print('de0_start %g' % de0start)
    print('n_idp %.10g' % out.n_independent)
    print('ndata %d' % out.ndata)
    print('epsilon_r %.10g' % dset.epsilon_r)
    print('epsilon_k %.10g' % dset.epsilon_k)
    print('chi_square %.10g' % out.chi_square)
    print('chi2_reduced %.10g' % out.chi2_reduced)
    print('r_factor %.10g' % out.rfactor)
    print('success %d' % (1 if out.success else 0))
    flags = []
    for pname in ('s02', 'de0', 'alpha', 'ss1', 'ss2'):
        p = out.params[pname]
        err = p.stderr if p.stderr is not None else float('nan')
        print('param %s %.10g %.10g' % (pname, p.value, err))
        lo, hi = BOUNDS[pname]
        if min(p.value - lo, hi - p.value) <= 1e-3 * (hi - lo):
            flags.append(pname + '-at-bound')
    s02 = out.params['s02'].value
    if s02 < 0.5 or s02 > 1.3:
        flags.append('s02-unphysical')
    if out.nvarys >= out.n_independent:
        flags.append('nvar-ge-nidp')
    if not out.success:
        flags.append('not-converged')
    print('flags %s' % (','.join(flags) if flags else '-'))
    names = out.var_names
    for i in range(len(names)):
        for j in range(i + 1, len(names)):
            if out.covar is not None:
                c = out.covar[i, j] / np.sqrt(out.covar[i, i] * out.covar[j, j])
                if abs(c) > 0.5:
                    print('correl %s %s %.6f' % (names[i], names[j], c))
    # the best model on the data's 0.05 grid, for the fitted-curve checks
    model = dset.model
    for kk, cc in zip(model.k[::20], model.chi[::20]):
        print('model %.4f %.10g' % (kk, cc))
    print('seconds_per_start %.4f' % seconds)
    print('seconds_all_starts %.4f' % all_starts)
    print('end')
    sys.stdout.flush()


if __name__ == '__main__':
    session = Interpreter()
    which = sys.argv[1:]
    print('# X-ray Larch feffit reference fits (larch_fits.py)')
    for case in CASES:
        if not which or case[0] in which:
            fit_case(case, session)
