#!/usr/bin/env bash
# Installs the package on this machine as a user would (apt-get install
# ./ka813_*.deb), loads the installed plug-in with the installed tools, lets
# Ardour 7's own VST 2 scanner index it, has lilv find the LV2 plug-in where
# LV2 hosts look for it, and removes the package again,
# whatever happened. It needs root; without root it is skipped (status 77),
# and so it is when a ka813 package is already installed, to leave that be.
#   system.sh PACKAGE_WORK_DIR VERSION WORK_DIR
set -euo pipefail
packages=$1 version=$2 work=$3
deb=$packages/ka813_${version}_amd64.deb
plugin=/usr/lib/vst/Varden_Ka318_v1_1.so
bundle=/usr/lib/lv2/ka813.lv2
scanner=/usr/lib/ardour7/ardour-vst-scanner
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$(id -u)" != 0 ]; then
  echo "skipped: installing a package needs root"
  exit 77
fi
if dpkg-query -W -f='${Status}' ka813 2>/dev/null | grep -q 'install ok installed'; then
  echo "skipped: a ka813 package is installed already; this test would replace and remove it"
  exit 77
fi
[ -f "$deb" ] || fail "no $deb (the package test makes it)"
[ -x "$scanner" ] || fail "no $scanner (bash tools/deps.sh --packaging installs Debian's ardour)"
rm -rf "$work" && mkdir -p "$work"

export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -y -q -o DPkg::Lock::Timeout=300 "$@"; }
remove() { apt_get purge ka813 >"$work/remove.log" 2>&1 || cat "$work/remove.log" >&2; }
trap remove EXIT

# A path with a slash makes apt install the file, resolving its Depends.
apt_get install --no-install-recommends "$(readlink -f "$deb")" >"$work/install.log" 2>&1 \
  || { cat "$work/install.log"; fail "apt-get could not install the package"; }
dpkg-query -W -f='${Status} ${Version}\n' ka813 | grep -qx "install ok installed $version" \
  || fail "the package is not installed after apt-get"

/usr/bin/ka813-inspect "$plugin" >"$work/inspect.txt" || { cat "$work/inspect.txt"; fail "ka813-inspect $plugin"; }
for line in 'Effect name: *Varden_Ka318_v1_1' 'Vendor: *Orvex Plugins' 'Inputs: *2' 'Outputs: *2' \
            'Flags: *0x31 (HasEditor CanReplacing ProgramChunks)'; do
  grep -qx "$line" "$work/inspect.txt" || { cat "$work/inspect.txt"; fail "ka813-inspect shows no \"$line\""; }
done
(cd "$work" && /usr/bin/ka813-render --rate 22050 -o riff.wav) | grep -qF "Orvex Plugins ($plugin)" \
  || fail "the installed renderer does not load $plugin by itself"

# Ardour's scanner, in a home of its own: -f rescans and writes the cache.
mkdir -p "$work/home"
HOME=$work/home XDG_CACHE_HOME=$work/home/.cache LD_LIBRARY_PATH=/usr/lib/ardour7 \
  "$scanner" -f "$plugin" >"$work/scanner.log" 2>&1 || { cat "$work/scanner.log"; fail "the scanner failed"; }
cache=$(find "$work/home/.cache/ardour7/vst" -name '*.v2i' | head -1)
[ -n "$cache" ] || { cat "$work/scanner.log"; fail "the scanner wrote no .v2i cache"; }
cat "$cache"
for attribute in "binary=\"$plugin\"" 'name="Varden_Ka318_v1_1"' 'creator="Orvex Plugins"' \
                 'n_inputs="2"' 'n_outputs="2"' 'is_instrument="0"' 'has_editor="1"'; do
  grep -qF "$attribute" "$cache" || fail "the scanner's cache has no $attribute"
done

# LV2 hosts search /usr/lib/lv2 unless told otherwise.
info=$(env -u LV2_PATH HOME="$work/home" lv2info urn:ka813:preamp 2>&1) || true
grep -qx "[[:space:]]*Binary: *file://$bundle/ka813.so" <<<"$info" \
  || { echo "$info"; fail "lilv does not find the LV2 plug-in in $bundle"; }

trap - EXIT
remove
! dpkg-query -W -f='${Status}' ka813 2>/dev/null | grep -q 'install ok installed' || fail "ka813 is still installed"
[ ! -e "$plugin" ] && [ ! -e "$bundle" ] && [ ! -e /usr/bin/ka813-render ] || fail "files stay behind after the package is removed"
echo "installed, loaded, scanned by Ardour and removed again"
