#!/usr/bin/env bash
# A PC with two adapters, as on an installer's laptop: one on the office network, the other
# cabled to a camera in another subnet. The window's walk and orvantis-cli both reach the camera
# through a temporary address on the camera's adapter (learnt from where its reply came in), and
# nothing is left once they end. Run twice: the camera behind the lower-numbered adapter, then
# behind the higher-numbered one.
set -euo pipefail
bin=${1:?bin folder}
# shellcheck source=lab_lib.bash
. "$(dirname "$0")/lab_lib.bash"
lab_init two_adapters
lab_need
lab_new o2a
pids=()
watcher=
cleanup() {
  for p in "${pids[@]}" $watcher; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  for ns in $(ip netns list | awk '{print $1}'); do
    case "$ns" in "$P"*) ip netns del "$ns" 2>/dev/null || true ;; esac
  done
  rm -rf "$work"
}
lab_traps cleanup
fail() { echo "two_adapters: FAIL: $*"; cat "$work/out" 2>/dev/null || true; exit 1; }

pc="${P}pc"
in_pc() { ip netns exec "$pc" "$@"; }
cli() { in_pc env ORVANTIS_SUBNET_WAIT_MS="${wait_ms:-200}" "$bin/orvantis-cli" "$@"; }
camera_addresses() { in_pc ip -o -4 addr show | awk '$4 ~ /^192\.168\.5\./ {print $2, $4}'; }

# build ORDER: "camera-first" gives the camera the lower-numbered adapter (lan0).
build() {
  local order=$1
  for n in pc cam off; do
    ip netns add "${P}$n"
    ip -n "${P}$n" link set lo up
  done
  local first=cam second=off
  [ "$order" = camera-first ] || { first=off; second=cam; }
  # Made inside the PC's namespace in this order, so lan0 has the lower interface index.
  ip -n "$pc" link add lan0 type veth peer name eth0 netns "${P}$first"
  ip -n "$pc" link add lan1 type veth peer name eth0 netns "${P}$second"
  for n in pc cam off; do ip -n "${P}$n" link set dev lo up; done
  ip -n "$pc" link set lan0 up
  ip -n "$pc" link set lan1 up
  ip -n "${P}cam" link set eth0 up
  ip -n "${P}off" link set eth0 up
  if [ "$order" = camera-first ]; then camif=lan0 offif=lan1; else camif=lan1 offif=lan0; fi
  # The camera's link has only a link-local address; the office link the PC's real one.
  ip -n "$pc" addr add 169.254.10.5/16 dev "$camif"
  ip -n "$pc" addr add 10.20.0.5/24 dev "$offif"
  ip -n "$pc" route add default via 10.20.0.1
  ip -n "${P}off" addr add 10.20.0.1/24 dev eth0
  ip -n "${P}cam" addr add 192.168.5.40/24 dev eth0
  local i0 i1
  i0=$(ip -n "$pc" -o link show lan0 | cut -d: -f1)
  i1=$(ip -n "$pc" -o link show lan1 | cut -d: -f1)
  [ "$i0" -lt "$i1" ] || fail "lan0 ($i0) is not the lower-numbered adapter ($i1)"
}

start_camera() {
  cat >"$work/cam.json" <<'JSON'
{"cameras": [
  {"name": "yard", "bindAddress": "192.168.5.40", "httpPort": 80, "mac": "00:1C:A0:00:05:40",
   "cameraId": "SN000540", "description": "Vexor-41HA", "password": "admin"}]}
JSON
  ip netns exec "${P}cam" "$bin/orvantis-camsim" "$work/cam.json" >"$work/ready" 2>&1 &
  pids+=($!)
  lab_ready "$work/ready" || fail "emulator did not start: $(cat "$work/ready")"
}

# Every address the kernel adds in the PC's namespace between start_watch and stop_watch, from its
# own events (an address that lives only a moment is seen too). A marker address on lo proves the
# monitor listens before anything else happens.
start_watch() {
  in_pc ip -o monitor address >"$work/events" 2>/dev/null &
  watcher=$!
  for _ in $(seq 50); do
    in_pc ip addr add 127.0.0.99/8 dev lo 2>/dev/null || true
    grep -q ' 127\.0\.0\.99/' "$work/events" && break
    in_pc ip addr del 127.0.0.99/8 dev lo 2>/dev/null || true
    sleep 0.1
  done
  in_pc ip addr del 127.0.0.99/8 dev lo 2>/dev/null || true
  grep -q ' 127\.0\.0\.99/' "$work/events" || fail "the address monitor did not start"
}
stop_watch() {
  kill "$watcher" 2>/dev/null || true
  wait "$watcher" 2>/dev/null || true
  awk '$1 != "Deleted" && $3 == "inet" && $4 ~ /^192\.168\.5\./ {print $2, $4}' \
    "$work/events" >"$work/seen"
}

check_seen() {
  [ -s "$work/seen" ] || fail "$1: no temporary address was seen"
  if awk -v want="$camif" '$1 != want' "$work/seen" | grep -q .; then
    fail "$1: an address landed on the office adapter: $(sort -u "$work/seen")"
  fi
  [ -z "$(camera_addresses)" ] || fail "$1: left behind: $(camera_addresses)"
}

run_case() {
  local order=$1
  build "$order"
  start_camera

  # Discovery says where the camera answered; the office adapter is the usual choice.
  out=$(cli discover --json --until-quiet 300 --seconds 3 2>"$work/err")
  jq -e --arg a "$camif" '.cameras | length == 1 and .[0].ip == "192.168.5.40" and .[0].adapter == $a' \
    <<<"$out" >/dev/null || fail "$order: discover: $out"

  # read reaches the camera on its own, with the address on the camera's adapter meanwhile.
  start_watch
  wait_ms=1500 cli read 192.168.5.40 --desc Vexor-41HA/ethernet --password admin --json \
    >"$work/out" 2>"$work/err" || fail "$order: read failed: $(cat "$work/err")"
  stop_watch
  jq -e '.ok == true' "$work/out" >/dev/null || fail "$order: read: $(cat "$work/out")"
  check_seen "$order: read"

  # --adapter names the adapter without asking the network; ensure-subnet reports it.
  out=$(cli ensure-subnet 192.168.5.40 --adapter "$camif" --json 2>"$work/err")
  jq -e --arg a "$camif" '.outcome == "added" and .adapter == $a' <<<"$out" >/dev/null ||
    fail "$order: ensure-subnet --adapter: $out"
  [ -z "$(camera_addresses)" ] || fail "$order: ensure-subnet left $(camera_addresses)"
  set +e
  cli read 192.168.5.40 --adapter nosuch0 --password admin >/dev/null 2>&1
  rc=$?
  set -e
  [ "$rc" = 2 ] || fail "$order: an unknown adapter gave exit $rc"

  # The window: search, pick, log in, read; the address goes on the camera's adapter.
  mkdir -p "$work/prog/Language" "$work/run"
  chmod 700 "$work/run"
  cp "$lab_root/Language/ENG.ini" "$lab_root/Language/CHT.ini" "$work/prog/Language/"
  printf '[DefaultLang]\r\nLangFile=ENG.ini\r\n' >"$work/prog/defaultlang.ini"
  {
    walk_pick_steps LAN 1 192.168.5.40 "$work/two_adapters_search.png"
    printf 'set-text Password: admin\nclick OK\nexpect-page CSubOption\n'
  } >"$work/script.txt"
  start_watch
  in_pc env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" \
    ORVANTIS_PROGRAM_FOLDER="$work/prog" ORVANTIS_TIMER_SCALE=10 \
    ORVANTIS_TEST_SCRIPT="$work/script.txt" ORVANTIS_TEST_STEP_MS=40000 \
    timeout 120 "$bin/orvantis-walk" --probe-host 10.20.0.1 >"$work/out" 2>&1 ||
    fail "$order: the walk ended with status $?"
  stop_watch
  [ -z "${ORVANTIS_KEEP_SHOTS:-}" ] || cp "$work"/*.png "$ORVANTIS_KEEP_SHOTS"/ 2>/dev/null || true
  grep -Eq "all [0-9]+ steps passed" "$work/out" || fail "$order: the walk did not finish"
  check_seen "$order: window"
  if in_pc ip -o -4 addr show | grep -q "192\.168\.0\."; then
    fail "$order: the search's own address was left behind"
  fi

  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  pids=()
  for n in pc cam off; do ip netns del "${P}$n"; done
  echo "two_adapters: $order ok"
}

run_case camera-first
run_case camera-second
echo "two_adapters: ok"
