#!/usr/bin/env bash
# Installs every Debian package Scatterdeck needs to build, test and run.
# Runs apt-get only when something is missing, so a second call is quick.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev libqt5svg5-dev qttools5-dev qttools5-dev-tools
  gemmi-dev tao-pegtl-dev libstb-dev
  libgsl-dev libcminpack-dev zlib1g-dev
  ifeffit ifeffit-doc
  feff85exafs
  xvfb xauth x11-apps x11-utils imagemagick openbox xdotool
  fonts-noto-cjk
  slurm-wlm munge time
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
