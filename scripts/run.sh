#!/usr/bin/env bash
# Starts the bundled ACU simulator and Skyrelay attached to it; the simulator stops when
# Skyrelay closes. Without a display both run under Xvfb for a few seconds and a screenshot
# of the connected main window is saved instead.
set -euo pipefail

build_dir=${1:-build}
sim="$build_dir/sim/skyrelay-acu-sim"
app="$build_dir/src/skyrelay"
shot="$build_dir/skyrelay.png"
headless_seconds=${SKYRELAY_HEADLESS_SECONDS:-6}

work=$(mktemp -d)
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

"$sim" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
    [ -s "$work/sim.out" ] && break
    sleep 0.1
done
device=$(head -n 1 "$work/sim.out")
if [ -z "$device" ]; then
    echo "The ACU simulator did not start:" >&2
    cat "$work/sim.err" >&2
    exit 1
fi
echo "ACU simulator on $device"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$app" "$device"
    exit 0
fi

echo "No display: running under Xvfb for ${headless_seconds} s and taking a screenshot."
xvfb-run -a -s "-screen 0 1024x600x24" bash -c '
    "$1" "$2" &
    app_pid=$!
    sleep "$3"
    import -window root "$4"
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
' _ "$app" "$device" "$headless_seconds" "$shot"
echo "Screenshot of the connected main window: $shot"
