#!/usr/bin/env bash
# The desktop program in the namespace lab, walked by its buttons: a new wireless camera set up by
# WPS. Home, Setup Camera, Yes/Wireless, the diagram, the search, the pick, the read (with the
# camera's access-point scan), Wizard Setup, the wizard address (a fixed one goes to the
# access-point list without offering WPS, whose save could not write it; back, and DHCP), "use
# WPS" Yes, the WPS picture, the WPS page, UPnP, the summary, the save in WPS mode, the re-find and
# the finish page. The requests the emulated camera received are compared byte for byte.
set -euo pipefail
# shellcheck source=gui_walk.bash
. "$(dirname "$0")/gui_walk.bash"
walk_init gui_wps "${1:?bin folder}"

walk_cameras '{"cameras": [
  {"name": "yard", "bindAddress": "10.0.0.20", "httpPort": 80, "mac": "00:1C:A0:00:00:20",
   "cameraId": "SN000020", "description": "Vexor-41HA", "interface": "wireless",
   "manageAddress": true, "quietAfterWriteMs": 500, "wps": "succeed", "wpsDurationMs": 1000,
   "accessPoints": [{"ssid": "lab-net", "security": "WPA2-PSK"}]}]}'

cat >"$work/wps.txt" <<EOF
$(walk_pick_steps Wireless 1 10.0.0.20)
expect-page CSubOption
check Wizard Setup
click Next
expect-page CSubWizardIP
set-ip "IP Address" 10.0.0.60
set-ip "DNS Server" 10.0.0.1
click Next
expect-page CSubAPScan
click Back
expect-page CSubWizardIP
check DHCP IP Address
click Next
expect-message WPS
answer Yes
expect-page CSubWPSPic
click Next
expect-page CSubWPS
expect-message WPS setup succeeded
answer OK
click Next
expect-page CSubUPnP
click Next
expect-page CSubSetAutoParam
expect-label networkText DHCP IP Address\nGateway:10.0.0.1
expect-label wirelessText Wireless link set up by WPS\nWPS succeeded: the camera has the router's wireless settings.
dump-session $work/summary.json
click Save
answer OK
expect-message The settings were saved. The camera now restarts and joins the wireless network
answer OK
expect-message The camera was found again at its new address.
answer OK
expect-page CSubSetupFinish
expect-label addressText http://10.0.0.20:80
expect-label interfaceText wireless
expect-label linkStatus Camera is linked  with Server
screenshot $work/finish.png
EOF
walk_run wps "$work/wps.txt" 150
walk_passed wps "$work/wps.txt"
# The save in WPS mode reads the clock instead of writing it and sends the short network write.
{
  for _ in 1 2 3; do walk_read_line '/cgi-bin/config_sysinfo.cgi?Act=1&Page=1' Og==; done
  walk_read_all Og==
  walk_scan_line Og==
  # The WPS page: the push-button start, then one poll that finds the router's acknowledgement.
  printf '%s\n' '"GET /cgi-bin/wps.cgi HTTP/1.0\nUser-Agent: korimo-1.0.1\nAuthorization: Basic Og==\n\n\n "'
  walk_write_line '/cgi-bin/config_network.cgi?Act=3&Page=3&WPS&WPS_ACK' Og==
  walk_save_lines Og== IPCAM
  walk_read_line '/cgi-bin/config_time.cgi?Act=1' Og==
  walk_write_line "/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=0&IPAddr=10.0.0.20\
&Netmask=255.255.255.0&Gateway=10.0.0.1&DNS1=10.0.0.1&DNS2=0.0.0.0&UPnPE=1&PAccount=&PPwd=&PVP=\
&HttpPort=80&RTPPort=5000&RTSPPort=554" Og==
  walk_read_line '/goform/Parameters?Act=1&Page=34' Og==
} >"$work/yard.expected"
walk_expect_requests yard "$work/yard.expected"
[ "$(walk_field useWps "$work/summary.json")" = 1 ] || walk_fail "WPS was not chosen"
echo "gui_wps: ok"
