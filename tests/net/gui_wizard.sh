#!/usr/bin/env bash
# The desktop program offscreen inside a namespace lab, walked by its buttons. First: home, Setup Camera,
# Yes/LAN, the diagram, a search that lists the lab's cameras, the pick of the camera at the factory
# address (reached through a temporary address) that asks for its root password, and the read,
# which ends on the setup-type page. Then the link-server login, refused once, and the list.
set -euo pipefail
bin=${1:?bin folder}
here=$(cd "$(dirname "$0")/../.." && pwd)
[ "$(id -u)" = 0 ] || { echo "gui_wizard: needs root for network namespaces; skipped"; exit 77; }
[ -x "$bin/orvantis" ] || { echo "gui_wizard: $bin/orvantis not built; skipped"; exit 77; }
grep -q ORVANTIS_TEST_SCRIPT "$bin/orvantis" ||
  { echo "gui_wizard: $bin/orvantis has no test driver; skipped"; exit 77; }
P="ogw$$-"
work=$(mktemp -d)
pid=
pid2=
cleanup() {
  for p in $pid $pid2; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  "$here/scripts/lab" down "$P" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
fail() { echo "gui_wizard: FAIL: $*"; cat "$work/out" 2>/dev/null || true; exit 1; }

"$here/scripts/lab" up "$P" >/dev/null
cat >"$work/cam.json" <<'JSON'
{"cameras": [
  {"name": "hall", "bindAddress": "192.168.0.98", "httpPort": 80, "mac": "00:1C:A0:00:00:98",
   "cameraId": "SN000098", "description": "Vexor-41HA", "password": "admin"},
  {"name": "door", "bindAddress": "10.0.0.20", "httpPort": 80, "mac": "00:1C:A0:00:00:20",
   "cameraId": "SN000020", "description": "Vexor-41HA", "interface": "wireless"}]}
JSON
"$here/scripts/lab" exec "$P" cam "$bin/orvantis-camsim" "$work/cam.json" >"$work/ready" 2>&1 &
pid=$!
for _ in $(seq 50); do grep -q '"ready":true' "$work/ready" 2>/dev/null && break; sleep 0.1; done
grep -q '"ready":true' "$work/ready" || fail "emulator did not start: $(cat "$work/ready")"
cat >"$work/inet.json" <<'JSON'
{"linkServer": {"bindAddress": "198.51.100.10", "port": 80, "accounts": [
  {"id": "lab", "password": "pw", "cameras": [
    {"id": "SN000098", "ip": "192.168.0.98", "port": "80", "mac": "00:1C:A0:00:00:98",
     "modelName": "Vexor-41HA"},
    {"id": "SN000020", "ip": "10.0.0.20", "port": "80", "mac": "00:1C:A0:00:00:20",
     "modelName": "Vexor-41HA"}]}]}}
JSON
"$here/scripts/lab" exec "$P" inet "$bin/orvantis-camsim" "$work/inet.json" >"$work/inet" 2>&1 &
pid2=$!
for _ in $(seq 50); do grep -q '"ready":true' "$work/inet" 2>/dev/null && break; sleep 0.1; done
grep -q '"ready":true' "$work/inet" || fail "link server did not start: $(cat "$work/inet")"

# The program's folder: the packs and a remembered choice, so no language dialog opens.
mkdir -p "$work/prog/Language" "$work/run"
chmod 700 "$work/run"
cp "$here/Language/ENG.ini" "$here/Language/CHT.ini" "$work/prog/Language/"
printf '[DefaultLang]\r\nLangFile=ENG.ini\r\n' >"$work/prog/defaultlang.ini"

cat >"$work/script.txt" <<EOF2
expect-page CSubFirst
click Setup Camera
expect-page CSubChoose
click Yes
click LAN
click Next
expect-page CSubShowPic
click Next
expect-page CSubSearchNet
click Start Search
wait-list 2
screenshot $work/search.png
select-text 192.168.0.98
click Next
set-text Password: admin
click OK
expect-page CSubOption
screenshot $work/option.png
EOF2

# The PC's lab adapters are two veths; name the one on the cameras' wire for the temporary address.
set +e
timeout 120 "$here/scripts/lab" exec "$P" pc env QT_QPA_PLATFORM=offscreen \
  XDG_RUNTIME_DIR="$work/run" ORVANTIS_PROGRAM_FOLDER="$work/prog" \
  ORVANTIS_TIMER_SCALE=10 ORVANTIS_ADAPTER=eth0 \
  ORVANTIS_TEST_SCRIPT="$work/script.txt" ORVANTIS_TEST_STEP_MS=40000 \
  "$bin/orvantis" --probe-host 198.51.100.10 >"$work/out" 2>&1
rc=$?
set -e
keep() { [ -z "${ORVANTIS_KEEP_SHOTS:-}" ] || cp "$work"/*.png "$ORVANTIS_KEEP_SHOTS"/ 2>/dev/null || true; }
keep
[ "$rc" = 0 ] || fail "the walk ended with status $rc"
grep -q "all 18 steps passed" "$work/out" || fail "the walk did not finish"
[ -s "$work/search.png" ] && [ -s "$work/option.png" ] || fail "no screenshots"
# The link-server path: Search Intranet, a refused login, then the account's list.
cat >"$work/server.txt" <<EOF2
click Search Intranet
expect-page CSubLogin
set-text ID: lab
set-text Password: wrong
click Next
click OK
set-text Password: pw
click Next
expect-page CSubLinkSer
screenshot $work/server.png
EOF2
set +e
timeout 60 "$here/scripts/lab" exec "$P" pc env QT_QPA_PLATFORM=offscreen \
  XDG_RUNTIME_DIR="$work/run" ORVANTIS_PROGRAM_FOLDER="$work/prog" \
  ORVANTIS_TEST_SCRIPT="$work/server.txt" ORVANTIS_TEST_STEP_MS=20000 \
  "$bin/orvantis" --probe-host 198.51.100.10 --link-server 198.51.100.10 >"$work/out" 2>&1
rc=$?
set -e
keep
[ "$rc" = 0 ] || fail "the link-server walk ended with status $rc"
grep -q "all 10 steps passed" "$work/out" || fail "the link-server walk did not finish"
echo "gui_wizard: ok"
