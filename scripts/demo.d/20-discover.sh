# Sourced by scripts/demo: $bin, $P, $work and pids are set, the lab is up and the emulated
# cameras of 10-cameras.sh answer on both segments.
echo "Cameras found from ${P}pc (draining, 2 s):"
"$here/lab" exec "$P" pc "$bin/orvantis-cli" discover --seconds 2 --drain 2>/dev/null
echo "The same as JSON:"
"$here/lab" exec "$P" pc "$bin/orvantis-cli" discover --seconds 2 --drain --json 2>/dev/null
