#!/usr/bin/env bash
# The arm64 build sounds as the x86-64 build does, to the last bit: the
# built-in riff (its first two seconds) through both builds' VST 2 plug-ins, each by its own
# renderer (the arm64 one under the emulator), in every amplifier mode, both
# qualities, mono and stereo, at 44.1 and 96 kHz in odd block sizes. The
# float WAV files must be equal byte for byte.
#   same_sound.sh WORK_DIR NATIVE_RENDER NATIVE_PLUGIN ARM64_RENDER ARM64_PLUGIN EMULATOR...
set -euo pipefail
work=$1 native_render=$2 native_plugin=$3 arm_render=$4 arm_plugin=$5
shift 5
emulator=("$@")
rm -rf "$work" && mkdir -p "$work"

# rate  block  quality  layout
table=(
  "44100  511  0 0"
  "44100   37  1 1"
  "96000   97  0 1"
  "96000 1001  1 0"
)
modes=(a-clean a-crunch b-low-gain b-high-gain)
failed=0
for row in "${table[@]}"; do
  read -r rate block quality stereo <<<"$row"
  name="${rate}-block${block}-q${quality}-s${stereo}"
  settings=(--modes --seconds 2 --rate "$rate" --block "$block" --set "LowQ/HighQ=$quality" --set "Mono/Stereo=$stereo")
  "$native_render" "${settings[@]}" -o "$work/x86-$name.wav" "$native_plugin" >"$work/x86-$name.log"
  "${emulator[@]}" "$arm_render" "${settings[@]}" -o "$work/arm64-$name.wav" "$arm_plugin" >"$work/arm64-$name.log"
  for mode in "${modes[@]}"; do
    x86="$work/x86-$name-$mode.wav" arm="$work/arm64-$name-$mode.wav"
    [ -s "$x86" ] && [ -s "$arm" ] || { echo "FAIL $name $mode: no render"; failed=1; continue; }
    differing=$(cmp -l "$x86" "$arm" | wc -l || true)
    if [ "$differing" -eq 0 ] && [ "$(stat -c %s "$x86")" = "$(stat -c %s "$arm")" ]; then
      echo "same  $name $mode ($(stat -c %s "$x86") bytes)"
    else
      echo "FAIL  $name $mode: $differing bytes differ"
      failed=1
    fi
  done
done
exit $failed
