#!/usr/bin/env bash
# The wizard walk of the lab tests (a new wired camera to the finish page) at the program's real
# timers (about three minutes each, most of it the fixed waits), walked twice on a fresh lab:
# - usage: the program's peak resident memory and its CPU time for the whole walk, with the stall
#   instruments off (they wake the program 200 times a second and would be counted too);
# - ui: the longest stall of its user-interface thread: how late a 10 ms probe timer was served
#   at worst, less the time a plain sleeping thread of the program was late with it (then the
#   machine ran neither: a virtual machine's timers can come tens of milliseconds late while it
#   idles). Beside it the longest time the thread was busy away from its event loop (its own
#   work), and the raw figures.
# Needs root.
set -euo pipefail
bin=$(cd "${1:?bin folder}" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
[ "$(id -u)" = 0 ] || { echo "gui wizard bench: needs root (network namespaces); skipped"; exit 0; }
command -v python3 >/dev/null || { echo "gui wizard bench: needs python3; skipped"; exit 0; }
mode=${2:-}
if [ -z "$mode" ]; then
  bash "$0" "$bin" usage
  bash "$0" "$bin" ui
  exit 0
fi
# shellcheck source=../../tests/net/gui_walk.bash
. "$here/tests/net/gui_walk.bash"
walk_init "gui wizard bench" "$bin"
walk_wizard_cameras
walk_wizard_script "$work/wizard.txt"
# No pictures: only the walk itself is measured.
sed -i '/^screenshot /d' "$work/wizard.txt"
walk_scale=1
if [ "$mode" = usage ]; then
  walk_env=(ORVANTIS_TEST_MEASURE=0)
  # Peak memory and CPU time of the program (the only child of the wrapper).
  walk_wrap=(python3 -c '
import resource, subprocess, sys
status = subprocess.call(sys.argv[1:])
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print("bench: peak %d kB, cpu %.2f s (user %.2f, system %.2f)" % (r.ru_maxrss,
      r.ru_utime + r.ru_stime, r.ru_utime, r.ru_stime), flush=True)
sys.exit(status)')
  walk_run bench "$work/wizard.txt" 400
  walk_passed bench "$work/wizard.txt"
  read -r kb cpu split < <(sed -n 's/^bench: peak \([0-9]*\) kB, cpu \([0-9.]*\) s \(.*\)$/\1 \2 \3/p' \
    "$work/bench.out")
  echo "gui wizard walk at real timers: peak memory $((kb / 1024)) MB (target < 80 MB)," \
    "CPU time $cpu s $split (target < 2 s)"
else
  walk_run bench "$work/wizard.txt" 400
  walk_passed bench "$work/wizard.txt"
  figure() { sed -n "s/^test-script: $1 \\(.*\\)$/\\1/p" "$work/bench.out"; }
  echo "gui wizard walk at real timers, user-interface thread: longest own stall" \
    "$(figure 'longest own stall') (target < 50 ms); longest busy $(figure 'longest busy')"
  echo "  probe lateness with the machine's own pauses: longest $(figure 'longest stall');" \
    "a plain thread of the program woke up to $(figure 'reference lateness') late"
  echo "  start-up (until the home page is up): $(figure 'start-up stall')"
  grep '^test-script: stall ' "$work/bench.out" | sed 's/^test-script: /  /' || true
fi
