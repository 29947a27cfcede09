#!/usr/bin/env bash
# Installs what is missing, builds Scatterdeck, lays out a working folder and
# starts the program there. Extra arguments go to scatterdeck (e.g. -e for the
# English interface).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
work=${WORK_DIR:-$top/run}
"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

mkdir -p "$work"
echo "Working folder: $work"
cd "$work"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found (DISPLAY is not set). Scatterdeck is a desktop program:"
  echo "  run this command from a graphical session, or start it on a virtual display:"
  echo "  xvfb-run -a $0 $*"
  exit 1
fi
exec "$build/bin/scatterdeck" "$@"
