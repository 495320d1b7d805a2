#!/usr/bin/env bash
# Builds the plug-in and renders a guitar riff through its four amplifier
# modes, as a host would, into WAV files in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
mkdir -p out
./build/tools/ka813-render --modes --save-input out/riff-di.wav -o out/riff.wav \
  build/shell/Varden_Ka318_v1_1.so
