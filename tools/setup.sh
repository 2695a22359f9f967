#!/usr/bin/env bash
# Installs the Debian packages Kelview needs (or, given names, those
# packages), skipping what is already there, so a second run costs a few
# dpkg queries and nothing else.
set -euo pipefail

packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(
  cmake g++ make pkg-config zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libgl-dev fonts-liberation xvfb xauth
  unzip zip python3 python3-numpy python3-dev pybind11-dev libxml2-utils libpugixml-dev
  clang libclang-rt-14-dev parallel
  dpkg-dev file desktop-file-utils appstream shared-mime-info groff-base lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
