#!/usr/bin/env bash
# Developer aid: starts a command on a virtual display with a window manager,
# waits, and saves a screenshot of the whole screen.
#   scripts/screenshot.sh OUT.png SECONDS COMMAND [ARGS...]
set -euo pipefail
out=$1 secs=$2
shift 2
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5
DISPLAY=$display "$@" &
app=$!
sleep "$secs"
DISPLAY=$display import -window root "$out"
kill "$app" "$wm" 2>/dev/null || true
wait "$app" 2>/dev/null || true
echo "saved $out"
