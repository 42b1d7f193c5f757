#!/usr/bin/env bash
# Temporary addresses, free-address searches and the ARP test for real, inside a namespace lab:
# orvantis-cli runs in the lab's PC, other lab hosts play devices that hold addresses.
set -uo pipefail
bin=${1:?usage: hostnet_lab.sh BIN_DIR}
# shellcheck source=lab_lib.bash
. "$(dirname "$0")/lab_lib.bash"
lab_init "hostnet lab"
lab_need jq setpriv ip

lab_new ovh
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  lab_remove
}
lab_traps cleanup

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then echo "ok: $1"; else fail "$1: expected '$2', got '$3'"; fi
}
cli() { ORVANTIS_ADAPTER=eth0 "$lab" exec "$P" pc "$bin/orvantis-cli" "$@"; }
# In the background with the program's own pid in $! (ip netns exec execs it), for signals.
cli_bg() { ORVANTIS_ADAPTER=eth0 ip netns exec "${P}pc" "$bin/orvantis-cli" "$@" & }
pc_addrs() { ip -n "${P}pc" -4 -o addr show dev eth0 | awk '{print $4}' | sort | tr '\n' ' '; }
# The kernel's remaining valid lifetime of ADDR on the PC's eth0, in seconds ("forever" or empty).
valid_lft() {
  ip -n "${P}pc" -4 -o addr show dev eth0 | awk -v a="$1" '$4 == a {
    for (i = 1; i < NF; i++) if ($i == "valid_lft") { v = $(i + 1); sub(/sec$/, "", v); print v } }'
}
# Waits (bounded) until FILE holds a line of JSON.
wait_json() {
  for _ in $(seq 1 300); do
    [ -s "$1" ] && grep -q '^{' "$1" && return 0
    sleep 0.1
  done
  return 1
}

"$lab" up "$P" || exit 1

echo "== adapter facts"
info=$(cli netinfo --json | tail -n1)
check "pcAddrText" 10.0.0.5 "$(jq -r .pcAddrText <<<"$info")"
check "pcMaskText" 255.255.255.0 "$(jq -r .pcMaskText <<<"$info")"
check "pcGatewayText" 10.0.0.1 "$(jq -r .pcGatewayText <<<"$info")"
check "pcIfIndex is eth0" "$(ip -n "${P}pc" -o link show eth0 | cut -d: -f1)" "$(jq -r .pcIfIndex <<<"$info")"
check "pcHasLan (veth as the fallback)" 1 "$(jq -r .pcHasLan <<<"$info")"
check "pcDhcp (fixed address)" 0 "$(jq -r .pcDhcp <<<"$info")"

echo "== same subnet: nothing added"
"$lab" host "$P" pc2 0 192.168.0.10/24
out=$(ORVANTIS_ADAPTER=eth0 "$lab" exec "$P" pc2 "$bin/orvantis-cli" ensure-subnet 192.168.0.98 --json)
check "exit status" 0 "$?"
check "outcome" already-reachable "$(jq -r .outcome <<<"$out")"
check "added" null "$(jq -r .added <<<"$out")"
check "pc2 addresses" "192.168.0.10/24 " "$(ip -n "${P}pc2" -4 -o addr show dev eth0 | awk '{print $4}' | tr '\n' ' ')"

echo "== other subnet: .253 first, .252 stays, SIGTERM removes it"
cli_bg ensure-subnet 192.168.0.98 --hold 60 --json >"$work/ensure.json" 2>"$work/ensure.err"
pid=$!
pids+=("$pid")
# The first free address is held alone during the 5 s pause after its probe: watch for it rather
# than sample at a fixed time, which a slow start would miss.
seen=
for _ in $(seq 1 100); do
  addrs=$(pc_addrs)
  [ "$addrs" = "10.0.0.5/24 192.168.0.253/24 " ] && { seen=$addrs; break; }
  [ -s "$work/ensure.json" ] && break
  sleep 0.1
done
check "first address held during the pause" "10.0.0.5/24 192.168.0.253/24 " "$seen"
wait_json "$work/ensure.json" || fail "no ensure-subnet output"
out=$(cat "$work/ensure.json")
check "first" 192.168.0.253 "$(jq -r .first <<<"$out")"
check "added" 192.168.0.252 "$(jq -r .added <<<"$out")"
check "mask" 255.255.255.0 "$(jq -r .mask <<<"$out")"
check "PC addresses while held" "10.0.0.5/24 192.168.0.252/24 " "$(pc_addrs)"
# The default lifetime is two minutes, refreshed while held.
lft=$(valid_lft 192.168.0.252/24)
[[ "$lft" =~ ^[0-9]+$ ]] && [ "$lft" -le 120 ] && [ "$lft" -gt 0 ] ||
  fail "temporary address lifetime: expected 1..120 s, the kernel reports '$lft'"
# The PC now reaches the camera through its temporary address.
"$lab" exec "$P" pc ping -c1 -W2 192.168.0.98 >/dev/null || fail "camera not reachable"
kill -TERM "$pid"
wait "$pid" 2>/dev/null
check "after SIGTERM" "10.0.0.5/24 " "$(pc_addrs)"

echo "== .253 and .252 taken by other hosts"
"$lab" host "$P" h253 0 192.168.0.253/24
"$lab" host "$P" h252 0 192.168.0.252/24
out=$(ORVANTIS_SUBNET_WAIT_MS=300 cli ensure-subnet 192.168.0.98 --json)
check "exit status" 0 "$?"
check "first free address" 192.168.0.251 "$(jq -r .first <<<"$out")"
check "kept address (.251 is the PC's own by then)" 192.168.0.250 "$(jq -r .added <<<"$out")"
check "removed at exit" "10.0.0.5/24 " "$(pc_addrs)"

echo "== class B camera"
out=$(ORVANTIS_SUBNET_WAIT_MS=300 cli ensure-subnet 172.16.5.9 --json)
check "first" 172.16.5.253 "$(jq -r .first <<<"$out")"
check "mask" 255.255.0.0 "$(jq -r .mask <<<"$out")"

echo "== free addresses and the ARP test"
out=$(cli free-addresses --json)
check "free-addresses" '["10.0.0.253","10.0.0.252"]' "$(jq -c .addresses <<<"$out")"
"$lab" host "$P" h10 0 10.0.0.253/24
out=$(cli free-addresses --count 3 --json)
check "free-addresses around a taken .253" '["10.0.0.252","10.0.0.251","10.0.0.250"]' "$(jq -c .addresses <<<"$out")"
check "arp-test camera" true "$(cli arp-test 10.0.0.20 --json | jq -r .inUse)"
check "arp-test own address" true "$(cli arp-test 10.0.0.5 --json | jq -r .inUse)"
out=$(cli arp-test 10.0.0.99 --json)
check "arp-test free address" false "$(jq -r .inUse <<<"$out")"
# A free address costs one ARP wait of a second: not less (it did wait), not much more (no retries).
ms=$(jq -r .waitMs <<<"$out")
[ "$ms" -ge 950 ] && [ "$ms" -lt 2000 ] || fail "the ARP wait for a free address took $ms ms"

echo "== SIGKILL: the lifetime runs out"
ORVANTIS_ADDR_LIFETIME=3 ORVANTIS_SUBNET_WAIT_MS=300 cli_bg ensure-subnet 10.20.30.40 --hold 60 --json \
  >"$work/kill.json" 2>/dev/null
pid=$!
pids+=("$pid")
wait_json "$work/kill.json" || fail "no ensure-subnet output"
check "added" 10.20.30.252 "$(jq -r .added <"$work/kill.json")"
# Over twice the lifetime, the address stays and the kernel never reports more than 3 s left.
kept=1
for _ in $(seq 1 35); do
  lft=$(valid_lft 10.20.30.252/24)
  if ! [[ "$lft" =~ ^[0-9]+$ ]] || [ "$lft" -gt 3 ]; then kept=0; echo "lifetime reported: '$lft'"; break; fi
  sleep 0.2
done
check "refreshed past its lifetime, 3 s at most" 1 "$kept"
kill -KILL "$pid"
wait "$pid" 2>/dev/null
# Nothing removes it now but the kernel, when what it reported runs out (its expiry check may lag).
gone=0
for _ in $(seq 1 100); do
  [ "$(pc_addrs)" = "10.0.0.5/24 " ] && { gone=1; break; }
  sleep 0.1
done
check "gone after the lifetime" 1 "$gone"

echo "== without privileges"
# A copy of the program that an unprivileged user may run wherever the build folder lives.
nobin=$(mktemp -d)
chmod 755 "$nobin"
cp "$bin/orvantis-cli" "$nobin/"
[ -d "$bin/Language" ] && cp -r "$bin/Language" "$nobin/"
chmod -R a+rX "$nobin"
trap 'rm -rf "$nobin"; cleanup' EXIT
if setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$nobin/orvantis-cli"; then
  nobody() { ORVANTIS_ADAPTER=eth0 "$lab" exec "$P" pc setpriv --reuid=65534 --regid=65534 --clear-groups \
    --inh-caps=-all --bounding-set=-all "$nobin/orvantis-cli" "$@"; }
  out=$(nobody ensure-subnet 192.168.0.98 --json 2>"$work/nopriv.err")
  check "unprivileged ensure-subnet exit" 1 "$?"
  check "unprivileged message" error "$(jq -r .message <<<"$out")"
  # Failed ARP requests never pass for free addresses: nothing is even tried.
  check "unprivileged outcome" no-free-address "$(jq -r .outcome <<<"$out")"
  # Diagnostics went to stderr: stdout is exactly one JSON document.
  check "one JSON document" 1 "$(jq -c . <<<"$out" | wc -l)"
  [ "$(jq -r .failedArpRequests <<<"$out")" -gt 0 ] || fail "failed ARP requests not counted: $out"
  grep -q CAP_NET_RAW "$work/nopriv.err" || fail "no reason given: $(cat "$work/nopriv.err")"
  nobody arp-test 10.0.0.20 --json >/dev/null 2>"$work/noarp.err"
  check "unprivileged arp-test exit" 1 "$?"
  grep -q CAP_NET_RAW "$work/noarp.err" || fail "no reason given: $(cat "$work/noarp.err")"
  check "nothing added" "10.0.0.5/24 " "$(pc_addrs)"
else
  fail "an unprivileged user cannot run $nobin/orvantis-cli"
fi

[ "$failures" = 0 ] && echo "hostnet lab: all passed" || echo "hostnet lab: $failures failed"
[ "$failures" = 0 ]
