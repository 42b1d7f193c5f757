# Emulated cameras in two subnets: three in ${P}cam (192.168.0.98, 192.168.0.99, 10.0.0.20), one in
# ${P}cam2 (10.1.0.30), and the link server in ${P}inet. Sourced by scripts/demo with $bin, $P,
# $work and the pids array.

cat >"$work/cam.json" <<'JSON'
{
  "logPath": "",
  "cameras": [
    {"name": "hall", "bindAddress": "192.168.0.98", "httpPort": 80, "mac": "00:1C:A0:00:00:98",
     "cameraId": "SN000098", "description": "Vexor-41HA", "password": "admin",
     "quietAfterWriteMs": 3000, "manageAddress": true},
    {"name": "yard", "bindAddress": "192.168.0.99", "httpPort": 80, "mac": "00:1C:A0:00:00:99",
     "cameraId": "SN000099", "family": "legacy", "quietAfterWriteMs": 3000, "manageAddress": true},
    {"name": "door", "bindAddress": "10.0.0.20", "httpPort": 80, "mac": "00:1C:A0:00:00:20",
     "cameraId": "SN000020", "description": "Vexor-41HA", "interface": "wireless",
     "quietAfterWriteMs": 3000, "manageAddress": true}
  ]
}
JSON
cat >"$work/cam2.json" <<'JSON'
{
  "cameras": [
    {"name": "garage", "bindAddress": "10.1.0.30", "httpPort": 80, "mac": "00:1C:A0:00:01:30",
     "cameraId": "SN000130", "description": "Ralto-52HA", "quietAfterWriteMs": 3000,
     "manageAddress": true}
  ]
}
JSON
cat >"$work/inet.json" <<'JSON'
{
  "linkServer": {"bindAddress": "198.51.100.10", "port": 80, "accounts": [
    {"id": "demo", "password": "demo", "cameras": [
      {"id": "SN000020", "ip": "10.0.0.20", "port": "80", "mac": "00:1C:A0:00:00:20",
       "modelName": "Vexor-41HA"},
      {"id": "SN000130", "ip": "10.1.0.30", "port": "80", "mac": "00:1C:A0:00:01:30",
       "modelName": "Ralto-52HA"}]}]}
}
JSON

for node in cam cam2 inet; do
  "$here/lab" exec "$P" "$node" "$bin/orvantis-camsim" "$work/$node.json" \
    --log "$work/requests-$node.jsonl" >"$work/camsim-$node.out" 2>&1 &
  pids+=($!)
done
for node in cam cam2 inet; do
  for _ in $(seq 50); do grep -q '"ready":true' "$work/camsim-$node.out" 2>/dev/null && break; sleep 0.1; done
  grep -q '"ready":true' "$work/camsim-$node.out" || { cat "$work/camsim-$node.out"; echo "camsim in $node did not start"; exit 1; }
done
echo "cameras running: $(cat "$work/camsim-cam.out") $(cat "$work/camsim-cam2.out")"

echo "-- HTTP read from ${P}pc: door (10.0.0.20), system page"
"$here/lab" exec "$P" pc curl -s -m 5 -u root: 'http://10.0.0.20/cgi-bin/config_sysinfo.cgi?Act=1&Page=1'
echo "-- HTTP read from ${P}pc: garage (10.1.0.30), version page"
"$here/lab" exec "$P" pc curl -s -m 5 -u root: 'http://10.1.0.30/goform/Parameters?Act=1&Page=23'
echo "-- link server (198.51.100.10) for account demo"
"$here/lab" exec "$P" pc curl -s -m 5 \
  'http://198.51.100.10/cgi-bin/Parameters?Act=1&Page=3&ID=demo&Password=demo'
echo "-- raw discovery probe from 10.0.0.5 (segment 0: hall, yard, door)"
"$here/lab" exec "$P" pc "$bin/orvantis-camsim" --probe 10.0.0.5
echo "-- raw discovery probe from 10.1.0.5 (segment 1: garage)"
"$here/lab" exec "$P" pc "$bin/orvantis-camsim" --probe 10.1.0.5
