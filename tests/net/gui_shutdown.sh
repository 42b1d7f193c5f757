#!/usr/bin/env bash
# Closing the desktop program while calls wait on silent peers: during the read of a camera that
# never answers (reached through a temporary address), during a link-server query to a server that
# never answers, and during the start-up probe of a host that is not there. Each time the program
# ends with status 0 within 2 s of the close, and no temporary address is left on the PC.
set -euo pipefail
bin=${1:?bin folder}
# shellcheck source=lab_lib.bash
. "$(dirname "$0")/lab_lib.bash"
lab_init gui_shutdown
lab_need
lab_need_walk "$bin"
lab_new ogs
pid=
pid2=
cleanup() {
  for p in $pid $pid2; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  lab_remove
}
lab_traps cleanup
fail() { echo "gui_shutdown: FAIL: $*"; cat "$work/out" 2>/dev/null || true; exit 1; }

start_sim() {  # start_sim NODE CONFIG LOG (its requests go to LOG.requests)
  "$lab" exec "$P" "$1" "$bin/orvantis-camsim" "$2" --log "$3.requests" >"$3" 2>&1 &
  local p=$!
  lab_ready "$3" || fail "emulator in $1 did not start: $(cat "$3")"
  echo "$p"
}

temporary_addresses() { ip -n "${P}pc" -4 -o addr show | grep -c ' 192\.168\.0\.' || true; }

"$lab" up "$P" >/dev/null
cat >"$work/cam.json" <<'JSON'
{"cameras": [
  {"name": "mute", "bindAddress": "192.168.0.98", "httpPort": 80, "mac": "00:1C:A0:00:00:98",
   "cameraId": "SN000098", "description": "Vexor-41HA", "fault": "silent"}]}
JSON
# The link server's address answers connections and never says a word.
cat >"$work/inet.json" <<'JSON'
{"cameras": [
  {"name": "mute-server", "bindAddress": "198.51.100.10", "httpPort": 80,
   "mac": "00:1C:A0:00:01:10", "cameraId": "SN000110", "answerDiscovery": false,
   "fault": "silent"}]}
JSON
pid=$(start_sim cam "$work/cam.json" "$work/cam.log")
pid2=$(start_sim inet "$work/inet.json" "$work/inet.log")

mkdir -p "$work/prog/Language" "$work/run"
chmod 700 "$work/run"
cp "$lab_root/Language/ENG.ini" "$lab_root/Language/CHT.ini" "$work/prog/Language/"
printf '[DefaultLang]\r\nLangFile=ENG.ini\r\n' >"$work/prog/defaultlang.ini"

# run_closing NAME SCRIPT PEERLOG [orvantis options...]: runs the walk, checks status and exit
# time. PEERLOG ("-" for none) is the silent peer's request log: a request logged before the close
# proves the call was waiting on that peer when the window closed.
run_closing() {
  local name=$1 script=$2 peerlog=$3
  shift 3
  local rc end closed
  set +e
  timeout 60 "$lab" exec "$P" pc env QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR="$work/run" ORVANTIS_PROGRAM_FOLDER="$work/prog" \
    ORVANTIS_TIMER_SCALE=10 ORVANTIS_ADAPTER=eth0 \
    ORVANTIS_TEST_SCRIPT="$script" ORVANTIS_TEST_STEP_MS=30000 \
    "$bin/orvantis-walk" "$@" >"$work/out" 2>&1 &
  local prog=$!
  # Watch for the temporary address while the walk runs (the read needs one).
  seen=0
  while kill -0 "$prog" 2>/dev/null; do
    [ "$(temporary_addresses)" -gt 0 ] && seen=1
    sleep 0.05
  done
  wait "$prog"
  rc=$?
  end=$(date +%s%3N)
  set -e
  [ "$rc" = 0 ] || fail "$name: the program ended with status $rc"
  closed=$(sed -n 's/^test-script: closing at \([0-9]*\)$/\1/p' "$work/out" | head -1)
  [ -n "$closed" ] || fail "$name: the window was never closed"
  if [ "$peerlog" != - ]; then
    local asked
    asked=$(sed -n 's/.*"time_ms":\([0-9]*\).*/\1/p' "$peerlog" 2>/dev/null | head -1)
    if [ -z "$asked" ] || [ "$asked" -gt "$closed" ]; then
      fail "$name: the silent peer had no request before the close (${asked:-none} vs $closed)"
    fi
  fi
  echo "gui_shutdown: $name: exit $((end - closed)) ms after the close"
  [ $((end - closed)) -lt 2000 ] || fail "$name: exit took $((end - closed)) ms"
  [ "$(temporary_addresses)" = 0 ] || fail "$name: a temporary address was left behind"
}

{
  walk_pick_steps LAN 1 192.168.0.98
  printf 'sleep 1500\nclose-window\n'
} >"$work/read.txt"
run_closing "silent camera read" "$work/read.txt" "$work/cam.log.requests" --probe-host 198.51.100.10
[ "$seen" = 1 ] || fail "silent camera read: no temporary address was ever added"

cat >"$work/server.txt" <<'EOF2'
click Search Intranet
expect-page CSubLogin
set-text ID: lab
set-text Password: pw
click Next
sleep 800
close-window
EOF2
run_closing "silent link server" "$work/server.txt" "$work/inet.log.requests" \
  --probe-host 198.51.100.10 --link-server 198.51.100.10

# Nobody at this address: the probe's connect would wait its full 5 s.
cat >"$work/probe.txt" <<'EOF2'
expect-page CSubFirst
close-window
EOF2
run_closing "probe of an absent host" "$work/probe.txt" - --probe-host 198.51.100.99
echo "gui_shutdown: ok"
