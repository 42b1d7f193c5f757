#!/usr/bin/env bash
# orvantis-cli read/save/scan/wps inside a namespace lab: a camera that refuses empty credentials,
# the free-address suggestion by real ARP probes, a save that moves the camera, a refused save;
# the request family taken from the discovery reply of cameras of both families in another subnet,
# a failure said in words, quiet standard error unless -v, progress only on a terminal.
set -euo pipefail
bin=${1:?bin folder}
# shellcheck source=lab_lib.bash
. "$(dirname "$0")/lab_lib.bash"
lab_init camera_cli
lab_need
lab_new ovc
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  wait 2>/dev/null || true
  lab_remove
}
lab_traps cleanup
fail() { echo "camera_cli: FAIL: $*"; exit 1; }

"$lab" up "$P" >/dev/null
cat >"$work/cam.json" <<'JSON'
{"cameras": [
  {"name": "door", "bindAddress": "10.0.0.20", "httpPort": 80, "cameraId": "SN20",
   "description": "Vexor-41HA", "password": "admin", "answerDiscovery": false,
   "wpsDurationMs": 300, "manageAddress": true},
  {"name": "broken", "bindAddress": "10.0.0.20", "httpPort": 8080, "fault": "404",
   "answerDiscovery": false, "mac": "00:11:22:33:44:20"},
  {"name": "old", "bindAddress": "192.168.0.98", "httpPort": 80, "family": "legacy",
   "mac": "00:11:22:33:44:98", "cameraId": "SN98"},
  {"name": "new", "bindAddress": "192.168.0.99", "httpPort": 80, "mac": "00:11:22:33:44:99",
   "cameraId": "SN99"}]}
JSON
"$lab" exec "$P" cam "$bin/orvantis-camsim" "$work/cam.json" >"$work/ready" 2>&1 &
pid=$!
lab_ready "$work/ready" || fail "emulator did not start: $(cat "$work/ready")"

cli() { "$lab" exec "$P" pc env ORVANTIS_SUBNET_WAIT_MS=200 "$bin/orvantis-cli" "$@"; }
# The same on a pseudo-terminal: standard output and error both land in the file $1.
cli_tty() {
  local file=$1
  shift
  script -qec "$lab exec $P pc env ORVANTIS_SUBNET_WAIT_MS=200 $bin/orvantis-cli $*" \
    /dev/null </dev/null >"$file"
}
desc=(--desc "Vexor-41HA/wireless")

# Wrong password: the login fails with -8 and nothing of it is printed.
set +e
out=$(cli read 10.0.0.20 "${desc[@]}" --password wrongpw --json); rc=$?
set -e
[ "$rc" = 1 ] || fail "wrong password gave exit $rc"
grep -q '"result":-8' <<<"$out" || fail "wrong password: $out"
grep -q wrongpw <<<"$out" && fail "password printed"

# Right password, with two free addresses found by ARP below .253 (the PC's own .5 is far away).
out=$(cli read 10.0.0.20 "${desc[@]}" --password admin --suggest --pc-address 10.0.0.5 --json)
grep -q '"result":0' <<<"$out" || fail "read: $out"
grep -q '"extendedCgi":1' <<<"$out" || fail "not extended: $out"
grep -q '"suggestedAddresses":\["10.0.0.253","10.0.0.252"\]' <<<"$out" || fail "suggest: $out"
grep -q '"password":"<hidden>"' <<<"$out" || fail "credentials shown: $out"
grep -q admin <<<"$out" && fail "password printed"
grep -q labpassword <<<"$out" && fail "WPA key printed"
out=$(cli read 10.0.0.20 "${desc[@]}" --password admin --show-secrets --json)
grep -q '"WPAKey":"labpassword"' <<<"$out" || fail "--show-secrets hid the key: $out"

# A host that takes .253 makes the search go on to .251.
"$lab" host "$P" taken 0 10.0.0.253/24 >/dev/null
out=$(cli read 10.0.0.20 "${desc[@]}" --password admin --suggest --pc-address 10.0.0.5 --json)
grep -q '"suggestedAddresses":\["10.0.0.252","10.0.0.251"\]' <<<"$out" || fail "taken: $out"

out=$(cli scan 10.0.0.20 "${desc[@]}" --password admin --json)
grep -q '"apScanOk":1' <<<"$out" || fail "scan: $out"

out=$(cli wps 10.0.0.20 "${desc[@]}" --password admin --interval 0.05 --json)
grep -q '"wpsAck":1' <<<"$out" || fail "wps: $out"

# Save a new title and move the camera to .21 (the emulator adds the address it was told).
out=$(cli save 10.0.0.20 "${desc[@]}" --password admin --set "TitleBar=Back yard" \
  --set IPType=1 --set IPAddr=10.0.0.21 --json)
grep -q '"result":0' <<<"$out" || fail "save: $out"
for _ in $(seq 50); do
  cli read 10.0.0.21 "${desc[@]}" --password admin --json >"$work/after" 2>/dev/null && break
  sleep 0.1
done
grep -q '"TitleBar":"Back yard"' "$work/after" || fail "after save: $(cat "$work/after")"

# A bad --set is refused before anything is sent.
set +e
cli save 10.0.0.21 "${desc[@]}" --password admin --set WireCh=999 >/dev/null 2>&1; rc=$?
set -e
[ "$rc" = 2 ] || fail "bad --set gave exit $rc"
# No --desc or --family: each camera's discovery reply picks the family (both in another subnet).
out=$(cli read 192.168.0.98 --json 2>"$work/old.err") || fail "legacy camera: $out $(cat "$work/old.err")"
grep -q '"legacyCamera":1' <<<"$out" || fail "legacy camera read as config: $out"
[ ! -s "$work/old.err" ] || fail "read wrote to stderr without -v: $(cat "$work/old.err")"
out=$(cli read 192.168.0.99 --json) || fail "config camera: $out"
grep -q '"legacyCamera":0' <<<"$out" || fail "config camera read as legacy: $out"
cli read 192.168.0.99 -v --json >/dev/null 2>"$work/verbose.err"
grep -qx 'recvfrom function return length = 284' "$work/verbose.err" ||
  fail "-v showed no trace: $(cat "$work/verbose.err")"
cli discover --seconds 1 --drain >"$work/list" 2>"$work/discover.err"
grep -q SN99 "$work/list" || fail "discover: $(cat "$work/list")"
[ ! -s "$work/discover.err" ] || fail "discover wrote to stderr without -v: $(cat "$work/discover.err")"
cli discover --seconds 1 --verbose >/dev/null 2>"$work/discover.err"
grep -q 'recvfrom function return length' "$work/discover.err" || fail "discover --verbose: no trace"

# A camera that answers 404 to everything and not to discovery: the sentence says both.
set +e
cli read 10.0.0.20 --port 8080 >"$work/404.out" 2>"$work/404.err"; rc=$?
out=$(cli read 10.0.0.20 --port 8080 --json 2>/dev/null)
set -e
[ "$rc" = 1 ] || fail "404 camera gave exit $rc"
grep -qx 'result=-4' "$work/404.out" || fail "404 plain: $(cat "$work/404.out")"
[ "$(wc -l <"$work/404.err")" = 1 ] || fail "not one sentence: $(cat "$work/404.err")"
grep -q '404 Not Found to the legacy requests (assumed: the camera did not answer the discovery request); it may use the other family: try --family config\.$' \
  "$work/404.err" || fail "404 sentence: $(cat "$work/404.err")"
[ "$(jq -r .step <<<"$out")" = read ] || fail "404 JSON: $out"
jq -r .message <<<"$out" | grep -q '^The camera at 10.0.0.20:8080 answered 404 Not Found' ||
  fail "404 JSON message: $out"

# Progress: on a terminal, updated in place; never with --json or into a pipe.
cli_tty "$work/tty" read 192.168.0.99
grep -q $'\rreading page 5 of 5' "$work/tty" || fail "no progress on a terminal: $(cat -v "$work/tty")"
grep -q $'\rlooking for the camera' "$work/tty" || fail "no discovery step: $(cat -v "$work/tty")"
grep -q '^legacyCamera=0' "$work/tty" || fail "tty output: $(cat -v "$work/tty")"
cli_tty "$work/tty" discover --seconds 2 --drain
grep -q $'\rlistening: 2 cameras, 0 s left' "$work/tty" || fail "no discover count: $(cat -v "$work/tty")"
cli_tty "$work/tty" read 192.168.0.99 --json
grep -q 'reading page' "$work/tty" && fail "progress with --json: $(cat -v "$work/tty")"
cli read 192.168.0.99 >"$work/pipe" 2>&1
grep -q 'reading page' "$work/pipe" && fail "progress into a pipe: $(cat -v "$work/pipe")"
echo "camera_cli: ok"
