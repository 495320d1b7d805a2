#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping the ones already there.
# --packaging adds what the packaging tests use: lintian, and Debian's ardour
# for its VST 2 scanner.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libpng-dev zlib1g-dev
  libx11-dev libxext-dev libxrender-dev libcairo2-dev libxtst-dev
  libsndfile1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils
  zam-plugins
  help2man dpkg-dev file
  lv2-dev liblilv-dev jalv jackd2
)
if [ "${1:-}" = --packaging ]; then
  packages+=(lintian ardour)
fi
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
