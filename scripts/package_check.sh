#!/usr/bin/env bash
# Builds the Debian package and looks at it the way an installed system would: unpacked into a
# scratch folder, the command-line tool runs from there with its packs beside it, the desktop entry
# and the metainfo validate, the manual pages format cleanly, and lintian finds no errors
# (warnings are listed, not fatal). Reuses the build folder (default build) when it is configured.
#
#   scripts/package_check.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-${BUILD:-build}}
start=$(date +%s)

fail() { echo "package_check: FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

for tool in cpack dpkg-deb lintian desktop-file-validate appstreamcli man getcap readelf; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make deps installs it)"
done

[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
# Only what the package holds; in CI `make test` has built it all already.
targets="orvantis-cli orvantis-netd orvantis_language orvantis_package_files"
if cmake --build "$build" --target help | grep -q '^orvantis: '; then targets="$targets orvantis"; fi
# shellcheck disable=SC2086
cmake --build "$build" -j "${JOBS:-2}" --target $targets

step "cpack"
rm -f "$build"/orvantis_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/orvantis_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "expected one package in $build, found: ${debs[*]}"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
echo "$deb (version $version)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch"

step "programs from the unpacked package"
folder="$scratch/usr/lib/orvantis"
for f in orvantis-cli orvantis-netd orvantis-netd.lock Language/ENG.ini Language/CHT.ini; do
  [ -e "$folder/$f" ] || fail "$folder/$f is missing"
done
got=$("$scratch/usr/bin/orvantis-cli" --version) || fail "orvantis-cli --version failed"
[ "$got" = "orvantis-cli $version" ] || fail "orvantis-cli --version printed '$got'"
echo "$got"
help=$("$scratch/usr/bin/orvantis-cli" --help) || fail "orvantis-cli --help failed"
for cmd in discover netinfo ensure-subnet free-addresses arp-test read save scan wps link-server probe; do
  grep -qw -- "$cmd" <<<"$help" || fail "orvantis-cli --help does not list $cmd"
  grep -qw -- "$cmd" "$scratch/usr/share/bash-completion/completions/orvantis-cli" ||
    fail "the completion does not offer $cmd"
done
bash -n "$scratch/usr/share/bash-completion/completions/orvantis-cli" || fail "completion script"
# The lab's walk driver is a test program of its own: the product never carries it.
if [ -e "$folder/orvantis" ]; then
  ! grep -q ORVANTIS_TEST_SCRIPT "$folder/orvantis" || fail "orvantis carries the lab's walk driver"
fi
[ ! -e "$folder/orvantis-walk" ] || fail "the lab's walk program is in the package"

step "modes and capabilities of the programs"
# The package carries plain 0755 files owned by root; only the postinst gives the helper its
# group, mode 0750 and the two network capabilities. The programs must never get them.
listing=$(dpkg-deb -c "$deb")
for program in orvantis orvantis-cli orvantis-netd; do
  line=$(grep -E " \./usr/lib/orvantis/$program\$" <<<"$listing" || true)
  if [ "$program" = orvantis ] && [ -z "$line" ]; then continue; fi  # built without the GUI
  [ -n "$line" ] || fail "$program is not in the package"
  read -r mode owner _ <<<"$line"
  [ "$mode" = "-rwxr-xr-x" ] || fail "$program has mode $mode in the package"
  [ "$owner" = "root/root" ] || fail "$program belongs to $owner in the package"
  caps=$(getcap "$folder/$program")
  [ -z "$caps" ] || fail "$program carries capabilities: $caps"
  echo "$program: $mode $owner, no file capabilities"
done
dpkg-deb -e "$deb" "$scratch/DEBIAN"
postinst="$scratch/DEBIAN/postinst"
grep -q '^helper="$folder/orvantis-netd"$' "$postinst" || fail "postinst does not name the helper"
grep -q 'dpkg-statoverride --update --add root "$group" 0750 "$helper"' "$postinst" ||
  fail "postinst does not restrict the helper to the group"
grep -q 'setcap cap_net_admin,cap_net_raw+p "$helper"' "$postinst" ||
  fail "postinst does not give the helper its capabilities as permitted only (+p)"
! grep -q '+ep' "$postinst" || fail "postinst makes capabilities effective (+ep)"
[ "$(grep -c 'setcap cap_' "$postinst")" = 1 ] || fail "postinst sets capabilities on more than the helper"
grep -q 'setcap -r "$file"' "$postinst" || fail "postinst does not take capabilities from the programs"
echo "postinst: capabilities (+p) and group on orvantis-netd alone"
lock=$(grep -E " \./usr/lib/orvantis/orvantis-netd\.lock\$" <<<"$listing" || true)
[[ "$lock" == "-rw-r--r-- root/root "* ]] || fail "the helpers' lock file is not root's 0644: $lock"
# Every library of the helper runs with its privileges: none that reads files or the environment
# before main (the routing library's constructor does).
needed=$(readelf -d "$folder/orvantis-netd" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | tr '\n' ' ')
for lib in $needed; do
  case $lib in
    libc.so.* | libm.so.* | libstdc++.so.* | libgcc_s.so.* | ld-linux*) ;;
    *) fail "orvantis-netd loads $lib" ;;
  esac
done
echo "orvantis-netd loads only: $needed"

step "desktop entry and metainfo"
desktop=("$scratch"/usr/share/applications/*.desktop)
desktop-file-validate "${desktop[@]}" || fail "desktop-file-validate"
appstreamcli validate --no-net "$scratch"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
icon=$(sed -n 's/^Icon=//p' "${desktop[0]}")
for size in scalable/apps/$icon.svg 16x16/apps/$icon.png 48x48/apps/$icon.png 256x256/apps/$icon.png; do
  [ -f "$scratch/usr/share/icons/hicolor/$size" ] || fail "icon $size is missing"
done

step "manual pages"
for page in "$scratch"/usr/share/man/man1/*.1.gz "$scratch"/usr/share/man/man8/orvantis-netd.8.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  echo "$(basename "$page") ok"
done

step "lintian"
report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
warnings=$(grep '^W: ' <<<"$report" || true)
errors=$(grep '^E: ' <<<"$report" || true)
[ -z "$warnings" ] || { echo "lintian warnings:"; echo "$warnings"; }
[ -z "$errors" ] || { echo "$errors"; fail "lintian errors"; }
echo "lintian: no errors"

echo "package_check: OK in $(( $(date +%s) - start )) s"
