# The desktop program inside the lab PC, walked by its buttons through every one of its 20 pages, in
# English and in Traditional Chinese: the wizard for a new wireless camera (WPS picture and page,
# the access-point list, UPnP, the summary, the save, the re-find and the finish page), the manual
# path of an existing camera (system, ISP link, wired and wireless pages, and the PPPoE account
# page) and the link-server pages. A picture of every page is saved under the build folder as
# demo-gui/<page>-<language>.png. With a display the window shows there (QT_QPA_PLATFORM is left
# alone); without one the program runs offscreen. Sourced by scripts/demo with $bin, $P, $here and
# $work; the cameras of 10-cameras.sh are running.

gui_shots="$(cd "$bin/.." && pwd)/demo-gui"
mkdir -p "$gui_shots"
# A program folder of its own, so the demo's language choice never touches the build's.
gui_dir="$work/gui"
mkdir -p "$gui_dir/Language" "$work/gui-run"
chmod 700 "$work/gui-run"
cp "$bin/orvantis-walk" "$gui_dir/orvantis"
cp "$bin/Language/"*.ini "$gui_dir/Language/"
gui_platform=(QT_QPA_PLATFORM=offscreen)
if [ -n "${DISPLAY:-}" ]; then
  gui_platform=(DISPLAY="$DISPLAY")
  echo "-- the walks show on $DISPLAY"
fi

# gui_walk LANG NAME: runs the script $work/gui-NAME.txt; the fixed waits run ten times faster.
gui_walk() {
  local lang=$1 name=$2
  printf '[DefaultLang]\r\nLangFile=%s.ini\r\n' "$lang" >"$gui_dir/defaultlang.ini"
  sed "s/@LANG@/$lang/g; s#@SHOTS@#$gui_shots#g" "$work/gui-$name.txt" >"$work/gui-$name-$lang.txt"
  if "$here/lab" exec "$P" pc env "${gui_platform[@]}" XDG_RUNTIME_DIR="$work/gui-run" \
    ORVANTIS_PROGRAM_FOLDER="$gui_dir" ORVANTIS_TIMER_SCALE=10 ORVANTIS_ADAPTER=eth0 \
    ORVANTIS_TEST_STEP_MS=40000 ORVANTIS_TEST_SCRIPT="$work/gui-$name-$lang.txt" \
    timeout 180 "$gui_dir/orvantis" --probe-host 198.51.100.10 --link-server 198.51.100.10 \
    >"$work/gui-$name-$lang.out" 2>&1; then
    echo "-- $name ($lang): $(tail -1 "$work/gui-$name-$lang.out")"
  else
    echo "-- $name ($lang) stopped:"
    grep 'test-script: step .* failed' "$work/gui-$name-$lang.out" || true
  fi
}

# A new wireless camera ("door", picked by its serial number wherever it is now): WPS first (with
# DHCP; a fixed wireless address is not offered WPS), then back to a fixed address and the network
# from the access-point list instead.
cat >"$work/gui-wizard.txt" <<'EOF'
expect-page CSubFirst
screenshot @SHOTS@/CSubFirst-@LANG@.png
click @FirstPage/Btn_SetupCam
expect-page CSubChoose
check @ChoosePage/RadioYes
check @ChoosePage/RadioWireless
screenshot @SHOTS@/CSubChoose-@LANG@.png
click @Common/BtnNext
expect-page CSubShowPic
screenshot @SHOTS@/CSubShowPic-@LANG@.png
click @Common/BtnNext
expect-page CSubSearchNet
click @SearchPage/BtnStrartFind
select-text SN000020
screenshot @SHOTS@/CSubSearchNet-@LANG@.png
click @Common/BtnNext
expect-page CSubOption
check @OptionPage/RadioWizard
screenshot @SHOTS@/CSubOption-@LANG@.png
click @Common/BtnNext
expect-page CSubWizardIP
screenshot @SHOTS@/CSubWizardIP-@LANG@.png
check @WizardIPPage/RadioDHCP
click @Common/BtnNext
answer Yes
expect-page CSubWPSPic
screenshot @SHOTS@/CSubWPSPic-@LANG@.png
click @Common/BtnNext
expect-page CSubWPS
screenshot @SHOTS@/CSubWPS-@LANG@.png
expect-message @WPSPage/Message3
answer OK
click @Common/BtnBack
expect-page CSubWPSPic
click @Common/BtnBack
expect-page CSubWizardIP
click @Common/BtnNext
expect-page CSubAPScan
set-text "@ApscanPage/WPAKey" labpassword
screenshot @SHOTS@/CSubAPScan-@LANG@.png
click @Common/BtnNext
expect-page CSubUPnP
screenshot @SHOTS@/CSubUPnP-@LANG@.png
click @Common/BtnNext
expect-page CSubSetAutoParam
screenshot @SHOTS@/CSubSetAutoParam-@LANG@.png
click @Common/BtnSave
answer OK
expect-message @WizardDlg/Message3
screenshot @SHOTS@/message-@LANG@.png
answer OK
expect-message @WizardDlg/Message6
answer OK
expect-page CSubSetupFinish
screenshot @SHOTS@/CSubSetupFinish-@LANG@.png
click @Common/BtnFinish
expect-page CSubFirst
EOF

# An existing camera by hand, through the wired and wireless pages; nothing is saved.
cat >"$work/gui-manual.txt" <<'EOF'
click @FirstPage/Btn_SetupCam
expect-page CSubChoose
check @ChoosePage/RadioNo
click @Common/BtnNext
expect-page CSubSearchNet
click @SearchPage/BtnStrartFind
select-text SN000020
click @Common/BtnNext
expect-page CSubSystem
screenshot @SHOTS@/CSubSystem-@LANG@.png
click @Common/BtnNext
expect-page CSubLANISP
check @LANISPPage/RadioLAN
screenshot @SHOTS@/CSubLANISP-@LANG@.png
click @Common/BtnNext
expect-page CSubLANIP
check @LANPage/RadioDHCP
screenshot @SHOTS@/CSubLANIP-@LANG@.png
click @Common/BtnNext
answer Yes
expect-page CSubWLANAP
screenshot @SHOTS@/CSubWLANAP-@LANG@.png
click @Common/BtnNext
expect-page CSubWLANIP
screenshot @SHOTS@/CSubWLANIP-@LANG@.png
# The PPPoE account page follows the link choice only on a PC with a PPPoE link, which the lab PC
# has not: the step that page would come from is posted directly.
post-step 29
expect-page CSubPPPoE
screenshot @SHOTS@/CSubPPPoE-@LANG@.png
EOF

# The link server's list for the demo account.
cat >"$work/gui-server.txt" <<'EOF'
click @FirstPage/Btn_FindNet
expect-page CSubLogin
set-text "@LoginPage/ID" demo
set-text "@LoginPage/Password" demo
screenshot @SHOTS@/CSubLogin-@LANG@.png
click @Common/BtnNext
expect-page CSubLinkSer
wait-list 2
screenshot @SHOTS@/CSubLinkSer-@LANG@.png
EOF

for lang in ENG CHT; do
  for walk in wizard manual server; do gui_walk "$lang" "$walk"; done
done
echo "-- pictures of the pages: $gui_shots ($(ls "$gui_shots" | wc -l) files)"
