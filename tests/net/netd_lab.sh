#!/usr/bin/env bash
# orvantis-netd for real, inside a namespace lab, the way an installed system uses it: a copy of
# the helper owned by root and a scratch group, mode 0750, with its two capabilities permitted
# (+p), and the root-owned lock beside it; the programs beside it with none. An unprivileged member
# of the group tries every LAN attack through it and each is refused with its reason and changes
# nothing (the PC's addresses and routes, the other host's ARP cache); the walks still reach a
# camera in another subnet; a user outside the group is told which group is missing; and the
# addresses go when the program is killed.
set -uo pipefail
bin=${1:?usage: netd_lab.sh BIN_DIR}
# shellcheck source=lab_lib.bash
. "$(dirname "$0")/lab_lib.bash"
lab_init "netd lab"
lab_need jq setpriv setcap getcap ip readelf mkfifo
[ -x "$bin/orvantis-netd" ] || lab_skip "no $bin/orvantis-netd"

lab_new ovn
inst=$(mktemp -d)  # the "installed" program folder
pids=()
cleanup() {
  rm -rf "/etc/netns/${P}pc"
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  lab_remove
  rm -rf "$inst"
}
lab_traps cleanup

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then echo "ok: $1"; else fail "$1: expected '$2', got '$3'"; fi
}
pc_addrs() { ip -n "${P}pc" -4 -o addr show dev eth0 | awk '{print $4}' | sort | tr '\n' ' '; }
pc_routes() { ip -n "${P}pc" -4 route show table all | grep -v '^local\|^broadcast' | sort | tr '\n' ';'; }
# What the other host (the camera's namespace, 10.0.0.20) has cached for its gateway.
gw_mac_at_other() { ip -n "${P}cam" neigh show 10.0.0.1 dev eth0 | awk '{print $3}'; }
helper_count() { ip -n "${P}pc" -4 -o addr show dev eth0 | grep -c '/32 ' || true; }
wait_addrs() {  # wait_addrs EXPECTED TENTHS: true once the PC holds exactly EXPECTED
  for _ in $(seq 1 "$2"); do [ "$(pc_addrs)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}

# A group id nobody uses stands for the orvantis group; uid 65534 is the user.
gid=$((61000 + $$ % 3000))
while getent group "$gid" >/dev/null; do gid=$((gid + 1)); done
chmod 755 "$inst"
cp "$bin/orvantis-cli" "$bin/orvantis-netd" "$inst/"
[ -d "$bin/Language" ] && cp -r "$bin/Language" "$inst/"
chmod -R a+rX "$inst"
chown "root:$gid" "$inst/orvantis-netd"
chmod 0750 "$inst/orvantis-netd"
install -o root -g root -m 0644 /dev/null "$inst/orvantis-netd.lock"
setcap cap_net_admin,cap_net_raw+p "$inst/orvantis-netd" || lab_skip "cannot set file capabilities here"
check "the program carries no capabilities" "" "$(getcap "$inst/orvantis-cli")"
check "the helper's capabilities: permitted only" "cap_net_admin,cap_net_raw=p" \
  "$(getcap "$inst/orvantis-netd" | awk '{print $2}')"
check "the helper's mode" "750 root:$gid" "$(stat -c '%a %U:%g' "$inst/orvantis-netd")"
check "no routing library in the helper" "" \
  "$(readelf -d "$inst/orvantis-netd" | grep -o 'libnl[^]]*' || true)"

member=(setpriv --reuid=65534 --regid=65534 --groups="$gid")
outsider=(setpriv --reuid=65534 --regid=65534 --clear-groups)
in_pc() { ip netns exec "${P}pc" "$@"; }

"$lab" up "$P" >/dev/null || exit 1
base="10.0.0.5/24 "

# The PC's resolver names a public server, as many do.
mkdir -p "/etc/netns/${P}pc"
echo "nameserver 8.8.8.8" >"/etc/netns/${P}pc/resolv.conf"
# The other host knows its gateway's MAC address.
ip netns exec "${P}cam" ping -c1 -W1 10.0.0.1 >/dev/null || fail "the other host cannot reach its gateway"
gw_mac=$(gw_mac_at_other)
[ -n "$gw_mac" ] || fail "the other host has no ARP entry for its gateway"
routes_before=$(pc_routes)

# Helpers as members of the group, each on a pair of FIFOs: fd_in[NAME] writes, fd_out[NAME] reads.
declare -A fd_in fd_out helper_pid
start_helper() {  # start_helper NAME
  local fin fout
  mkfifo "$work/$1.in" "$work/$1.out"
  # Without the other helpers' ends: each must see its own input close.
  (
    for fd in "${fd_in[@]}" "${fd_out[@]}"; do eval "exec $fd>&-"; done
    exec ip netns exec "${P}pc" env QT_PLUGIN_PATH=/tmp/x ORVANTIS_ADAPTER=eth9 "${member[@]}" \
      "$inst/orvantis-netd" <"$work/$1.in" >"$work/$1.out"
  ) &
  helper_pid[$1]=$!
  pids+=("$!")
  exec {fin}>"$work/$1.in" {fout}<"$work/$1.out"
  fd_in[$1]=$fin
  fd_out[$1]=$fout
}
stop_helper() {  # stop_helper NAME: its input closes, it cleans up and ends
  local fin=${fd_in[$1]} fout=${fd_out[$1]}
  exec {fin}>&-
  wait "${helper_pid[$1]}" 2>/dev/null
  exec {fout}<&-
}
ask_on() {  # ask_on NAME LINE: one request, its answer
  local ans=''
  echo "$2" >&"${fd_in[$1]}"
  IFS= read -r -t 10 ans <&"${fd_out[$1]}"
  echo "$ans"
}
ask() { ask_on NETD "$1"; }

echo "== every LAN attack through the helper is refused, as a member of the group"
start_helper NETD
check "the gateway's address" "err 10.0.0.1/24 overlaps 10.0.0.5/24 on eth0" \
  "$(ask "add eth0 10.0.0.1/24 600 10.0.0.20")"
check "a wide subnet around the PC's own" "err 10.7.7.7/8 overlaps 10.0.0.5/24 on eth0" \
  "$(ask "add eth0 10.7.7.7/8 600 10.0.0.20")"
check "a public subnet with nothing in it" "err nothing answers at 1.2.3.5" \
  "$(ask "add eth0 1.2.3.4/8 600 1.2.3.5")"
check "a public DNS server made local" "err 8.8.8.8/8 holds the DNS server 8.8.8.8" \
  "$(ask "add eth0 8.8.8.8/8 600 8.8.8.9")"
ip -n "${P}pc" route add 0.0.0.0/1 via 10.0.0.1
ip -n "${P}pc" route add 128.0.0.0/1 via 10.0.0.1
check "beside a VPN's two halves" "err 192.168.0.250/24 overlaps the route to 128.0.0.0/1" \
  "$(ask "add eth0 192.168.0.250/24 60 192.168.0.98")"
ip -n "${P}pc" route del 0.0.0.0/1 via 10.0.0.1
ip -n "${P}pc" route del 128.0.0.0/1 via 10.0.0.1
check "the old form without a camera" "err add takes 4 fields" "$(ask "add eth0 192.168.0.250/24 60")"
check "ARP in the gateway's name" "err eth0 does not hold 10.0.0.1" "$(ask "arp eth0 10.0.0.20 10.0.0.1")"
check "gratuitous ARP for the gateway" "err the target must differ from the source" \
  "$(ask "arp eth0 10.0.0.1 10.0.0.1")"
check "ARP - in the gateway's name" "err arp - needs a source address the PC holds" \
  "$(ask "arp - 10.0.0.20 10.0.0.1")"
check "ARP out of loopback" "err adapter lo is not an Ethernet or wireless adapter" \
  "$(ask "arp lo 10.0.0.20 0.0.0.0")"
check "missing adapter" "err no adapter nosuch0" "$(ask "add nosuch0 192.168.7.10/24 60 192.168.7.98")"
check "removal of an address it did not add" "err not an address this helper added" \
  "$(ask "del eth0 10.0.0.5")"
check "over-long line" "err line too long" "$(ask "add eth0 192.168.7.10/24 60$(printf '%0300d' 0)")"
check "malformed line" "err unknown request" "$(ask "ip addr flush dev eth0")"
check "pc addresses unchanged" "$base" "$(pc_addrs)"
check "pc routes unchanged" "$routes_before" "$(pc_routes)"
sleep 0.3
check "the other host's ARP entry for its gateway" "$gw_mac" "$(gw_mac_at_other)"

echo "== what the helper does: beside a camera that answers, in its own name"
check "ARP from the PC's own address" "ok answered" "$(ask "arp eth0 10.0.0.20 10.0.0.5")"
check "ARP probe" "ok no-answer" "$(ask "arp eth0 10.0.0.77 0.0.0.0")"
check "an address beside the camera" ok "$(ask "add eth0 192.168.0.2/24 30 192.168.0.98")"
check "added as a /32" "$base""192.168.0.2/32 " "$(pc_addrs)"
check "with a route to its subnet from it" 1 \
  "$(ip -n "${P}pc" route show 192.168.0.0/24 | grep -c 'dev eth0 proto 167 scope link src 192.168.0.2')"
check "the camera reached from it" 0 "$(in_pc ping -c1 -W2 192.168.0.98 >/dev/null; echo $?)"
check "ARP from its own address" "ok answered" "$(ask "arp eth0 192.168.0.98 192.168.0.2")"
status=
for p in $(ip netns pids "${P}pc"); do
  [ "$(cat "/proc/$p/comm" 2>/dev/null)" = orvantis-netd ] && status=/proc/$p/status
done
check "no capability effective between requests" 0000000000000000 "$(awk '/^CapEff/ {print $2}' "$status")"
check "only the two network capabilities permitted" 0000000000003000 "$(awk '/^CapPrm/ {print $2}' "$status")"
echo "arp eth0 10.0.0.78 0.0.0.0" >&"${fd_in[NETD]}"
sleep 0.5
check "no capability effective while an ARP reply is awaited" 0000000000000000 \
  "$(awk '/^CapEff/ {print $2}' "$status")"
IFS= read -r -t 10 _ <&"${fd_out[NETD]}"

echo "== limits for the whole system, two helpers together"
start_helper NETD2
ok=0
for i in $(seq 3 10); do [ "$(ask "add eth0 192.168.0.$i/24 30 192.168.0.98")" = ok ] && ok=$((ok + 1)); done
for i in $(seq 11 18); do [ "$(ask_on NETD2 "add eth0 192.168.0.$i/24 30 192.168.0.98")" = ok ] && ok=$((ok + 1)); done
check "fifteen more added by the two" 15 "$ok"
check "the limit counts both helpers" "err at most 16 helper addresses on the PC at once" \
  "$(ask_on NETD2 "add eth0 192.168.0.19/24 30 192.168.0.98")"
check "helper addresses on the PC" 16 "$(helper_count)"
check "every helper address with a lifetime" 0 \
  "$(ip -n "${P}pc" -4 -o addr show dev eth0 | grep '/32 ' | grep -c 'valid_lft forever')"
start=$(date +%s%N)
for _ in $(seq 1 20); do
  ask "arp eth0 10.0.0.20 0.0.0.0" >/dev/null &
  ask_on NETD2 "arp eth0 10.0.0.20 0.0.0.0" >/dev/null
  wait $!
done
ms=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$ms" -ge 780 ] || fail "40 ARP requests from two helpers took $ms ms: more than 50 a second"
echo "ok: 40 ARP requests from two helpers took $ms ms"

echo "== only its own addresses, only while they are its own"
ip -n "${P}pc" addr del 192.168.0.2/32 dev eth0
check "refresh after root removed it" "err gone" "$(ask "refresh eth0 192.168.0.2")"
check "still removed" "" "$(pc_addrs | grep -o '192.168.0.2/' || true)"
ip -n "${P}pc" addr del 192.168.0.3/32 dev eth0
ip -n "${P}pc" addr add 192.168.0.3/24 dev eth0
check "refresh after root added it again as its own" "err gone" "$(ask "refresh eth0 192.168.0.3")"
ip -n "${P}pc" addr add 192.168.0.77/24 dev eth0
check "remove its own beside root's" ok "$(ask "del eth0 192.168.0.4")"
check "root's addresses in that subnet stay" "192.168.0.3/24 192.168.0.77/24" \
  "$(pc_addrs | grep -o '192.168.0.[0-9]*/24' | tr '\n' ' ' | sed 's/ $//')"
check "another helper's address is not its own" "err not an address this helper added" \
  "$(ask "del eth0 192.168.0.11")"
check "refresh of its own" ok "$(ask "refresh eth0 192.168.0.5")"
stop_helper NETD
stop_helper NETD2
if wait_addrs "$base""192.168.0.3/24 192.168.0.77/24 " 30; then
  echo "ok: input closed, every helper address removed and root's kept"
else
  fail "after the input closed: $(pc_addrs)"
fi
for a in 192.168.0.77/24 192.168.0.3/24; do ip -n "${P}pc" addr del "$a" dev eth0; done
check "pc routes as before" "$routes_before" "$(pc_routes)"

echo "== nothing of the caller's before main"
mkdir -p "$work/nl"
mkfifo "$work/nl/classid" "$work/nl/pktloc"
chmod -R a+rx "$work"
t0=$(date +%s%N)
out=$(echo "arp eth0 10.0.0.5 0.0.0.0" | in_pc env NLSYSCONFDIR="$work/nl" NLDBG=4 NLCB=debug \
  "${member[@]}" timeout 5 "$inst/orvantis-netd" 2>"$work/nl.err")
ms=$(( ($(date +%s%N) - t0) / 1000000 ))
check "answers with a FIFO in the routing library's way" "ok answered" "$out"
check "prints nothing besides" "" "$(cat "$work/nl.err")"
[ "$ms" -lt 2000 ] || fail "the answer took $ms ms"

echo "== a helper without its capabilities says which one it lacks"
install -m 0755 "$bin/orvantis-netd" "$inst/plain-netd"
out=$(printf 'add eth0 192.168.0.10/24 60 192.168.0.98\narp eth0 10.0.0.20 0.0.0.0\n' | in_pc "${member[@]}" "$inst/plain-netd")
grep -q '^err orvantis-netd does not hold CAP_NET_ADMIN' <<<"$out" || fail "no CAP_NET_ADMIN reason: $out"
grep -q '^err orvantis-netd does not hold CAP_NET_RAW' <<<"$out" || fail "no CAP_NET_RAW reason: $out"
check "nothing added without capabilities" "$base" "$(pc_addrs)"

echo "== orvantis-cli read of a camera in another subnet, as a member of the group"
cat >"$work/cam.json" <<'JSON'
{"cameras": [
  {"name": "far", "bindAddress": "192.168.0.98", "httpPort": 80, "cameraId": "SN98",
   "description": "Vexor-41HA", "password": "admin"}]}
JSON
"$lab" exec "$P" cam "$bin/orvantis-camsim" "$work/cam.json" >"$work/ready" 2>&1 &
pids+=($!)
lab_ready "$work/ready" || fail "emulator did not start: $(cat "$work/ready")"
out=$(ORVANTIS_ADAPTER=eth0 ORVANTIS_SUBNET_WAIT_MS=300 in_pc "${member[@]}" "$inst/orvantis-cli" \
  read 192.168.0.98 --desc "Vexor-41HA/wireless" --password admin --json 2>"$work/read.err")
check "read through the helper" 0 "$(jq -r .result <<<"$out" 2>/dev/null)"
[ "$(jq -r .result <<<"$out" 2>/dev/null)" = 0 ] || echo "stderr: $(cat "$work/read.err")"
if wait_addrs "$base" 30; then echo "ok: nothing left after the read"; else fail "left behind: $(pc_addrs)"; fi

echo "== the window's subnet step through the helper, as a member of the group"
if [ -x "$bin/orvantis-walk" ] && grep -q ORVANTIS_TEST_SCRIPT "$bin/orvantis-walk"; then
  cp "$bin/orvantis-walk" "$inst/orvantis"
  chmod 0755 "$inst/orvantis"
  # The program folder is not the user's to write: the language choice lives in the user's own.
  mkdir -p "$inst/home/.config/orvantis"
  printf '[DefaultLang]\r\nLangFile=ENG.ini\r\n' >"$inst/home/.config/orvantis/defaultlang.ini"
  {
    walk_pick_steps LAN 1 192.168.0.98
    cat <<EOF2
set-text Password: admin
click OK
expect-page CSubOption
EOF2
  } >"$inst/script.txt"
  chmod 0644 "$inst/script.txt"
  chown -R 65534:65534 "$inst/home"
  chmod 700 "$inst/home"
  timeout 120 ip netns exec "${P}pc" env QT_QPA_PLATFORM=offscreen HOME="$inst/home" \
    XDG_RUNTIME_DIR="$inst/home" ORVANTIS_TIMER_SCALE=10 \
    ORVANTIS_ADAPTER=eth0 ORVANTIS_TEST_SCRIPT="$inst/script.txt" ORVANTIS_TEST_STEP_MS=40000 \
    "${member[@]}" "$inst/orvantis" --probe-host 198.51.100.10 >"$work/gui.out" 2>&1
  rc=$?
  check "the window's walk through the helper" 0 "$rc"
  check "the helper still 0750" 750 "$(stat -c %a "$inst/orvantis-netd")"
  grep -q "all 16 steps passed" "$work/gui.out" || fail "the walk did not finish: $(tail -5 "$work/gui.out")"
  if wait_addrs "$base" 30; then echo "ok: nothing left after the window closed"; else fail "left behind: $(pc_addrs)"; fi
elif [ "${CI:-}" = true ]; then
  fail "$bin/orvantis-walk is needed (CI=true)"
else
  echo "no desktop program with a test driver in $bin: window step not tried"
fi

echo "== a user outside the group"
out=$(ORVANTIS_ADAPTER=eth0 ORVANTIS_SUBNET_WAIT_MS=300 in_pc "${outsider[@]}" "$inst/orvantis-cli" \
  ensure-subnet 192.168.0.98 --json 2>"$work/outsider.err")
check "outsider exit" 1 "$?"
grep -q 'group "orvantis"' "$work/outsider.err" || fail "the group is not named: $(cat "$work/outsider.err")"
check "nothing added for the outsider" "$base" "$(pc_addrs)"

echo "== kill -9 of the program: its addresses go at once"
# ip netns exec and setpriv exec the program: $! is the program's own pid.
ORVANTIS_ADAPTER=eth0 ORVANTIS_SUBNET_WAIT_MS=300 ip netns exec "${P}pc" "${member[@]}" \
  "$inst/orvantis-cli" ensure-subnet 192.168.0.98 --hold 60 --json >"$work/hold.json" 2>"$work/hold.err" &
cli_pid=$!
pids+=("$cli_pid")
wait_addrs "$base""192.168.0.252/32 " 200 || fail "not added: $(pc_addrs) $(cat "$work/hold.err")"
kill -KILL "$cli_pid"
wait "$cli_pid" 2>/dev/null
if wait_addrs "$base" 10; then echo "ok: gone within a second"; else fail "after kill -9: $(pc_addrs)"; fi

echo "== kill -9 of the program and the helper: the lifetime runs out"
ORVANTIS_ADDR_LIFETIME=3 ORVANTIS_ADAPTER=eth0 ORVANTIS_SUBNET_WAIT_MS=300 ip netns exec "${P}pc" \
  "${member[@]}" "$inst/orvantis-cli" ensure-subnet 192.168.0.98 --hold 60 --json >"$work/hold2.json" 2>&1 &
cli_pid=$!
pids+=("$cli_pid")
wait_addrs "$base""192.168.0.252/32 " 200 || fail "not added: $(pc_addrs)"
helper=$(pgrep -P "$cli_pid" -x orvantis-netd)
[ -n "$helper" ] || fail "no helper under the program"
# The program starts it with no environment at all, whatever its own holds.
check "the helper's environment" 0 "$(wc -c <"/proc/$helper/environ")"
check "the helper's effective capabilities" 0000000000000000 "$(awk '/^CapEff/ {print $2}' "/proc/$helper/status")"
kill -KILL "$cli_pid" ${helper:+"$helper"}
wait "$cli_pid" 2>/dev/null
if wait_addrs "$base" 80; then echo "ok: gone after the lifetime"; else fail "after kill -9 of both: $(pc_addrs)"; fi

[ "$failures" = 0 ] && echo "netd lab: all passed" || echo "netd lab: $failures failed"
[ "$failures" = 0 ]
