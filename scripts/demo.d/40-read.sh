# Logs in to emulated cameras from ${P}pc and reads all their settings. Sourced by scripts/demo with
# $bin, $P, $work and the pids array; the cameras come from 10-cameras.sh.

echo "-- orvantis-cli read of door (10.0.0.20, Vexor-41HA/wireless) with two suggested addresses"
# --suggest probes the PC's subnet by ARP: inside the lab only.
"$here/lab" exec "$P" pc "$bin/orvantis-cli" read 10.0.0.20 --desc "Vexor-41HA/wireless" \
  --suggest --pc-address 10.0.0.5 --json
echo "-- orvantis-cli read of garage (10.1.0.30, Ralto-52HA/ethernet), plain text, first lines"
"$here/lab" exec "$P" pc "$bin/orvantis-cli" read 10.1.0.30 --desc "Ralto-52HA/ethernet" >"$work/garage.txt"
head -n 12 "$work/garage.txt"
echo "-- orvantis-cli scan of door"
"$here/lab" exec "$P" pc "$bin/orvantis-cli" scan 10.0.0.20 --desc "Vexor-41HA/wireless" --json
