#!/usr/bin/env bash
# The wizard walk of the lab tests (a new wired camera to the finish page) at the program's real
# timers (about three minutes, most of it the fixed waits): the program's peak resident memory,
# its CPU time for the whole walk and the longest stall of its user-interface thread (how late a
# 10 ms probe timer was served at worst). Needs root.
set -euo pipefail
bin=$(cd "${1:?bin folder}" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
[ "$(id -u)" = 0 ] || { echo "gui wizard bench: needs root (network namespaces); skipped"; exit 0; }
command -v python3 >/dev/null || { echo "gui wizard bench: needs python3; skipped"; exit 0; }
# shellcheck source=/dev/null
. "$here/tests/net/gui_walk.bash"
walk_init "gui wizard bench" "$bin"
walk_wizard_cameras
walk_wizard_script "$work/wizard.txt"
# No pictures: only the walk itself is measured.
sed -i '/^screenshot /d' "$work/wizard.txt"
walk_scale=1
# Peak memory and CPU time of the program (the only child of the wrapper).
walk_wrap=(python3 -c '
import resource, subprocess, sys
status = subprocess.call(sys.argv[1:])
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print("bench: peak %d kB, cpu %.2f s" % (r.ru_maxrss, r.ru_utime + r.ru_stime), flush=True)
sys.exit(status)')
walk_run bench "$work/wizard.txt" 400
walk_passed bench "$work/wizard.txt"
read -r kb cpu < <(sed -n 's/^bench: peak \([0-9]*\) kB, cpu \([0-9.]*\) s$/\1 \2/p' "$work/bench.out")
stall=$(sed -n 's/^test-script: longest stall \([0-9]*\) ms$/\1/p' "$work/bench.out")
echo "gui wizard walk at real timers: peak memory $((kb / 1024)) MB (target < 80 MB)," \
  "CPU time $cpu s (target < 2 s), longest UI stall $stall ms (target < 50 ms)"
