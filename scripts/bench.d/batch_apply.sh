#!/usr/bin/env bash
# "orvantis-cli apply" of one plan to 12 emulated cameras in three subnets (two reached through
# temporary addresses) at the real waits: the subnet step's pause, and each camera quiet for 5 s
# after its save (as a camera restarts its network) before it is found again. With --jobs 4 and
# with --jobs 1: both wall times, their ratio (target: under a third) and the CLI's peak memory.
# Needs root.
set -euo pipefail
bin=$(cd "${1:?bin folder}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
lab="$here/lab"
[ "$(id -u)" = 0 ] || { echo "batch apply bench: needs root (network namespaces); skipped"; exit 0; }
P="oab$$-"
work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  "$lab" down "$P"
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
"$lab" up "$P" >/dev/null
addrs=(10.0.0.21 10.0.0.22 10.0.0.23 10.0.0.24 192.168.0.101 192.168.0.102 192.168.0.103
  192.168.0.104 192.168.5.101 192.168.5.102 192.168.5.103 192.168.5.104)
"$lab" host "$P" cams 0 "${addrs[@]/%//24}" >/dev/null
{
  printf '{"defaults": {"password": "admin", "quietAfterWriteMs": 5000}, "cameras": [\n'
  for i in "${!addrs[@]}"; do
    n=$((i + 1))
    printf '  {"name": "c%d", "bindAddress": "%s", "mac": "00:11:22:33:66:%02d", "cameraId": "SN%d"}%s\n' \
      "$n" "${addrs[$i]}" "$n" "$n" "$([ "$n" = 12 ] && echo || echo ,)"
  done
  printf ']}\n'
} >"$work/cams.json"
"$lab" exec "$P" cams "$bin/orvantis-camsim" "$work/cams.json" >"$work/ready" 2>&1 &
pid=$!
for _ in $(seq 50); do grep -q '"ready":true' "$work/ready" 2>/dev/null && break; sleep 0.1; done
grep -q '"ready":true' "$work/ready" || { echo "batch apply bench: emulator did not start"; exit 1; }
echo admin >"$work/pw"
chmod 600 "$work/pw"

# One run: the plan sets a time zone no camera has yet, so every camera is written.
# Prints "seconds peak_kB".
run() {  # JOBS ZONE
  printf 'mac,Timezone\n' >"$work/plan.csv"
  for n in $(seq 12); do printf '00:11:22:33:66:%02d,%d\n' "$n" "$2" >>"$work/plan.csv"; done
  chmod 600 "$work/plan.csv"
  local t0 t1
  t0=$(date +%s.%N)
  "$lab" exec "$P" pc /usr/bin/time -f '%M' -o "$work/mem" "$bin/orvantis-cli" apply "$work/plan.csv" \
    --password-file "$work/pw" --jobs "$1" >"$work/out" 2>&1 ||
    { echo "batch apply bench: the apply failed"; cat "$work/out"; exit 1; }
  t1=$(date +%s.%N)
  grep -q '^12 cameras: 12 done$' "$work/out" || { echo "batch apply bench:"; cat "$work/out"; exit 1; }
  echo "$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.1f", b-a}') $(tail -1 "$work/mem")"
}
read -r par mem4 < <(run 4 13)
read -r seq mem1 < <(run 1 14)
echo "apply to 12 cameras in 3 subnets, --jobs 4: ${par} s; --jobs 1: ${seq} s"
echo "ratio jobs 4 / jobs 1: $(awk -v a="$par" -v b="$seq" 'BEGIN{printf "%.2f", a/b}') (target < 0.33)"
echo "orvantis-cli peak memory: $(((mem4 > mem1 ? mem4 : mem1) / 1024)) MB"
