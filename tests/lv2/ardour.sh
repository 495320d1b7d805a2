#!/usr/bin/env bash
# Runs ardour.lua in Ardour's headless interpreter over the build's bundle,
# with a home and a plug-in path of its own.
#   ardour.sh BUNDLE_DIR WORK_DIR
set -euo pipefail
bundle=$1 work=$2
command -v ardour7-lua >/dev/null || { echo "skipped: ardour7-lua is missing (bash tools/deps.sh --packaging installs ardour)"; exit 77; }
rm -rf "$work" && mkdir -p "$work/lv2" "$work/home"
ln -s "$(readlink -f "$bundle")" "$work/lv2/ka813.lv2"
export HOME=$work/home LV2_PATH=$work/lv2
timeout 120 ardour7-lua "$(dirname "$0")/ardour.lua" "$work/project" >"$work/ardour.log" 2>&1 || true
grep -E "^(name|latency|Error)" "$work/ardour.log" || true
grep -qx "ardour: ok" "$work/ardour.log" || { cat "$work/ardour.log"; exit 1; }
