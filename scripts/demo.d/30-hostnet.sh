# Sourced by scripts/demo: $bin, $P, $work and pids are set and the lab is up.
# The PC's adapter facts, then a temporary address that reaches the camera at 192.168.0.98 from
# the PC, which has no address in that subnet. The address goes away when the command ends.
echo "PC adapter facts of ${P}pc (eth0, the segment the camera is on):"
ORVANTIS_ADAPTER=eth0 "$here/lab" exec "$P" pc "$bin/orvantis-cli" netinfo
echo "Reaching 192.168.0.98 (probe .253 from 10.0.0.5, add it, wait 5 s, probe from inside):"
ORVANTIS_ADAPTER=eth0 "$here/lab" exec "$P" pc "$bin/orvantis-cli" ensure-subnet 192.168.0.98 \
  --hold 3 --json >"$work/hostnet.json" &
hostnet_pid=$!
pids+=("$hostnet_pid")
for _ in $(seq 1 150); do
  grep -q '^{' "$work/hostnet.json" 2>/dev/null && break
  sleep 0.1
done
cat "$work/hostnet.json"
echo "Addresses of ${P}pc eth0 while it is held:"
ip -n "${P}pc" -4 -br addr show dev eth0
wait "$hostnet_pid" || true
echo "...and after the command ended:"
ip -n "${P}pc" -4 -br addr show dev eth0
