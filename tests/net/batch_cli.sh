#!/usr/bin/env bash
# orvantis-cli discover --csv, apply and audit against 12 emulated cameras in three subnets (one
# the PC's own, two reached through temporary addresses): the exact writes in each camera's log,
# a dry run that writes nothing, an entry refused by the UPnP page's rule while the others
# succeed, Ctrl-C in the middle (no address left, a report), and an audit that shows exactly the
# fields made to differ.
set -euo pipefail
bin=${1:?bin folder}
# shellcheck source=lab_lib.bash
. "$(dirname "$0")/lab_lib.bash"
lab_init batch_cli
lab_need
lab_new ovb
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  lab_remove
}
lab_traps cleanup
fail() { echo "batch_cli: FAIL: $*"; exit 1; }

# Four cameras in each of 10.0.0.0/24 (the PC's), 192.168.0.0/24 and 192.168.5.0/24.
addrs=(10.0.0.21 10.0.0.22 10.0.0.23 10.0.0.24 192.168.0.101 192.168.0.102 192.168.0.103
  192.168.0.104 192.168.5.101 192.168.5.102 192.168.5.103 192.168.5.104)
"$lab" up "$P" >/dev/null
"$lab" host "$P" cams 0 "${addrs[@]/%//24}" >/dev/null
{
  printf '{"logPath": "%s/requests.jsonl",\n' "$work"
  printf ' "defaults": {"password": "admin", "description": "Vexor-41HA", "httpPort": 80},\n'
  printf ' "cameras": [\n'
  for i in "${!addrs[@]}"; do
    n=$((i + 1))
    printf '  {"name": "c%d", "bindAddress": "%s", "mac": "00:11:22:33:55:%02d", "cameraId": "SN%d"}%s\n' \
      "$n" "${addrs[$i]}" "$n" "$n" "$([ "$n" = 12 ] && echo || echo ,)"
  done
  printf ']}\n'
} >"$work/cams.json"
"$lab" exec "$P" cams "$bin/orvantis-camsim" "$work/cams.json" >"$work/ready" 2>&1 &
pid=$!
lab_ready "$work/ready" || fail "emulator did not start: $(cat "$work/ready")"

cli() {
  "$lab" exec "$P" pc env ORVANTIS_SUBNET_WAIT_MS=200 ORVANTIS_REFIND_WAIT_MS=5000 \
    "$bin/orvantis-cli" "$@"
}
addresses_left() { "$lab" exec "$P" pc ip -4 -o addr show | grep -c '192\.168\.' || true; }

# The export: every camera once, with the header and the adapter it answered on.
cli discover --csv --until-quiet 1000 >"$work/found.csv"
head -1 "$work/found.csv" | grep -qx $'ip,mac,port,desc,sport,cam_id,adapter\r' ||
  fail "csv header: $(head -1 "$work/found.csv")"
[ "$(grep -c ',eth0' "$work/found.csv")" = 12 ] || fail "csv rows: $(cat "$work/found.csv")"
grep -q $'^192.168.5.103,00:11:22:33:55:11,80,Vexor-41HA/ethernet,5000,SN11,eth0\r$' "$work/found.csv" ||
  fail "csv row of c11: $(cat "$work/found.csv")"

echo admin >"$work/pw"
chmod 600 "$work/pw"
{
  printf '{"password_file": "pw", "cameras": [\n'
  for n in $(seq 12); do
    extra=
    [ "$n" = 7 ] && extra=', "HttpPort": 81'
    [ "$n" = 1 ] && extra=', "WPAKey": "newsecret123"'
    printf '  {"mac": "00:11:22:33:55:%02d", "set": {"NTPEN": 1, "Timezone": 13, "NTPName": "ntp.lab"%s}}%s\n' \
      "$n" "$extra" "$([ "$n" = 12 ] && echo || echo ,)"
  done
  printf ']}\n'
} >"$work/plan.json"

# Readable by others: refused before anything is sent.
chmod 644 "$work/plan.json"
set +e
out=$(cli apply "$work/plan.json" 2>&1); rc=$?
set -e
[ "$rc" = 2 ] || fail "world-readable plan gave exit $rc: $out"
grep -q "can be read by other users" <<<"$out" || fail "world-readable: $out"
chmod 600 "$work/plan.json"

# Dry run: what would change, per camera; nothing written, no address left.
set +e
cli apply "$work/plan.json" --dry-run >"$work/dry" 2>&1; rc=$?
set -e
[ "$rc" = 1 ] || fail "dry run with a refused entry gave exit $rc: $(cat "$work/dry")"
[ "$(grep -c ': would change$' "$work/dry")" = 11 ] || fail "dry run: $(cat "$work/dry")"
grep -q '^    Timezone 0 -> 13$' "$work/dry" || fail "dry run lines: $(cat "$work/dry")"
grep -q '^00:11:22:33:55:07 (192.168.0.103): refused HttpPort: The HTTP port must be 80 or a number from 1025 to 65535.$' \
  "$work/dry" || fail "refusal: $(cat "$work/dry")"
grep -q 'Act=2' "$work/requests.jsonl" && fail "the dry run wrote: $(grep 'Act=2' "$work/requests.jsonl" | head -1)"
[ "$(addresses_left)" = 0 ] || fail "dry run left an address"
grep -q $'\r' "$work/dry" && fail "progress written to a pipe"
# On a terminal one line shows the cameras done and the step of each running camera.
script -qec "$lab exec $P pc env ORVANTIS_SUBNET_WAIT_MS=200 $bin/orvantis-cli apply $work/plan.json --dry-run" \
  /dev/null </dev/null >"$work/dry-tty" || true
grep -q '/12 done, [0-9]* s | [0-9.]* \(logging in\|reading\|reaching its subnet\|checking\)' "$work/dry-tty" ||
  fail "no progress on a terminal: $(tr '\r' '\n' <"$work/dry-tty" | head -5)"
# The same as JSON, one object per camera; the new key only as changed.
cli apply "$work/plan.json" --dry-run --json >"$work/dry.json" 2>/dev/null || true
[ "$(grep -c '^{"camera":"entry [0-9]*",' "$work/dry.json")" = 12 ] || fail "dry run json: $(cat "$work/dry.json")"
# Only the plan's fields change: the wireless page's rule keeps every other wireless setting.
python3 - "$work/dry.json" <<'PY' || fail "dry run json: $(cat "$work/dry.json")"
import json, sys
for line in open(sys.argv[1]):
    o = json.loads(line)
    fields = [c["field"] for c in o.get("changes", [])]
    if o["camera"] == "entry 1":
        assert o["changes"][0] == {"field": "WPAKey", "changed": True}, o
        assert fields == ["WPAKey", "NTPName", "Timezone"], o
    elif o["camera"] != "entry 7":
        assert o["outcome"] == "would change" and fields == ["NTPName", "Timezone"], o
PY
grep -q 'newsecret123\|labpassword' "$work/dry" "$work/dry.json" && fail "a key was printed"
# A camera that is not there is named unreachable.
printf '[{"mac": "00:11:22:33:55:99", "set": {"Timezone": 1}}]' >"$work/absent.json"
chmod 600 "$work/absent.json"
set +e
out=$(cli apply "$work/absent.json" --password-file "$work/pw" 2>&1); rc=$?
set -e
[ "$rc" = 1 ] || fail "absent camera gave exit $rc: $out"
grep -q '^00:11:22:33:55:99: unreachable: it did not answer discovery$' <<<"$out" || fail "absent: $out"

# The apply, four at a time: 11 done, camera 7 refused with the page's message, exit 1.
set +e
cli apply "$work/plan.json" --jobs 4 >"$work/apply" 2>&1; rc=$?
set -e
[ "$rc" = 1 ] || fail "apply gave exit $rc: $(cat "$work/apply")"
[ "$(grep -c ': done$' "$work/apply")" = 11 ] || fail "apply: $(cat "$work/apply")"
grep -q '^12 cameras: 11 done, 1 refused$' "$work/apply" || fail "summary: $(cat "$work/apply")"
grep -q admin "$work/apply" && fail "a secret was printed"
[ "$(addresses_left)" = 0 ] || fail "apply left an address"

# Each camera but 7 got exactly one clock write, with the plan's values; 7 got no write at all.
for n in $(seq 12); do
  writes=$(grep -c "\"camera\":\"c$n\",.*Act=2" "$work/requests.jsonl" || true)
  if [ "$n" = 7 ]; then
    [ "$writes" = 0 ] || fail "the refused camera got $writes writes"
    continue
  fi
  time_writes=$(grep -c "\"camera\":\"c$n\",.*\"request\":\"GET /cgi-bin/config_time.cgi?Act=2&NTPEN=1&NTPName=ntp.lab&NTPPoll=24&Timezone=13&Date=[0-9/]*&Time=[0-9:]* HTTP/1.0\\\\nUser-Agent: korimo-1.0.1\\\\nAuthorization: Basic cm9vdDphZG1pbg==\\\\n\\\\n\\\\n\"}" \
    "$work/requests.jsonl" || true)
  [ "$time_writes" = 1 ] || fail "c$n: $time_writes clock writes: $(grep "\"c$n\".*config_time" "$work/requests.jsonl")"
done

# The audit: only the fields that differ, camera 7 apart in the two the plan set.
cli audit --until-quiet 1000 --password-file "$work/pw" --json >"$work/audit.json"
grep -q 'newsecret123\|labpassword' "$work/audit.json" && fail "audit printed a key"
python3 - "$work/audit.json" <<'PY' || fail "audit: $(cat "$work/audit.json")"
import json, sys
a = json.load(open(sys.argv[1]))
assert len(a["cameras"]) == 12 and all(c["ok"] for c in a["cameras"]), a["cameras"]
d = a["differences"]
assert d["IPAddr"]["majority"] is None, "no majority among distinct values"
w = d["WPAKey"]
assert w["majority"].startswith("(secret ") and w["values"]["10.0.0.21"] != w["majority"], w
for f in ("Timezone", "NTPName"):
    assert d[f]["majority"] == {"Timezone": "13", "NTPName": "ntp.lab"}[f], d[f]
    odd = [ip for ip, v in d[f]["values"].items() if v != d[f]["majority"]]
    assert odd == ["192.168.0.103"], odd
# Besides those, only what is each camera's own: its address and its subnet's gateway and DNS.
assert set(d) - {"Timezone", "NTPName", "WPAKey"} <= {"IPAddr", "Gateway", "DNS1", "WIPAddr", "WGateway",
                                           "WDNS1"}, sorted(d)
PY
set +e
cli audit --plan "$work/plan.json" --until-quiet 1000 >"$work/audit-plan"; rc=$?
set -e
[ "$rc" = 1 ] || fail "audit --plan gave exit $rc: $(cat "$work/audit-plan")"
[ "$(grep -c ': as the plan says$' "$work/audit-plan")" = 11 ] || fail "audit --plan: $(cat "$work/audit-plan")"
grep -q '^    Timezone is 0, the plan says 13$' "$work/audit-plan" || fail "audit --plan: $(cat "$work/audit-plan")"
cli audit --until-quiet 1000 --password-file "$work/pw" >"$work/audit-table"
grep -q '^Timezone  *\*13 ' "$work/audit-table" || fail "audit table: $(cat "$work/audit-table")"

# Ctrl-C after the first cameras: the ones writing finish, the rest are not started, no address is
# left, and the report names where each camera ended.
# The subnets take turns, so after two cameras a temporary address is in place.
sed -i 's/"Timezone": 13/"Timezone": 14/' "$work/plan.json"
"$lab" exec "$P" pc env ORVANTIS_SUBNET_WAIT_MS=200 ORVANTIS_REFIND_WAIT_MS=5000 \
  "$bin/orvantis-cli" apply "$work/plan.json" --jobs 1 >"$work/stopped" 2>&1 &
cpid=$!
for _ in $(seq 200); do [ "$(grep -c ': done$' "$work/stopped")" -ge 2 ] && break; sleep 0.05; done
kill -INT "$cpid"
set +e
wait "$cpid"; rc=$?
set -e
[ "$rc" = 130 ] || fail "Ctrl-C gave exit $rc: $(cat "$work/stopped")"
grep -q 'stopped by Ctrl-C, every temporary address removed$' "$work/stopped" || fail "no summary: $(cat "$work/stopped")"
[ "$(grep -c '^00:11:22:33:55:[0-9]* (.*): ' "$work/stopped")" = 12 ] || fail "report: $(cat "$work/stopped")"
grep -q ': not started: stopped by Ctrl-C$' "$work/stopped" || fail "report: $(cat "$work/stopped")"
[ "$(addresses_left)" = 0 ] || fail "Ctrl-C left an address"
echo "batch_cli: passed"
