#!/usr/bin/env bash
# Builds the plug-in and runs it as a host would.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
./build/tools/ka813-inspect build/shell/Varden_Ka318_v1_1.so
