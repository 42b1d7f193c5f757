# Shared by the lab walks of the desktop program (tests/net/gui_*.sh) and the demo: a namespace lab
# with emulated cameras, the real orvantis offscreen inside the lab PC walked by a script of steps,
# and helpers that read what the emulator logged. Sourced, never run; the caller sets -euo pipefail.
# Built on lab_lib.bash (walk_pick_steps is there).
#
#   walk_init NAME BIN         checks root and the build, makes the lab (prefix unique per run),
#                              a work folder and the program folder; removes all of it at exit
#   walk_cameras JSON          starts emulated cameras (JSON text) in PREFIXcam, logging requests
#   walk_link_server JSON      starts the emulated link server in PREFIXinet
#   walk_run NAME SCRIPT SECS [orvantis args]
#                              runs the program on the script (a file); output in $work/NAME.out;
#                              sets walk_rc; extra environment from walk_env (an array), a command
#                              in front of the program from walk_wrap (an array); the fixed waits
#                              are shortened by walk_scale (default 10; 1 runs the real timers)
#   walk_requests CAMERA       the requests CAMERA received, one JSON string a line, in order
#   walk_expect_requests CAMERA FILE
#                              fails unless the requests equal FILE's lines (JSON strings) in order
#   walk_fail TEXT             prints TEXT and the last program output, fails

# shellcheck source=lab_lib.bash
. "$(dirname "${BASH_SOURCE[0]}")/lab_lib.bash"
walk_pids=()
walk_env=()
walk_wrap=()
walk_scale=${walk_scale:-10}

walk_cleanup() {
  local p
  for p in "${walk_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  lab_remove
}

walk_fail() {
  echo "$walk_name: FAIL: $*"
  [ -z "${walk_last:-}" ] || cat "$work/$walk_last.out" 2>/dev/null || true
  exit 1
}

walk_init() {
  walk_name=$1
  bin=$(cd "$2" && pwd)
  lab_init "$walk_name"
  lab_need
  lab_need_walk "$bin"
  lab_new ow
  lab_traps walk_cleanup
  "$lab" up "$P" >/dev/null
  # The program's folder: the packs and a remembered choice, so no language dialog opens.
  mkdir -p "$work/prog/Language" "$work/run"
  chmod 700 "$work/run"
  cp "$lab_root/Language/ENG.ini" "$lab_root/Language/CHT.ini" "$work/prog/Language/"
  walk_language ENG
  : >"$work/requests.jsonl"
}

walk_language() {
  printf '[DefaultLang]\r\nLangFile=%s.ini\r\n' "$1" >"$work/prog/defaultlang.ini"
}

walk_start() {  # NODE JSON LOGNAME
  local node=$1 json=$2 name=$3
  printf '%s\n' "$json" >"$work/$name.json"
  "$lab" exec "$P" "$node" "$bin/orvantis-camsim" "$work/$name.json" \
    --log "$work/requests.jsonl" >"$work/$name.ready" 2>&1 &
  walk_pids+=($!)
  lab_ready "$work/$name.ready" || walk_fail "$name did not start: $(cat "$work/$name.ready")"
}

walk_cameras() { walk_start cam "$1" cameras; }
walk_link_server() { walk_start inet "$1" server; }

walk_run() {
  local name=$1 script=$2 secs=$3
  shift 3
  walk_last=$name
  set +e
  # The PC's lab adapters are two veths; name the one on the cameras' wire for the temporary
  # address.
  timeout "$secs" "$lab" exec "$P" pc env QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR="$work/run" ORVANTIS_PROGRAM_FOLDER="$work/prog" \
    ORVANTIS_TIMER_SCALE="$walk_scale" ORVANTIS_ADAPTER=eth0 ORVANTIS_TEST_STEP_MS=$((40000 * 10 / walk_scale)) \
    "${walk_env[@]}" ORVANTIS_TEST_SCRIPT="$script" \
    "${walk_wrap[@]}" "$bin/orvantis-walk" --probe-host 198.51.100.10 "$@" >"$work/$name.out" 2>&1
  walk_rc=$?
  set -e
  # ORVANTIS_KEEP_SHOTS=DIR keeps the pictures, session dumps and the request log of a walk.
  if [ -n "${ORVANTIS_KEEP_SHOTS:-}" ]; then
    cp "$work"/*.png "$work"/*.json "$work"/requests.jsonl "$ORVANTIS_KEEP_SHOTS"/ 2>/dev/null || true
  fi
}

# The steps of a script that passed, and the check that all of them did.
walk_passed() {  # NAME SCRIPT
  local steps
  steps=$(grep -cv '^\s*\(#\|$\)' "$2")
  [ "$walk_rc" = 0 ] || walk_fail "the walk $1 ended with status $walk_rc"
  grep -q "all $steps steps passed" "$work/$1.out" || walk_fail "the walk $1 did not finish"
}

# The PC's clock goes into the time write: its date and time read as <date> and <time>.
walk_requests() {
  python3 - "$work/requests.jsonl" "$1" <<'PY'
import json, re, sys
for line in open(sys.argv[1], encoding="utf-8"):
    entry = json.loads(line)
    if entry["camera"] == sys.argv[2]:
        text = re.sub(r"Date=\d{4}/\d\d/\d\d&Time=\d\d:\d\d:\d\d", "Date=<date>&Time=<time>",
                      entry["request"])
        print(json.dumps(text, ensure_ascii=True))
PY
}

walk_expect_requests() {
  local camera=$1 expected=$2
  walk_requests "$camera" >"$work/$camera.requests"
  if ! diff -u "$expected" "$work/$camera.requests" >"$work/$camera.diff"; then
    cat "$work/$camera.diff"
    walk_fail "the requests $camera received differ from the expected ones"
  fi
}

# One field of a session dump (dump-session).
walk_field() { python3 -c 'import json,sys; print(json.load(open(sys.argv[2]))[sys.argv[1]])' "$1" "$2"; }

# Expected requests as JSON strings: a read or write of PATH with the Basic credentials given as
# their base64 text ("Og==" is an empty user and password), and the pages of the read-all job.
walk_read_line() {
  printf '"GET %s HTTP/1.0\\nUser-Agent: korimo-1.0.1\\nAuthorization: Basic %s\\n\\n"\n' "$1" "$2"
}
walk_write_line() {
  printf '"GET %s HTTP/1.0\\nUser-Agent: korimo-1.0.1\\nAuthorization: Basic %s\\n\\n\\n"\n' "$1" "$2"
}
walk_read_all() {
  walk_read_line '/goform/Parameters?Act=1&Page=23' "$1"
  walk_read_line '/cgi-bin/config_sysinfo.cgi?Act=1&Page=1' "$1"
  walk_read_line '/cgi-bin/config_network.cgi?Act=1&Page=3' "$1"
  walk_read_line '/cgi-bin/config_ddns.cgi?Act=1&Page=13' "$1"
  walk_read_line '/cgi-bin/config_time.cgi?Act=1' "$1"
  walk_read_line '/goform/Parameters?Act=1&Page=32' "$1"
}
walk_scan_line() {
  printf '"GET /cgi-bin/ap_scan.cgi HTTP/1.0\\nUser-Agent: korimo-1.0.1\\nAuthorization: Basic %s\\n\\n\\n "\n' "$1"
}
# The writes of a save before the network write: system, dynamic DNS and the clock.
walk_save_lines() {  # BASIC TITLEBAR
  walk_write_line "/cgi-bin/config_sysinfo.cgi?Act=2&Page=1&TitleBar=$2&Desp=Network%20Camera" "$1"
  walk_write_line '/cgi-bin/config_ddns.cgi?Act=2&Page=13&DDNSSrv=&DDNS=0&DDNSUser=&DDNSPwd=&DDNSHost=' "$1"
}
walk_time_line() {
  walk_write_line '/cgi-bin/config_time.cgi?Act=2&NTPEN=1&NTPName=ntp.lab.example&NTPPoll=24&Timezone=0&Date=<date>&Time=<time>' "$1"
}

# Walk (a), shared with the benchmark: the camera at the factory address 192.168.0.98 (root
# password "admin", no wireless) and a second one that the search lists too.
walk_wizard_cameras() {
  walk_cameras '{"cameras": [
  {"name": "hall", "bindAddress": "192.168.0.98", "httpPort": 80, "mac": "00:1C:A0:00:00:98",
   "cameraId": "SN000098", "description": "Vexor-41HA", "password": "admin",
   "manageAddress": true, "quietAfterWriteMs": 1500,
   "settings": {"wirelessCapable": "0", "wpsCapable": "0"}},
  {"name": "door", "bindAddress": "10.0.0.20", "httpPort": 80, "mac": "00:1C:A0:00:00:20",
   "cameraId": "SN000020", "description": "Vexor-41HA", "interface": "wireless"}]}'
}

walk_wizard_script() {  # FILE
  cat >"$1" <<EOF
$(walk_pick_steps LAN 2 192.168.0.98 "$work/search.png")
set-text Password: admin
click OK
expect-page CSubOption
check Wizard Setup
click Next
expect-page CSubWizardIP
set-ip "IP Address" 10.0.0.50
set-ip "DNS Server" 10.0.0.1
click Next
expect-page CSubUPnP
click Next
expect-page CSubSetAutoParam
expect-label networkText Fixed IP:10.0.0.50\nSubnet Mask:255.255.255.0\nGateway:10.0.0.1\nDNS Server:10.0.0.1
dump-session $work/summary.json
click Save
expect-message The camera will now be set up
answer Cancel
expect-page CSubSetAutoParam
click Save
answer OK
expect-message The settings were saved. The camera now restarts with its new settings.
answer OK
expect-message The camera was found again at its new address.
answer OK
expect-page CSubSetupFinish
expect-label addressText http://10.0.0.50:80
expect-label macText 00:1C:A0:00:00:98
expect-label interfaceText ethernet
expect-label portText 80
expect-label secondPortText 5000
expect-label linkStatus Camera is linked  with Server
screenshot $work/finish.png
dump-session $work/finish.json
click Finish
expect-page CSubFirst
EOF
}
