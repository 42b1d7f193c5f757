#!/usr/bin/env bash
# The desktop program in the namespace lab, walked by its buttons: an existing camera configured
# by hand. Home, Setup Camera, "No", a search, the pick, the read, the system page, ISP link LAN,
# the wired address (the wireless question answered No), UPnP, the summary, the save and back to
# the home page without a re-find. The requests the emulated camera received are compared byte for
# byte.
set -euo pipefail
# shellcheck source=gui_walk.bash
. "$(dirname "$0")/gui_walk.bash"
walk_init gui_manual "${1:?bin folder}"

walk_cameras '{"cameras": [
  {"name": "door", "bindAddress": "10.0.0.20", "httpPort": 80, "mac": "00:1C:A0:00:00:20",
   "cameraId": "SN000020", "description": "Vexor-41HA", "manageAddress": true,
   "quietAfterWriteMs": 500, "settings": {"TitleBar": "door"}}]}'

cat >"$work/manual.txt" <<EOF
$(walk_pick_steps No 1 10.0.0.20)
expect-page CSubSystem
set-text "Host name:" gate
click Next
expect-page CSubLANISP
check LAN
click Next
expect-page CSubLANIP
check Use fixed IP address
set-ip "IP address:" 10.0.0.21
click Next
expect-message wireless
answer No
expect-page CSubUPnP
click Next
expect-page CSubSetAutoParam
expect-label wirelessText The camera will not use its wireless link.
dump-session $work/summary.json
click Save
answer OK
expect-message The settings were saved. The camera now restarts with its new settings.
answer OK
expect-page CSubFirst
dump-session $work/home.json
EOF
walk_run manual "$work/manual.txt" 120
walk_passed manual "$work/manual.txt"
# The reads (no credentials asked), the access-point scan of a wireless-capable camera, the writes
# of the save, and no re-find.
{
  for _ in 1 2 3; do walk_read_line '/cgi-bin/config_sysinfo.cgi?Act=1&Page=1' Og==; done
  walk_read_all Og==
  walk_scan_line Og==
  walk_save_lines Og== gate
  walk_time_line Og==
  walk_write_line "/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=1&IPAddr=10.0.0.21\
&Netmask=255.255.255.0&Gateway=10.0.0.1&DNS1=10.0.0.1&DNS2=0.0.0.0&WIPType=0&WIPAddr=10.0.0.201\
&WNetmask=255.255.255.0&WGateway=10.0.0.1&WDNS1=10.0.0.1&WDNS2=0.0.0.0&WireType=1&WireSec=3\
&SSID=lab-net&WireCh=6&WEPAuthM=0&WEPMode=0&WEPKey0=&WEPKey1=&WEPKey2=&WEPKey3=&WEPKeyE0=0\
&WPAKey=labpassword&WPAEnc=0&WPAPSKeyM=1&TxRate=Auto&WepKeyL=0&UPnPE=1&PAccount=&PPwd=&PVP=\
&HttpPort=80&RTPPort=5000&RTSPPort=554" Og==
} >"$work/door.expected"
walk_expect_requests door "$work/door.expected"
[ "$(walk_field wizardMode "$work/summary.json")" = 0 ] || walk_fail "not a manual setup"
echo "gui_manual: ok"
