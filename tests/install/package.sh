#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its contents, that its
# Depends names the package of every library the binaries link (and no
# other), and that lintian reports no error and no warning it was not told
# about (the overrides say why), and that no binary needs a glibc newer than
# Debian 12's, which Raspberry Pi OS 64-bit shares. The package is amd64 or
# arm64, as the build was made for.
#   package.sh BUILD_DIR WORK_DIR VERSION TOOL...
set -euo pipefail
build=$1 work=$2 version=$3; shift 3
tools=("$@")
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
for program in cpack dpkg-shlibdeps lintian readelf; do
  command -v "$program" >/dev/null || fail "$program is missing (bash tools/deps.sh --packaging installs it)"
done

arch=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
case $arch in
  amd64) triplet=x86_64-linux-gnu objdump=objdump ;;
  arm64) triplet=aarch64-linux-gnu objdump=aarch64-linux-gnu-objdump ;;
  *) fail "the build names no architecture the package knows: '$arch'" ;;
esac
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb=$work/ka813_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $deb"

expected=(
  "-rw-r--r-- ./usr/lib/vst/Varden_Ka318_v1_1.so"
  "-rw-r--r-- ./usr/share/doc/ka813/LICENSE"
  "-rw-r--r-- ./usr/share/doc/ka813/README.md"
  "-rw-r--r-- ./usr/share/doc/ka813/changelog.gz"
  "-rw-r--r-- ./usr/share/doc/ka813/copyright"
  "-rw-r--r-- ./usr/share/doc/ka813/docs/panel.png"
  "-rw-r--r-- ./usr/share/lintian/overrides/ka813"
)
for tool in "${tools[@]}"; do
  expected+=("-rwxr-xr-x ./usr/bin/$tool" "-rw-r--r-- ./usr/share/man/man1/$tool.1.gz")
done
# The LV2 bundle, with its UI when the build made one.
bundle=(ka813.so manifest.ttl ka813.ttl presets.ttl)
[ -f "$build/lv2/ka813.lv2/ka813_ui.so" ] && bundle+=(ka813_ui.so)
for file in "${bundle[@]}"; do
  expected+=("-rw-r--r-- ./usr/lib/lv2/ka813.lv2/$file")
done
diff -u <(printf '%s\n' "${expected[@]}" | sort -k2) \
        <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $6}' | sort -k2) \
  || fail "the package's files differ from the list above"
[ "$(dpkg-deb -f "$deb" Package Version Architecture Section | tr '\n' ' ')" = \
  "Package: ka813 Version: $version Architecture: $arch Section: sound " ] \
  || fail "unexpected control fields: $(dpkg-deb -f "$deb" Package Version Architecture Section)"

# Depends, against the libraries the binaries really link.
dpkg-deb -x "$deb" "$work/root"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The package that owns a library, under any of its names (with merged /usr,
# dpkg knows some by their /lib path and some by their /usr/lib path).
owner() {
  local real
  real=$(readlink -f "$1")
  for candidate in "$1" "$real" "${real#/usr}" "/usr$1"; do
    dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1 | grep . && return
  done
  fail "no package owns $1"
}
declared=$(tr ',' '\n' <<<"$depends" | awk '{print $1}' | sort -u)
needed=$(find "$work/root" -type f \( -path '*/bin/*' -o -name '*.so' \) -exec readelf -d {} + |
  sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort -u |
  while read -r soname; do
    path=
    for folder in /lib/$triplet /usr/lib/$triplet; do
      [ -e "$folder/$soname" ] && { path=$folder/$soname; break; }
    done
    [ -n "$path" ] || fail "no $arch library $soname on this machine"
    owner "$path"
  done | sort -u)
[ -n "$needed" ] || fail "the binaries link no library at all?"
diff -u <(echo "$needed") <(echo "$declared") \
  || fail "Depends does not name exactly the packages of the linked libraries"
grep -q '(>= ' <<<"$depends" || fail "Depends carries no versions: not computed by dpkg-shlibdeps"

# Every binary is of the package's architecture and asks for no glibc symbol
# version above 2.36.
binaries=$(find "$work/root" -type f \( -path '*/bin/*' -o -name '*.so' \))
for binary in $binaries; do
  readelf -h "$binary" | grep -q "Machine:.*$([ "$arch" = arm64 ] && echo AArch64 || echo X86-64)" \
    || fail "$binary is not built for $arch"
done
command -v "$objdump" >/dev/null || fail "$objdump is missing"
newest=$($objdump -T $binaries | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -1)
echo "newest glibc symbol version needed: $newest"
[ -n "$newest" ] || fail "objdump found no glibc symbol versions"
[ "$(printf '%s\n' "$newest" 2.36 | sort -V | tail -1)" = 2.36 ] \
  || fail "a binary needs glibc $newest, newer than Debian 12's 2.36"

# lintian: its whole report goes to the log; errors and warnings fail.
lintian --fail-on none --show-overrides --pedantic --display-info "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
! grep -E '^[EW]: ' "$work/lintian.txt" || fail "lintian reports errors or warnings"
grep -q '^O: ' "$work/lintian.txt" || echo "(no overridden tags)"
echo "package as expected: $deb"
