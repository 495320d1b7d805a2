#!/usr/bin/env bash
# `cmake --install` into a DESTDIR lays out the plug-in, the LV2 bundle, the
# tools, their manual pages and the docs, and nothing else; the installed
# tools find the installed plug-in, lilv the installed bundle; the user
# component puts the plug-in alone into ~/.vst and the bundle into ~/.lv2.
#   layout.sh BUILD_DIR WORK_DIR TOOL...
set -euo pipefail
build=$1 work=$2; shift 2
tools=("$@")
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >/dev/null

# The LV2 bundle, with its UI when the build made one.
bundle=(ka813.so manifest.ttl ka813.ttl presets.ttl)
[ -f "$build/lv2/ka813.lv2/ka813_ui.so" ] && bundle+=(ka813_ui.so)
expected=(
  "644 usr/lib/vst/Varden_Ka318_v1_1.so"
  "644 usr/share/doc/ka813/LICENSE"
  "644 usr/share/doc/ka813/README.md"
  "644 usr/share/doc/ka813/docs/panel.png"
)
for tool in "${tools[@]}"; do
  expected+=("755 usr/bin/$tool" "644 usr/share/man/man1/$tool.1.gz")
done
for file in "${bundle[@]}"; do
  expected+=("644 usr/lib/lv2/ka813.lv2/$file")
done
diff -u <(printf '%s\n' "${expected[@]}" | sort) \
        <(cd "$work/dest" && find . -type f -printf '%m %P\n' | sort) \
  || fail "the installed files differ from the layout above"

for tool in "${tools[@]}"; do
  zcat "$work/dest/usr/share/man/man1/$tool.1.gz" | grep -q '^\.SH SYNOPSIS' \
    || fail "$tool.1 has no synopsis: its --help does not open with a usage line"
done

# Installed, the tools load the plug-in installed beside them. A cross
# build's tools run through the emulator KA813_EMULATOR names.
read -r -a emulator <<<"${KA813_EMULATOR:-}"
plugin=$work/dest/usr/lib/vst/Varden_Ka318_v1_1.so
"${emulator[@]}" "$work/dest/usr/bin/ka813-inspect" "$plugin" | grep -q '^Effect name: *Varden_Ka318_v1_1$' \
  || fail "ka813-inspect does not load the installed plug-in"
(cd "$work" && "${emulator[@]}" "$work/dest/usr/bin/ka813-render" --rate 22050 --seconds 1) | grep -qF "Orvex Plugins ($plugin)" \
  || fail "the installed ka813-render does not load the plug-in installed beside it"

info=$(LV2_PATH=$work/dest/usr/lib/lv2 lv2info urn:ka813:preamp 2>&1) || true
grep -qx "[[:space:]]*Binary: *file://$work/dest/usr/lib/lv2/ka813.lv2/ka813.so" <<<"$info" \
  || fail "lilv does not find the plug-in in the installed bundle"

cmake --install "$build" --prefix "$work/home" --component user >/dev/null
diff -u <( (echo .vst/Varden_Ka318_v1_1.so; printf '.lv2/ka813.lv2/%s\n' "${bundle[@]}") | sort) \
        <(cd "$work/home" && find . -type f -printf '%P\n' | sort) \
  || fail "the user component installs more or less than the plug-in in ~/.vst and the bundle in ~/.lv2"
echo "layout as expected: ${#expected[@]} files"
