#!/usr/bin/env bash
# Memory per job of the main window, not part of the test suite: copies the
# four bundled CIF files under different names until there are N of them
# (default 300), and runs bench_window_memory (built with everything else)
# on a virtual display with Atoms, FEFF 6 and the bundled configuration. Prints the
# resident memory of the empty window, with every job finished, after
# "Del. All", and the peak.
#
# Usage: bench/window_memory.sh [build dir] [N]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
count=${2:-300}
exe=$build/bin/bench_window_memory
[[ -x $exe ]] || { echo "No $exe: build first (cmake --build $build)" >&2; exit 1; }
[[ -x /usr/bin/feff6 ]] || { echo "No /usr/bin/feff6: run scripts/setup.sh" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/00-Cif" "$work/00-Inp" "$work/inputs"
cifs=("$top"/examples/00-Cif/*.cif)
for ((i = 0; i < count; ++i)); do
  src=${cifs[i % ${#cifs[@]}]}
  cp "$src" "$work/inputs/$(printf '%04d' "$i")-$(basename "$src")"
done
# The bundled configuration (MAX_PROC 2, FEFF's path files), as scripts/run.sh
# lays it out.
sed "s|^ATOMS_EXE .*|ATOMS_EXE \"$build/bin/scatterdeck-atoms\"|" "$top/examples/config.cfg" \
  >"$work/config.cfg"
cd "$work"
xvfb-run -a -s "-screen 0 1600x1000x24" "$exe" "$work/inputs"
