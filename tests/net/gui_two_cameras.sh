#!/usr/bin/env bash
# The desktop program in the namespace lab, walked by its buttons: two existing cameras set up by
# hand one after the other in one window session. The first goes on PPPoE with an account typed on
# the ISP page; the second stays on its LAN and names only a few keys on its network page. Each
# save is followed by the home page and a new search. Both cameras' requests are compared byte for
# byte: nothing of the first (its PPPoE account, its channel and default WEP key) reaches the second.
set -euo pipefail
# shellcheck source=gui_walk.bash
. "$(dirname "$0")/gui_walk.bash"
walk_init gui_two_cameras "${1:?bin folder}"

walk_cameras '{"cameras": [
  {"name": "door", "bindAddress": "10.0.0.20", "httpPort": 80, "mac": "00:1C:A0:00:00:20",
   "cameraId": "SN000020", "description": "Vexor-41HA", "quietAfterWriteMs": 500,
   "settings": {"TitleBar": "door", "wirelessCapable": "0", "wpsCapable": "0", "WireCh": "11",
                "WEPKeyE0": "2"}}]}'
# The second camera on the same wire, in a namespace of its own.
"$lab" host "$P" cam3 0 10.0.0.30/24
walk_start cam3 '{"cameras": [
  {"name": "gate", "bindAddress": "10.0.0.30", "httpPort": 80, "mac": "00:1C:A0:00:00:30",
   "cameraId": "SN000030", "description": "Vexor-41HA", "quietAfterWriteMs": 500,
   "settings": {"TitleBar": "gate", "wirelessCapable": "0", "wpsCapable": "0"},
   "rawPages": {"3": "IPType=1\nIPAddr=10.0.0.30\nNetmask=255.255.255.0\nGateway=10.0.0.1\nDNS1=10.0.0.1\nDNS2=0.0.0.0\nWPAPSKeyM=1\nUPnPE=1\nHttpPort=80\nRTPPort=5000\nRTSPPort=554\n"}}]}' gate

# The manual path up to the system page's Next, for the camera at $1.
pick() {
  walk_pick_steps No 2 "$1"
  cat <<EOF
expect-page CSubSystem
click Next
expect-page CSubLANISP
EOF
}
# From the summary: the save, its message and the home page.
save() {
  cat <<EOF
click Save
answer OK
expect-message The settings were saved. The camera now restarts with its new settings.
answer OK
expect-page CSubFirst
EOF
}

{
  pick 10.0.0.20
  cat <<EOF
check PPPoE
set-text "User name:" a-user
set-text "Password:" a-secret
set-text "Confirm password:" a-secret
click Next
expect-page CSubUPnP
click Next
expect-page CSubSetAutoParam
expect-label networkText PPPoE:\nUser name:\na-user\nPassword:\na-secret
EOF
  save
  pick 10.0.0.30
  cat <<EOF
check LAN
click Next
expect-page CSubLANIP
click Next
expect-page CSubUPnP
click Next
expect-page CSubSetAutoParam
expect-label networkText Fixed IP:10.0.0.30\nSubnet Mask:255.255.255.0\nGateway:10.0.0.1\nDNS Server:10.0.0.1
dump-session $work/summary.json
EOF
  save
} >"$work/two.txt"
walk_run two "$work/two.txt" 180
walk_passed two "$work/two.txt"

# Each camera: the three system reads, the read of every page, then the save's four writes.
reads() {
  for _ in 1 2 3; do walk_read_line '/cgi-bin/config_sysinfo.cgi?Act=1&Page=1' Og==; done
  walk_read_all Og==
}
{
  reads
  walk_save_lines Og== door
  walk_time_line Og==
  walk_write_line "/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=2&IPAddr=10.0.0.20\
&Netmask=255.255.255.0&Gateway=10.0.0.1&DNS1=10.0.0.1&DNS2=0.0.0.0&WIPType=0&WIPAddr=10.0.0.201\
&WNetmask=255.255.255.0&WGateway=10.0.0.1&WDNS1=10.0.0.1&WDNS2=0.0.0.0&WireType=1&WireSec=3\
&SSID=lab-net&WireCh=11&WEPAuthM=0&WEPMode=0&WEPKey0=&WEPKey1=&WEPKey2=&WEPKey3=&WEPKeyE0=2\
&WPAKey=labpassword&WPAEnc=0&WPAPSKeyM=1&TxRate=Auto&WepKeyL=0&UPnPE=1&PAccount=a-user\
&PPwd=a-secret&PVP=a-secret&HttpPort=80&RTPPort=5000&RTSPPort=554" Og==
} >"$work/door.expected"
walk_expect_requests door "$work/door.expected"
# What the second camera's answers do not name is sent as for a first camera: empty or 0.
{
  reads
  walk_save_lines Og== gate
  walk_time_line Og==
  walk_write_line "/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=1&IPAddr=10.0.0.30\
&Netmask=255.255.255.0&Gateway=10.0.0.1&DNS1=10.0.0.1&DNS2=0.0.0.0&WIPType=0&WIPAddr=\
&WNetmask=&WGateway=&WDNS1=&WDNS2=&WireType=0&WireSec=0&SSID=&WireCh=0&WEPAuthM=0&WEPMode=0\
&WEPKey0=&WEPKey1=&WEPKey2=&WEPKey3=&WEPKeyE0=0&WPAKey=&WPAEnc=0&WPAPSKeyM=1&TxRate=&WepKeyL=0\
&UPnPE=1&PAccount=&PPwd=&PVP=&HttpPort=80&RTPPort=5000&RTSPPort=554" Og==
} >"$work/gate.expected"
walk_expect_requests gate "$work/gate.expected"
[ "$(walk_field wizardMode "$work/summary.json")" = 0 ] || walk_fail "not a manual setup"
echo "gui_two_cameras: ok"
