#!/usr/bin/python3
"""Reference values of the data reduction tests, computed with X-ray Larch
0.9.58 (Debian python3-xraylarch; run with /usr/bin/python3).

For every measured file: pre_edge with its default ranges gives e0 and the
edge step; autobk with that e0 given, R_bkg 1.0 and k weight 1 (the defaults)
gives chi(k) on the 0.05 grid. For every mu(E) group of copper.prj: the
group's own e0, ranges, R_bkg and k weight where it has them, as read_athena
hands them to pre_edge and autobk.

Writes NAME.ref: a line "# e0 E0 edge_step STEP nknots N", then k and chi.
"""
from larch import Interpreter
from larch.io import read_ascii, read_athena
from larch.xafs import pre_edge, autobk

session = Interpreter()


def write(name, g):
    with open(name + '.ref', 'w') as out:
        out.write('# e0 %.6f edge_step %.8g nknots %d\n'
                  % (g.e0, g.edge_step, g.autobk_details.nspl))
        for k, chi in zip(g.k, g.chi):
            out.write('%.4f %.10g\n' % (k, chi))


for name in ('cu', 'feo', 'mno'):
    g = read_ascii(name + '.xmu', labels='energy mu')
    pre_edge(g, _larch=session)
    e0 = g.e0
    autobk(g, e0=e0, rbkg=1.0, kweight=1, _larch=session)
    write(name, g)

project = read_athena('copper.prj', do_preedge=False, do_bkg=False, do_fft=False,
                      _larch=session)
for gname, g in project.groups.items():
    if int(getattr(g.athena_params, 'is_xmu', 1)) != 1:
        continue
    p = g.bkg_params
    e0 = getattr(p, 'e0', None)
    kws = {}
    for larch_name, prj_name in (('pre1', 'pre1'), ('pre2', 'pre2'), ('norm1', 'nor1'),
                                 ('norm2', 'nor2'), ('nnorm', 'nnorm')):
        if hasattr(p, prj_name):
            kws[larch_name] = getattr(p, prj_name)
    if 'nnorm' in kws:
        kws['nnorm'] = int(kws['nnorm'])
    pre_edge(g, e0=e0, _larch=session, **kws)
    autobk(g, e0=e0, edge_step=g.edge_step, rbkg=float(getattr(p, 'rbkg', 1.0)),
           kweight=float(getattr(p, 'kw', 1)), _larch=session)
    write('prj_' + gname, g)
