#!/usr/bin/env bash
# Discovery over real broadcasts in a namespace lab: emulated cameras on both PC segments, odd
# replies among them, and a PC without any broadcast-capable adapter. $1 is the build's bin folder.
set -euo pipefail
bin=$(cd "${1:?bin folder}" && pwd)
# shellcheck source=lab_lib.bash
. "$(dirname "$0")/lab_lib.bash"
lab_init discovery_lab
lab_need
[ -x "$bin/orvantis-camsim" ] || lab_skip "no emulator"

lab_new odl
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  lab_remove
}
lab_traps cleanup
fail() { echo "discovery_lab: FAIL: $*"; exit 1; }

"$lab" up "$P"
"$lab" host "$P" solo 0  # no IPv4 address at all: the engine's loopback state

cat >"$work/cam.json" <<'JSON'
{"cameras": [
  {"bindAddress": "10.0.0.20", "mac": "00:11:22:33:44:01", "cameraId": "SNA", "interface": "wireless"},
  {"bindAddress": "10.0.0.20", "mac": "00:11:22:33:44:02", "cameraId": "SNB", "magic": 18180614,
   "description": "Vexor-Outdoor-Night-Edition-41HA"},
  {"bindAddress": "10.0.0.20", "mac": "00:11:22:33:44:03", "cameraId": "SNC", "replyLength": 100},
  {"bindAddress": "10.0.0.20", "mac": "00:11:22:33:44:04", "cameraId": "SND", "replyLength": 285},
  {"bindAddress": "10.0.0.20", "mac": "00:11:22:33:44:05", "cameraId": "SNE", "replyType": 3}
]}
JSON
cat >"$work/cam2.json" <<'JSON'
{"cameras": [{"bindAddress": "10.1.0.30", "mac": "00:11:22:33:55:01", "cameraId": "SN2"}]}
JSON

start_sim() {  # NODE CONFIG
  local out="$work/$1.ready"
  "$lab" exec "$P" "$1" "$bin/orvantis-camsim" "$2" >"$out" 2>&1 &
  pids+=($!)
  lab_ready "$out" || { cat "$out"; fail "the emulator in $1 did not become ready"; }
}
start_sim cam "$work/cam.json"
start_sim cam2 "$work/cam2.json"

# Draining: every camera of both segments within about a second (-v: with the engine's trace).
"$lab" exec "$P" pc "$bin/orvantis-cli" discover -v --seconds 1 --drain --json \
  >"$work/drain.json" 2>"$work/drain.err"
json=$(tr -d ' \n' <"$work/drain.json")
has() { grep -q -- "$1" <<<"$json" || fail "missing $1 in: $json"; }
has '{"mac":"00:11:22:33:44:01","ip":"10.0.0.20","port":"[0-9]*","desc":"Vexor-41HA/wireless","cam_id":"SNA","sport":"5000","adapter":"eth0"}'
has '"desc":"oor-Night-Edition-41HA/ethernet","cam_id":"SNB"'  # second magic; long name keeps "-41HA/"
has '"cam_id":"SNC","sport":"0"'                               # 100-byte reply
has '"ip":"10.1.0.30","port":"[0-9]*","desc":"Vexor-41HA/ethernet","cam_id":"SN2"'
has '"cam_id":"SN2","sport":"[0-9]*","adapter":"eth1"'  # the reply came in on the second adapter
grep -q SND <<<"$json" && fail "the 285-byte reply was listed"
grep -q SNE <<<"$json" && fail "a reply of type 3 was listed"
[ "$(grep -o '"mac"' <<<"$json" | wc -l)" = 4 ] || fail "expected 4 cameras: $json"

err=$(cat "$work/drain.err")
grep -qx 'Is not reply message ! (16777216)' <<<"$err" || fail "own request not seen: $err"
grep -qx 'Is not reply message ! (50331648)' <<<"$err" || fail "type 3 not reported: $err"
grep -qx 'recvfrom function return length = -1' <<<"$err" || fail "285 bytes not rejected: $err"
grep -qx 'Failed in receive reply message !' <<<"$err" || fail "receive failure not printed"

# One datagram per handle per poll: 5 replies and 2 own requests per socket take 7 polls.
"$lab" exec "$P" pc "$bin/orvantis-cli" discover --seconds 7 >"$work/text.out" 2>/dev/null
[ "$(wc -l <"$work/text.out")" = 4 ] || fail "default mode: $(cat "$work/text.out")"
grep -Eq '^10\.0\.0\.20 +00:11:22:33:44:01 +[0-9]+ +Vexor-41HA/wireless +5000 +SNA$' "$work/text.out" ||
  fail "text row: $(cat "$work/text.out")"

# No broadcast-capable adapter: nothing is sent, nothing listed, no diagnostics even with -v.
"$lab" exec "$P" solo "$bin/orvantis-cli" discover -v --seconds 1 --drain >"$work/solo.out" 2>"$work/solo.err"
[ ! -s "$work/solo.out" ] && [ ! -s "$work/solo.err" ] || fail "loopback state printed something"

echo "discovery_lab: ok"
