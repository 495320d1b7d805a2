#!/usr/bin/env bash
# Every Turtle file of the bundle passes Debian's lv2_validate with no error.
#   validate.sh BUNDLE_DIR
set -euo pipefail
bundle=$1
command -v lv2_validate >/dev/null || { echo "FAIL: lv2_validate is missing (bash tools/deps.sh installs lv2-dev)" >&2; exit 1; }
command -v sord_validate >/dev/null || { echo "FAIL: sord_validate is missing (bash tools/deps.sh installs sordi)" >&2; exit 1; }
files=("$bundle"/*.ttl)
[ ${#files[@]} -ge 3 ] || { echo "FAIL: no Turtle files in $bundle" >&2; exit 1; }
log=$(lv2_validate "${files[@]}" 2>&1) || true
echo "$log"
grep -q '^Found 0 errors' <<<"$log" || { echo "FAIL: lv2_validate reports errors" >&2; exit 1; }
! grep -qi '^warning' <<<"$log" || { echo "FAIL: lv2_validate warns" >&2; exit 1; }
echo "validated: ${files[*]##*/}"
