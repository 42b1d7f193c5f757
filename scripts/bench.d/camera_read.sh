#!/usr/bin/env bash
# Wall time of "orvantis-cli read" of an extended, wireless-capable, config-family emulated camera
# on 127.0.0.1, beside curl fetching the same URLs (one connection each) in the same run.
# Loopback and kernel-chosen ports only; the emulated camera answers no discovery.
set -euo pipefail
bin=${1:?bin folder}
runs=${RUNS:-20}
work=$(mktemp -d)
camsim_pid=
cleanup() {
  [ -n "$camsim_pid" ] && kill "$camsim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

cat >"$work/lab.json" <<'JSON'
{"discoveryPort": 0,
 "cameras": [{"name": "bench", "bindAddress": "127.0.0.1", "httpPort": 0, "replyTo": "127.0.0.1",
              "answerDiscovery": false, "family": "config", "description": "Vexor-41HA",
              "settings": {"ModelName": "Vexor-41HA"},
              "accessPoints": [{"ssid": "lab net"}, {"ssid": "second", "channel": 11}]}]}
JSON
"$bin/orvantis-camsim" "$work/lab.json" >"$work/ready" 2>"$work/camsim.err" &
camsim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready" ] && break; sleep 0.05; done
port=$(sed -n 's/.*"httpPort":\([0-9]*\).*/\1/p' "$work/ready")
[ -n "$port" ] || { echo "camera_read: the emulator did not start"; cat "$work/camsim.err"; exit 1; }

base="http://127.0.0.1:$port"
# The login step's three system reads, then the read-all job's pages and the scan.
urls=("$base/cgi-bin/config_sysinfo.cgi?Act=1&Page=1" "$base/cgi-bin/config_sysinfo.cgi?Act=1&Page=1"
      "$base/cgi-bin/config_sysinfo.cgi?Act=1&Page=1" "$base/goform/Parameters?Act=1&Page=23"
      "$base/cgi-bin/config_sysinfo.cgi?Act=1&Page=1" "$base/cgi-bin/config_network.cgi?Act=1&Page=3"
      "$base/cgi-bin/config_ddns.cgi?Act=1&Page=13" "$base/cgi-bin/config_time.cgi?Act=1"
      "$base/goform/Parameters?Act=1&Page=32" "$base/cgi-bin/ap_scan.cgi")

"$bin/orvantis-cli" read 127.0.0.1 --port "$port" --family config --json >"$work/check.json" ||
  { echo "camera_read: the read failed: $(cat "$work/check.json")"; exit 1; }
grep -q '"extendedCgi":1' "$work/check.json" || { echo "camera_read: camera not extended"; exit 1; }

now_us() { echo $(($(date +%s%N) / 1000)); }
cli_total=0
curl_total=0
for _ in $(seq "$runs"); do
  t0=$(now_us)
  "$bin/orvantis-cli" read 127.0.0.1 --port "$port" --family config --json >/dev/null
  t1=$(now_us)
  curl -s -0 -A korimo-1.0.1 "${urls[@]}" >/dev/null
  t2=$(now_us)
  cli_total=$((cli_total + t1 - t0))
  curl_total=$((curl_total + t2 - t1))
done
cli_ms=$(awk -v t="$cli_total" -v n="$runs" 'BEGIN{printf "%.2f", t/n/1000}')
curl_ms=$(awk -v t="$curl_total" -v n="$runs" 'BEGIN{printf "%.2f", t/n/1000}')
ratio=$(awk -v a="$cli_total" -v b="$curl_total" 'BEGIN{printf "%.2f", a/b}')
echo "orvantis-cli read (10 requests): ${cli_ms} ms mean of $runs (target < 50 ms)"
echo "curl, same ${#urls[@]} URLs:        ${curl_ms} ms mean of $runs"
echo "ratio cli/curl: ${ratio} (target <= 1.0)"
