#!/usr/bin/env bash
# orvantis-cli.exe under wine64 inside a namespace lab: the adapter facts, discovery of the
# emulated camera, a read that logs in and reads it, and an address add that wine cannot make,
# said in words.
#   tests/windows/cli_lab.sh LINUX_BIN WINDOWS_BIN    (the emulator comes from the Linux build)
set -euo pipefail
bin=${1:?Linux bin folder}
winbin=${2:?Windows bin folder}
# shellcheck source=../net/lab_lib.bash
. "$(dirname "$0")/../net/lab_lib.bash"
wine=${WINE64:-/usr/lib/wine/wine64}
lab_init windows_cli_lab
lab_need
lab_new ovw
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  # wine's server for this prefix lives in the lab's PC namespace: end it before the lab goes.
  WINEPREFIX="$work/wine" "$lab" exec "$P" pc "${wine%64}server64" -k 2>/dev/null || true
  wait 2>/dev/null || true
  lab_remove
}
lab_traps cleanup
fail() { echo "windows_cli_lab: FAIL: $*"; exit 1; }

"$lab" up "$P" >/dev/null
cat >"$work/cam.json" <<'JSON'
{"cameras": [
  {"bindAddress": "10.0.0.20", "httpPort": 80, "mac": "00:11:22:33:44:01", "cameraId": "SNA",
   "description": "Vexor-41HA", "password": "admin"}]}
JSON
"$lab" exec "$P" cam "$bin/orvantis-camsim" "$work/cam.json" >"$work/ready" 2>&1 &
pid=$!
lab_ready "$work/ready" || fail "emulator did not start: $(cat "$work/ready")"

# A prefix of its own, so wine's server (which owns the sockets) starts inside the namespace.
cli() {
  "$lab" exec "$P" pc env WINEPREFIX="$work/wine" WINEDEBUG=-all "$wine" "$winbin/orvantis-cli.exe" "$@"
}
cli --version >/dev/null 2>&1 || fail "wine could not start orvantis-cli.exe"

cli netinfo --json >"$work/netinfo.json" 2>"$work/netinfo.err" ||
  fail "netinfo failed: $(cat "$work/netinfo.err")"
grep -Eq '"pcAddrText":"10\.[01]\.0\.5"' "$work/netinfo.json" || fail "netinfo: $(cat "$work/netinfo.json")"

# The adapter named in ORVANTIS_ADAPTER is the one chosen, whichever the system lists last.
for named in eth0:10.0.0.5 eth1:10.1.0.5; do
  "$lab" exec "$P" pc env ORVANTIS_ADAPTER="${named%%:*}" WINEPREFIX="$work/wine" WINEDEBUG=-all \
    "$wine" "$winbin/orvantis-cli.exe" netinfo --json >"$work/named.json" 2>&1 || true
  grep -q "\"pcAddrText\":\"${named#*:}\"" "$work/named.json" ||
    fail "ORVANTIS_ADAPTER=${named%%:*}: $(cat "$work/named.json")"
done

# wine sends no ARP (its SendARP answers "not supported"), so the free-address search cannot ask:
# a failure with the reason, never a success and never an address taken as free.
if cli ensure-subnet 192.168.0.98 >"$work/ensure.out" 2>&1; then
  fail "ensure-subnet succeeded: $(cat "$work/ensure.out")"
fi
grep -q 'ARP request for 192\.168\.0\.[0-9]* from 10\.[01]\.0\.5: ' "$work/ensure.out" ||
  fail "ensure-subnet: $(cat "$work/ensure.out")"

cli discover --seconds 2 --drain --json >"$work/discover.json" 2>"$work/discover.err" ||
  fail "discover failed: $(cat "$work/discover.err")"
json=$(tr -d ' \n\r' <"$work/discover.json")
grep -q '"mac":"00:11:22:33:44:01","ip":"10.0.0.20"' <<<"$json" || fail "camera not listed: $json"
grep -q '"cam_id":"SNA"' <<<"$json" || fail "camera id missing: $json"
# The arrival adapter (WSARecvMsg with IP_PKTINFO) named by GetAdaptersAddresses.
grep -q '"cam_id":"SNA".*"adapter":"eth0"' <<<"$json" || fail "arrival adapter missing: $json"

cli read 10.0.0.20 --desc "Vexor-41HA/wireless" --password admin --json >"$work/read.json" \
  2>"$work/read.err" || fail "read failed: $(cat "$work/read.err")"
grep -q 'SNA\|Vexor' "$work/read.json" || fail "read printed no settings: $(head -c 400 "$work/read.json")"

echo "windows_cli_lab: ok"
