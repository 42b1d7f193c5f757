#!/usr/bin/env bash
# The desktop program offscreen inside a namespace lab, walked by its buttons: a new wired camera
# set up with the wizard. Home, Setup Camera, Yes/LAN, the diagram, a search that lists the lab's
# cameras, the pick of the camera at the factory address (reached through a temporary address) that
# asks for its root password, the read, Wizard Setup, a fixed address, UPnP, the summary, the save,
# the camera found again at its new address and the finish page showing it. The requests the
# emulated camera received are compared byte for byte. Then the link-server login, refused once,
# and the account's list. Last, the keyboard alone from the home page to the setup-type page.
set -euo pipefail
# shellcheck source=gui_walk.bash
. "$(dirname "$0")/gui_walk.bash"
walk_init gui_wizard "${1:?bin folder}"

walk_wizard_cameras
walk_link_server '{"linkServer": {"bindAddress": "198.51.100.10", "port": 80, "accounts": [
  {"id": "lab", "password": "pw", "cameras": [
    {"id": "SN000098", "ip": "192.168.0.98", "port": "80", "mac": "00:1C:A0:00:00:98",
     "modelName": "Vexor-41HA"},
    {"id": "SN000020", "ip": "10.0.0.20", "port": "80", "mac": "00:1C:A0:00:00:20",
     "modelName": "Vexor-41HA"}]}]}}'

walk_wizard_script "$work/wizard.txt"
walk_run wizard "$work/wizard.txt" 150
walk_passed wizard "$work/wizard.txt"
# The discovery engine's trace stays in its logging category, off unless asked for.
grep -q 'recvfrom function return length' "$work/wizard.out" && walk_fail "discovery trace printed"
# Three reads without credentials, the login read, the read of every page, the four writes of the
# save and the NAT status read at the new address, exactly as sent.
root=cm9vdDphZG1pbg==
{
  for _ in 1 2 3; do walk_read_line '/cgi-bin/config_sysinfo.cgi?Act=1&Page=1' Og==; done
  walk_read_line '/cgi-bin/config_sysinfo.cgi?Act=1&Page=1' $root
  walk_read_all $root
  walk_save_lines $root IPCAM
  walk_time_line $root
  walk_write_line "/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=1&IPAddr=10.0.0.50\
&Netmask=255.255.255.0&Gateway=10.0.0.1&DNS1=10.0.0.1&DNS2=0.0.0.0&WIPType=0\
&WIPAddr=192.168.0.201&WNetmask=255.255.255.0&WGateway=192.168.0.1&WDNS1=192.168.0.1\
&WDNS2=0.0.0.0&WireType=1&WireSec=3&SSID=lab-net&WireCh=6&WEPAuthM=0&WEPMode=0&WEPKey0=\
&WEPKey1=&WEPKey2=&WEPKey3=&WEPKeyE0=0&WPAKey=labpassword&WPAEnc=0&WPAPSKeyM=1&TxRate=Auto\
&WepKeyL=0&UPnPE=1&PAccount=&PPwd=&PVP=&HttpPort=80&RTPPort=5000&RTSPPort=554" $root
  walk_read_line '/goform/Parameters?Act=1&Page=34' $root
} >"$work/hall.expected"
walk_expect_requests hall "$work/hall.expected"
echo "gui_wizard: wizard walk done"

# The link-server path: Search Intranet, a refused login, then the account's list.
cat >"$work/server.txt" <<EOF
click Search Intranet
expect-page CSubLogin
set-text ID: lab
set-text Password: wrong
click Next
answer OK
set-text Password: pw
click Next
expect-page CSubLinkSer
wait-list 2
screenshot $work/server.png
click Finish
expect-page CSubFirst
EOF
walk_run server "$work/server.txt" 60 --link-server 198.51.100.10
walk_passed server "$work/server.txt"
echo "gui_wizard: link-server walk done"

# The keyboard alone, from the home page to the setup-type page: Tab to each control, Space to
# press it, the arrow keys to pick the camera (they select the row they land on).
cat >"$work/keys.txt" <<EOF
expect-page CSubFirst
tab-to Setup Camera
key Space
expect-page CSubChoose
tab-to Yes
key Space
tab-to LAN
key Space
tab-to Next
key Space
expect-page CSubShowPic
tab-to Next
key Space
expect-page CSubSearchNet
tab-to Start Search
key Space
wait-list 2
tab-to Camera List
arrow-to 10.0.0.20
tab-to Next
key Space
expect-page CSubOption
EOF
walk_run keys "$work/keys.txt" 60
walk_passed keys "$work/keys.txt"
echo "gui_wizard: ok"
