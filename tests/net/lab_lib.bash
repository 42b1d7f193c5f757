# Shared by the namespace lab tests (tests/net/*.sh) and the walks of the desktop program built on
# them. Sourced, never run; the caller sets its shell options.
#
#   lab_init NAME          names the test in its messages; sets lab (the lab script) and lab_root
#                          (the source tree)
#   lab_skip TEXT          exits 77 (a skip); under CI=true a failure instead, since there a skip
#                          would hide that nothing was tested
#   lab_need [TOOL...]     skips unless run as root with every TOOL at hand
#   lab_need_walk BIN      skips unless BIN holds the desktop program with its walk driver
#   lab_new TAG            a lab prefix P unique per run (TAG, the pid, "-") and a work folder
#   lab_remove             removes the lab of P and the work folder (for the caller's clean-up)
#   lab_traps CLEANUP      runs CLEANUP at exit; an interrupted run cleans up and ends (130, 143)
#   lab_ready FILE         waits up to 5 s for the emulator writing FILE to say it is ready;
#                          fails (1) when it does not
#   walk_pick_steps CHOICE COUNT ADDRESS [PICTURE]
#                          the walk-script steps from the home page to a camera picked in the
#                          search: CHOICE LAN or Wireless sets up a new camera (the diagram page
#                          comes first), No an existing one; the list must show COUNT cameras
#                          (PICTURE: a screenshot of it), then ADDRESS is picked and Next clicked

lab_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
lab="$lab_root/scripts/lab"

lab_init() { lab_name=$1; }

lab_skip() {
  if [ "${CI:-}" = true ]; then
    echo "$lab_name: FAIL: $* (CI=true)"
    exit 1
  fi
  echo "$lab_name: $*; skipped"
  exit 77
}

lab_need() {
  [ "$(id -u)" = 0 ] || lab_skip "needs root for network namespaces"
  local tool
  for tool in "$@"; do command -v "$tool" >/dev/null || lab_skip "needs $tool"; done
}

lab_need_walk() {
  [ -x "$1/orvantis-walk" ] || lab_skip "$1/orvantis-walk not built"
  grep -q ORVANTIS_TEST_SCRIPT "$1/orvantis-walk" || lab_skip "$1/orvantis-walk has no test driver"
}

lab_new() {
  P="$1$$-"
  work=$(mktemp -d)
}

lab_remove() {
  [ -z "${P:-}" ] || "$lab" down "$P" >/dev/null 2>&1 || true
  [ -z "${work:-}" ] || rm -rf "$work"
}

lab_traps() {
  # shellcheck disable=SC2064  # the handler's name is fixed now
  trap "$1" EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

lab_ready() {
  local _
  for _ in $(seq 50); do grep -q '"ready":true' "$1" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}

walk_pick_steps() {
  printf 'expect-page CSubFirst\nclick Setup Camera\nexpect-page CSubChoose\n'
  if [ "$1" = No ]; then
    printf 'check No\nclick Next\n'
  else
    printf 'check Yes\ncheck %s\nclick Next\nexpect-page CSubShowPic\nclick Next\n' "$1"
  fi
  printf 'expect-page CSubSearchNet\nclick Start Search\nwait-list %s\n' "$2"
  [ -z "${4:-}" ] || printf 'screenshot %s\n' "$4"
  printf 'select-text %s\nclick Next\n' "$3"
}
