#!/usr/bin/python3
"""Bad-input and fault sweep of the batch mode and the Atoms program.

    scripts/fault-sweep.py [build dir] [--quick]

Runs the built scatterdeck and scatterdeck-atoms on mutated inputs and under
faults, in a temporary folder, and checks that nothing is reported written or
ok that is not whole on disk:

  cifs        mutated CIFs through the Atoms program alone (exit 0 or 1 and a
              message, never a signal; peak memory under 500 MB; time), and a
              share of them through a batch run with FEFF 6
  measured    mutated measured chi(k) files as -data with -rank
  configs     mutated configurations
  garbage     a stand-in FEFF writing garbage chi.dat files, ending by signals
              and exit codes
  fulldisk    jobs of FEFF 6 on a small tmpfs that fills up (root only)
  tworuns     two batch runs started at once on one working folder

Prints one line of counts per class and exits with 1 when a check failed.
Not a test: it takes minutes, and its inputs are random (seeded, so a run
can be repeated).
"""
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
args = [a for a in sys.argv[1:] if not a.startswith('--')]
BUILD = os.path.abspath(args[0]) if args else os.path.join(TOP, 'build')
QUICK = '--quick' in sys.argv
APP = os.path.join(BUILD, 'bin', 'scatterdeck')
ATOMS = os.path.join(BUILD, 'bin', 'scatterdeck-atoms')
FEFF = '/usr/bin/feff6'
rng = random.Random(28)
failures = []


def fail(cls, what):
    failures.append('%s: %s' % (cls, what))


def batch(work, extra=(), timeout=600):
    proc = subprocess.run([APP, '-batch', '-e', '-c', 'batch.cfg', *extra], cwd=work,
                          capture_output=True, timeout=timeout,
                          env=dict(os.environ, QT_QPA_PLATFORM='offscreen'))
    return proc.returncode, proc.stdout.decode('utf-8', 'replace').splitlines(), \
        proc.stderr.decode('utf-8', 'replace')


def write(path, text, mode='w'):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode) as f:
        f.write(text)


def chir_whole(path, rows):
    """chiR.dat with its header and `rows` rows of four finite numbers."""
    try:
        with open(path, 'rb') as f:
            data = f.read().decode('shift_jis', 'replace')
    except OSError:
        return False
    if not data.endswith('\n'):
        return False
    values = [l.split() for l in data.splitlines() if l and not l.startswith('#')]
    if len(values) != rows:
        return False
    return all(len(v) == 4 and all(math.isfinite(float(x)) for x in v) for v in values)


def grid_rows(rmin, rmax, rdelta):
    n, r = 0, rmin
    while rmax >= r:
        n += 1
        r = r + rdelta
    return n


def check_lines(cls, lines, rows):
    """Every ok line's chiR.dat is whole; every other line names no written file."""
    counts = {}
    for line in lines[:-1]:
        fields = line.split('\t')
        word = fields[0]
        counts[word] = counts.get(word, 0) + 1
        if word == 'ok':
            if not chir_whole(os.path.join(fields[2], 'chiR.dat'), rows):
                fail(cls, 'ok but chiR.dat not whole: ' + line)
        elif 'written' in fields[3] and 'not written' not in fields[3]:
            fail(cls, 'failed line reports a written file: ' + line)
    if not lines or not lines[-1].startswith('summary\t'):
        fail(cls, 'no summary')
    return counts


def mutate_text(text, pool):
    lines = text.split('\n')
    for _ in range(rng.randint(1, 4)):
        kind = rng.randrange(6)
        i = rng.randrange(len(lines))
        if kind == 0:
            lines[i] = re.sub(r'-?\d+(\.\d+)?', lambda m: rng.choice(pool), lines[i], count=1)
        elif kind == 1:
            del lines[i]
        elif kind == 2:
            lines.insert(i, lines[rng.randrange(len(lines))])
        elif kind == 3 and lines[i]:
            j = rng.randrange(len(lines[i]))
            lines[i] = lines[i][:j] + chr(rng.randrange(1, 256)) + lines[i][j + 1:]
        elif kind == 4:
            lines = lines[:i]
            if not lines:
                lines = ['']
        else:
            lines[i] = lines[i] * rng.randint(2, 50)
    return '\n'.join(lines)


def sweep_cifs(root):
    sources = [os.path.join(d, f) for d in (os.path.join(TOP, 'examples', '00-Cif'),
                                            os.path.join(TOP, 'tests', 'tools', 'data'))
               for f in sorted(os.listdir(d)) if f.endswith('.cif')]
    pool = ['0', '0.00001', '0.000001', '0.01', '1e9', '-4', 'nan', 'abc', '?', '.', '1/3',
            '99999999999999999999', '0.5', '2']
    elements = ['Nh', 'Og', 'Uuo', 'Am', 'Fm', 'Xx', 'Cf', 'Pu', 'D', 'Ow']
    n = 60 if QUICK else 400
    cifdir = os.path.join(root, 'cifs')
    os.makedirs(cifdir)
    exits, signals, peak, slowest = {}, 0, 0, 0.0
    for i in range(n):
        text = open(rng.choice(sources), encoding='latin-1').read()
        if rng.random() < 0.3:
            text = re.sub(r'\n([A-Z][a-z]?)(\d*[ \t])',
                          lambda m: '\n' + rng.choice(elements) + m.group(2), text, count=1)
        text = mutate_text(text, pool)
        path = os.path.join(cifdir, 'm%03d.cif' % i)
        write(path, text, 'w')
        start = time.time()
        try:
            proc = subprocess.run(['/usr/bin/time', '-f', '%M', ATOMS, '-c', path],
                                  capture_output=True, timeout=120)
        except subprocess.TimeoutExpired:
            fail('cifs', 'Atoms past 120 s on ' + path)
            continue
        slowest = max(slowest, time.time() - start)
        rss = int(proc.stderr.decode('latin-1').strip().splitlines()[-1]) // 1024
        peak = max(peak, rss)
        code = proc.returncode
        exits[code] = exits.get(code, 0) + 1
        if code not in (0, 1):
            signals += 1
            fail('cifs', 'Atoms exit %d on %s' % (code, path))
        if rss >= 500:
            fail('cifs', 'Atoms peak %d MB on %s' % (rss, path))
        if code == 1 and not proc.stderr.decode('latin-1').startswith('scatterdeck-atoms: '):
            fail('cifs', 'no message on ' + path)
    print('cifs: %d mutated CIFs through Atoms: exits %s, bad ends %d, peak %d MB, slowest %.2f s'
          % (n, dict(sorted(exits.items())), signals, peak, slowest))
    # A share through the whole batch with FEFF 6.
    work = os.path.join(root, 'cif-batch')
    share = sorted(os.listdir(cifdir))[:(20 if QUICK else 100)]
    os.makedirs(os.path.join(work, '00-Cif'))
    os.makedirs(os.path.join(work, '00-Inp'))
    for name in share:
        shutil.copy(os.path.join(cifdir, name), os.path.join(work, '00-Cif', name))
    write(os.path.join(work, 'batch.cfg'),
          'MAX_PROC 2\nATOMS_EXE "%s"\nATOMS_ARG ""\nFEFF_EXE %s\nFEFF_ARG ""\n'
          'PROC_TIMEOUT 120\n' % (ATOMS, FEFF))
    code, lines, _ = batch(work, timeout=3600)
    counts = check_lines('cifs', lines, grid_rows(0.0, 8.0, 0.01))
    if len(lines) != len(share) + 1:
        fail('cifs', 'batch gave %d lines for %d inputs' % (len(lines), len(share)))
    print('cifs: %d of them in a batch with FEFF 6: exit %d, %s' % (len(share), code, counts))


def feff_stub(root, body):
    path = os.path.join(root, 'feff-stub.py')
    write(path, '#!/usr/bin/python3\nimport os, random, signal, sys\n' + body)
    os.chmod(path, 0o755)
    return path


GOOD_CHI = ''.join('  %.4f  %.6e  0  0\n' % (0.05 * i, 0.3 * math.sin(5.1 * 0.05 * i))
                   for i in range(401))
STUB_GOOD = 'open("chi.dat", "w").write("  k  chi  mag  phase @#\\n" + %r)\n' % GOOD_CHI


def sweep_measured(root):
    good = '# measured\n#  k  chi\n' + ''.join(
        '%.3f %.6f\n' % (3 + 0.05 * i, 0.2 * math.sin(5.1 * (3 + 0.05 * i))) for i in range(261))
    pool = ['0', '1e308', '-1e308', 'nan', 'inf', '3', '3.0', '20', '21', 'abc', '1e-300']
    n = 40 if QUICK else 200
    work = os.path.join(root, 'measured')
    write(os.path.join(work, '00-Inp', 'a.inp'), ' * This input\nEND\n')
    stub = feff_stub(root, STUB_GOOD)
    write(os.path.join(work, 'batch.cfg'), 'FEFF_EXE "%s"\n' % stub)
    exits = {}
    for i in range(n):
        text = good
        special = rng.random()
        if special < 0.05:
            text = '8.0 0.1\n'
        elif special < 0.1:
            text = ''.join('%.2f 0\n' % (3 + 0.1 * j) for j in range(100))
        else:
            text = mutate_text(text, pool)
        data = os.path.join(work, 'm.chi')
        write(data, text)
        rank = os.path.join(work, 'rank.tsv')
        if os.path.exists(rank):
            os.remove(rank)
        code, lines, err = batch(work, ['-data', 'm.chi', '-rank', 'rank.tsv'])
        exits[code] = exits.get(code, 0) + 1
        if code == 2:
            if 'm.chi' not in err or lines:
                fail('measured', 'refused without naming the file: %s' % err)
            continue
        if code != 0:
            fail('measured', 'exit %d: %s' % (code, err))
            continue
        table = open(rank).read() if os.path.exists(rank) else ''
        if not table.endswith('\n') or len(table.splitlines()) != 2 or 'nan' in table:
            fail('measured', 'ranking not whole or nan: %r' % table[:200])
    print('measured: %d mutated measured files: exits %s' % (n, dict(sorted(exits.items()))))


def sweep_configs(root):
    keys = ['K_MIN', 'K_MAX', 'R_MIN', 'R_MAX', 'R_DELTA', 'FT_MODE', 'FT_KWEIGHT', 'FT_DK',
            'MAX_PROC', 'CLEAR_CHI_DAT', 'PROC_TIMEOUT', 'FIT_RMIN', 'FIT_RMAX']
    pool = ['0', '-1', '1e6', 'abc', '', '0.001', '30', '31', '3', '20', '8', '0.5', '1', '2',
            'nan', 'inf', 'standard', '1e-9', '12', '4']
    n = 40 if QUICK else 200
    work = os.path.join(root, 'configs')
    for j in range(2):
        write(os.path.join(work, '00-Inp', 'j%d.inp' % j), ' * This input\nEND\n')
    stub = feff_stub(root, STUB_GOOD)
    exits, ok = {}, 0
    for i in range(n):
        values = {}
        for key in rng.sample(keys, rng.randint(1, 5)):
            values[key] = rng.choice(pool)
        text = ''.join('%s %s\n' % kv for kv in values.items())
        write(os.path.join(work, 'batch.cfg'), text + 'FEFF_EXE "%s"\n' % stub)
        shutil.rmtree(os.path.join(work, '00-Res'), ignore_errors=True)
        code, lines, err = batch(work)
        exits[code] = exits.get(code, 0) + 1
        if code == 2:
            if lines or not any(k in err for k in values):
                fail('configs', 'refused without naming a key: %r -> %s' % (values, err))
            continue
        # Accepted: the values are usable, so the grid is what they say.
        get = lambda k, d: float(values.get(k, d))
        rows = grid_rows(get('R_MIN', 0.0), get('R_MAX', 8.0), get('R_DELTA', 0.01))
        counts = check_lines('configs', lines, rows)
        ok += counts.get('ok', 0)
    print('configs: %d mutated configurations: exits %s, %d ok jobs checked'
          % (n, dict(sorted(exits.items())), ok))


def sweep_garbage(root):
    body = r'''
kind = random.Random(os.getpid()).randrange(9)
good = %r
if kind == 0:
    open("chi.dat", "wb").write(os.urandom(random.randrange(1, 5000)))
elif kind == 1:
    open("chi.dat", "w").write("k chi\n" + "nan nan\n" * 50)
elif kind == 2:
    open("chi.dat", "w").write("k chi\n" + good[:len(good) // 3])
    os.kill(os.getpid(), signal.SIGSEGV)
elif kind == 3:
    os.symlink("/dev/zero", "chi.dat")
elif kind == 4:
    os.mkfifo("chi.dat")
elif kind == 5:
    open("chi.dat", "w").write("k chi\n" + good)
    sys.exit(3)
elif kind == 6:
    open("chi.dat", "w").write("k chi\n" + "5 1e308\n" * 30)
elif kind == 7:
    open("chi.dat", "w").write("k chi\n" + good)
else:
    open("chi.dat", "w").write("k chi\n" + good[:200])
''' % GOOD_CHI
    stub = feff_stub(root, body)
    n = 30 if QUICK else 100
    work = os.path.join(root, 'garbage')
    for j in range(n):
        write(os.path.join(work, '00-Inp', 'g%03d.inp' % j), ' * This input\nEND\n')
    write(os.path.join(work, 'batch.cfg'), 'MAX_PROC 2\nFEFF_EXE "%s"\n' % stub)
    start = time.time()
    code, lines, _ = batch(work)
    counts = check_lines('garbage', lines, grid_rows(0.0, 8.0, 0.01))
    if len(lines) != n + 1:
        fail('garbage', '%d lines for %d jobs' % (len(lines), n))
    print('garbage: %d jobs of a FEFF writing garbage: exit %d in %.1f s, %s'
          % (n, code, time.time() - start, dict(sorted(counts.items()))))


def sweep_fulldisk(root):
    if os.geteuid() != 0:
        print('fulldisk: skipped, mounting a tmpfs needs root')
        return
    work = os.path.join(root, 'fulldisk')
    disk = os.path.join(root, 'disk')
    os.makedirs(disk)
    n = 20
    os.makedirs(os.path.join(work, '00-Inp'))
    for j in range(n):
        shutil.copy(os.path.join(TOP, 'examples', '00-Inp', 'Cu-metal.inp'),
                    os.path.join(work, '00-Inp', 'cu%02d.inp' % j))
    write(os.path.join(work, 'batch.cfg'), 'MAX_PROC 2\nFEFF_EXE %s\nRES_FILES "%s"\n'
          'feff_inp PRINT 1 0 0 3\n' % (FEFF, disk))
    subprocess.run(['mount', '-t', 'tmpfs', '-o', 'size=3m', 'tmpfs', disk], check=True)
    try:
        code, lines, err = batch(work)
        counts = check_lines('fulldisk', lines, grid_rows(0.0, 8.0, 0.01))
        nospace = sum('No space left on device' in l for l in lines)
    finally:
        subprocess.run(['umount', '-l', disk])
    print('fulldisk: %d FEFF 6 jobs on a 3 MB disk: exit %d, %s, %d lines naming no space'
          % (n, code, dict(sorted(counts.items())), nospace))


def sweep_tworuns(root):
    stub = feff_stub(root, 'import time\ntime.sleep(0.3)\n' + STUB_GOOD)
    work = os.path.join(root, 'tworuns')
    for j in range(6):
        write(os.path.join(work, '00-Inp', 't%d.inp' % j), ' * This input\nEND\n')
    write(os.path.join(work, 'batch.cfg'), 'MAX_PROC 2\nFEFF_EXE "%s"\n' % stub)
    rounds, pairs = (3 if QUICK else 10), {}
    for _ in range(rounds):
        env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
        procs = [subprocess.Popen([APP, '-batch', '-e', '-c', 'batch.cfg'], cwd=work, env=env,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                 for _ in range(2)]
        results = [(p.wait(timeout=120), p.stdout.read().decode(), p.stderr.read().decode())
                   for p in procs]
        codes = tuple(sorted(r[0] for r in results))
        pairs[codes] = pairs.get(codes, 0) + 1
        if codes != (0, 2):
            fail('tworuns', 'exit codes %s' % (codes,))
        for c, out, err in results:
            if c == 2 and 'in use by another run' not in err:
                fail('tworuns', 'refused without naming the other run: ' + err)
            if c == 0:
                check_lines('tworuns', out.splitlines(), grid_rows(0.0, 8.0, 0.01))
    print('tworuns: %d rounds of two runs at once: exit code pairs %s' % (rounds, pairs))


def main():
    root = tempfile.mkdtemp(prefix='scatterdeck-sweep-')
    try:
        for step in (sweep_cifs, sweep_measured, sweep_configs, sweep_garbage, sweep_fulldisk,
                     sweep_tworuns):
            step(root)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    for f in failures[:50]:
        print('FAILED ' + f)
    print('%d failed checks' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
