# The desktop program inside the lab PC. With a display and a terminal it opens the window there
# (close it to go on); otherwise it runs under Xvfb and saves pictures of the home page, in English
# and in Traditional Chinese, beside the build's bin folder. Sourced by scripts/demo with $bin, $P,
# $here and $work.

gui_shots=$(cd "$bin/.." && pwd)
# A program folder of its own, so the demo's language choice never touches the build's.
gui_dir="$work/gui"
mkdir -p "$gui_dir/Language"
cp "$bin/orvantis" "$gui_dir/"
cp "$bin/Language/"*.ini "$gui_dir/Language/"
# The reachability probe goes to the lab's "internet" host, the link server lives there too.
gui_args=(--probe-host 198.51.100.10 --link-server 198.51.100.10)

if [ -n "${DISPLAY:-}" ] && [ -t 0 ]; then
  printf '[DefaultLang]\r\nLangFile=ENG.ini\r\n' >"$gui_dir/defaultlang.ini"
  echo "-- orvantis opens on $DISPLAY inside ${P}pc; close its window to go on"
  "$here/lab" exec "$P" pc env XDG_RUNTIME_DIR="$work" DISPLAY="$DISPLAY" \
    "$gui_dir/orvantis" "${gui_args[@]}" || true
elif command -v xvfb-run >/dev/null; then
  for pack in ENG CHT; do
    printf '[DefaultLang]\r\nLangFile=%s.ini\r\n' "$pack" >"$gui_dir/defaultlang.ini"
    shot="$gui_shots/demo-gui-home-$pack.png"
    rm -f "$shot"
    "$here/lab" exec "$P" pc env XDG_RUNTIME_DIR="$work" timeout 60 \
      xvfb-run -a -s "-screen 0 1024x768x24" "$gui_dir/orvantis" "${gui_args[@]}" \
      --screenshot "$shot" >/dev/null 2>&1 || true
    if [ -s "$shot" ]; then
      echo "-- home page ($pack): $shot"
    else
      echo "-- home page ($pack): no picture was saved"
    fi
  done
else
  echo "-- no display and no xvfb-run: skipped (make deps installs xvfb)"
fi
