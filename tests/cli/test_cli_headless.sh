#!/bin/bash
# skyrelay-cli needs no display: it links no Qt Gui or Widgets and runs with DISPLAY unset.
# Usage: test_cli_headless.sh CLI
set -u
CLI=$1
if ldd "$CLI" | grep -E 'libQt6(Gui|Widgets)'; then
    echo "FAIL skyrelay-cli links Qt Gui or Widgets"; exit 1
fi
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$CLI" look-angles --site 0,45N --satellite 0) || {
    echo "FAIL skyrelay-cli did not run without a display"; exit 1; }
[ "$out" = "AZ 180.0  EL 38.2  Skew -0.0" ] || { echo "FAIL unexpected output: $out"; exit 1; }
echo "ok   no Qt Gui/Widgets, runs without DISPLAY"
