#!/bin/sh
# Runs a test program on the X server of xvfb-run under a real window manager (openbox), so that
# a close request travels as on a desktop: the manager sends WM_DELETE_WINDOW to the window.
# Exits 77 (skipped) where the manager is missing.
command -v openbox >/dev/null 2>&1 && command -v wmctrl >/dev/null 2>&1 || exit 77
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
tries=0
until wmctrl -m >/dev/null 2>&1; do
  tries=$((tries + 1))
  [ "$tries" -lt 100 ] || { kill "$manager"; exit 77; }
  sleep 0.1
done
"$@"
status=$?
kill "$manager" 2>/dev/null
exit "$status"
