#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping the ones already there.
# --packaging adds what the packaging tests use: lintian, and Debian's ardour
# for its VST 2 scanner. --arm64 adds the cross toolchain, the arm64 -dev
# packages beside the native ones, and qemu to run what it builds.
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
  lv2-dev sordi liblilv-dev lilv-utils libebur128-dev jalv jackd2
  help2man dpkg-dev file
)
arm64=false
for option in "$@"; do
  case $option in
    --packaging) packages+=(lintian ardour) ;;
    --arm64) arm64=true ;;
    *) echo "deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done
if $arm64; then
  packages+=(crossbuild-essential-arm64 qemu-user lintian xvfb xauth)
  for p in libpng-dev zlib1g-dev libx11-dev libxext-dev libxrender-dev libcairo2-dev libxtst-dev \
           libsndfile1-dev lv2-dev liblilv-dev libebur128-dev libgtest-dev libgmock-dev libbenchmark-dev; do
    packages+=("$p:arm64")
  done
fi
# Installed for the architecture asked for (the machine's own unless the
# name says :arm64), or for all: an arm64 -dev package is not the native one.
native=$(dpkg --print-architecture)
missing=()
for p in "${packages[@]}"; do
  arch=$native
  [[ $p == *:* ]] && arch=${p#*:}
  if ! dpkg-query -W -f='${Architecture} ${Status}\n' "$p" 2>/dev/null |
       grep -qE "^($arch|all) install ok installed$"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if $arm64 && ! dpkg --print-foreign-architectures | grep -qx arm64; then
    dpkg --add-architecture arm64
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
