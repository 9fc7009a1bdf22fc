#!/bin/bash
# skyrelay-cli against skyrelay-acu-sim on pseudo-terminals: every command once, every exit
# code once. Each row starts a fresh simulator with its options, runs one command on it and
# checks the exit status and a text of its output, worked out from the sample files and the
# simulator's factory state.
# Usage: test_cli_commands.sh CLI SIM DATA_DIR
set -u
CLI=$1 SIM=$2 DATA=$3
WORK=$(mktemp -d)
SIM_PID=
FAILED=0
trap '[ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null; rm -rf "$WORK"' EXIT

start_sim() {  # start_sim OPTIONS...: a fresh unit behind $WORK/acu
    rm -f "$WORK/acu"
    "$SIM" --link "$WORK/acu" "$@" >"$WORK/sim.out" 2>&1 &
    SIM_PID=$!
    for _ in $(seq 100); do [ -e "$WORK/acu" ] && return; sleep 0.05; done
    echo "the simulator did not start"; exit 1
}

stop_sim() {
    kill "$SIM_PID" 2>/dev/null; wait "$SIM_PID" 2>/dev/null; SIM_PID=
}

# check NAME SIM_OPTIONS EXPECTED_EXIT EXPECTED_TEXT CLI_ARGS...  ($PORT in CLI_ARGS is the unit)
check() {
    local name=$1 simopts=$2 want=$3 text=$4; shift 4
    # shellcheck disable=SC2086
    start_sim $simopts
    local args=("${@//\$PORT/$WORK/acu}")
    timeout 60 "$CLI" "${args[@]}" >"$WORK/out" 2>&1 </dev/null
    local got=$?
    stop_sim
    if [ "$got" != "$want" ] || ! grep -qF -- "$text" "$WORK/out"; then
        echo "FAIL $name: exit $got (wanted $want), looked for: $text"; sed 's/^/    /' "$WORK/out"
        FAILED=1
    else
        echo "ok   $name"
    fi
}

printf 'NOT A SATELLITE FILE\n' >"$WORK/bad.sif"
printf 'A COMPANY NAME OF 24 CHS\nSECOND\n' >"$WORK/long.lcd"
FAST="--diag-step 20 --factory-step 20"
P=(--port '$PORT')

check "ports lists a given port first"      ""  0 "$WORK/acu  (given)"   ports --port '$PORT'
check "info as JSON"                       ""  0 '"modelName": "OCEANSAT SR-60"' info "${P[@]}" --json
check "status"                             ""  0 "state 4 Satellite Tracking | target 2 HOTBIRD 13.0E" status "${P[@]}"
check "status --watch --count"             ""  0 '"state":4'          status "${P[@]}" --watch --count 2 --json
check "look-angles needs no port"          ""  0 "AZ 180.0  EL 38.2"  look-angles --site 0,45N --satellite 0
check "look-angles refuses a bad site"     ""  1 "--site wants LON,LAT" look-angles --site 10E --satellite 0
check "upload with verify"                 ""  0 "verified, region and 2 satellites" upload "$DATA/all_continents.sif" --continent Europe --region BALTIC --verify "${P[@]}"
check "upload of a refused file"           ""  1 "bad.sif:"           upload "$WORK/bad.sif" --continent Europe --region BALTIC "${P[@]}"
check "upload --verify finds a misstored byte" "--misstore satellite:3" 4 "satellite 2 MERIDIAN-3 name: file 'MERIDIAN-3', ACU 'NERIDIAN-3'" upload "$DATA/all_continents.sif" --continent 0 --region BALTIC --verify "${P[@]}"
check "lcd write --verify"                 ""  0 "verified, 272 bytes" lcd write "$DATA/lcd_nordic_fleet.lcd" --verify "${P[@]}"
check "lcd write --verify finds a misstored byte" "--misstore lcd:45" 4 "LCD line 3 text: file 'NF-37M STARTING     ', ACU 'NF-37N STARTING     '" lcd write "$DATA/lcd_nordic_fleet.lcd" --verify "${P[@]}"
check "lcd write reports a cut line"      ""  0 "long.lcd:1: 24 characters, the LCD line takes 20; cut to 'A COMPANY NAME OF 24'" lcd write "$WORK/long.lcd" "${P[@]}"
check "lcd read"                           ""  0 "LCD display data read complete" lcd read -o "$WORK/read.lcd" "${P[@]}"
check "diagnose"                           "$FAST" 0 "item 10 Receiver Connect  PASS" diagnose "${P[@]}"
check "diagnose with a failing item"       "$FAST --fail-item 4" 5 "item 4 AZ CW Limit Check  FAIL" diagnose "${P[@]}"
check "goto"                               ""  0 "Go to position (command 25) acknowledged" goto 120 30 "${P[@]}"
check "goto refuses what the line cannot carry" "" 1 "out of range" goto 700 30 "${P[@]}"
check "step"                               ""  0 "Move azimuth (command 26) acknowledged" step az -5 "${P[@]}"
check "params"                             ""  0 "tracking-scale=1.80" params "${P[@]}"
check "params --set"                       ""  0 "break-time=12"      params --set break-time=12 "${P[@]}"
check "target"                             ""  0 "(command 17) acknowledged" target 1 "${P[@]}"
check "restart"                            ""  0 "Antenna restart (command 15) acknowledged" restart "${P[@]}"
check "factory-reset needs --yes"          ""  1 "refused without --yes" factory-reset "${P[@]}"
check "factory-reset"                      "$FAST" 0 "factory-reset: done" factory-reset --yes "${P[@]}"
check "no such port"                       ""  2 "vanished"           info --port "$WORK/none"
check "a silent unit"                      "--silent" 3 "did not answer Link check (command 1) after 6 tries" info "${P[@]}"
check "a reply that never comes"           "--corrupt 2" 3 "did not answer Antenna information request (command 2) after 1 try" info "${P[@]}"
# Nine steps of 0.3 s each: longer than --timeout all together, each well within it.
check "--timeout bounds each step"         "--delay 300" 0 '"modelName": "OCEANSAT SR-60"' info "${P[@]}" --json --timeout 1.5
check "--timeout names the command"        "--ignore 25" 3 "did not answer Go to position (command 25) after" goto 120 30 --timeout 2 "${P[@]}"
check "a line that goes away"              "--hangup-after-frames 3" 2 "the line went away during" info "${P[@]}"
# Given up by the controller within a longer --timeout: the window's message, exit 3, and never
# "acknowledged".
check "a command given up"                 "--ignore 25" 3 "No answer to command 25 (Go to position) came from the ACU in 20 seconds" goto 120 30 --timeout 30 "${P[@]}"
grep -q "acknowledged" "$WORK/out" && { echo "FAIL a command given up: said acknowledged"; FAILED=1; }
check "a usage error"                      ""  1 "" frobnicate

# report: the serial number and model the simulator was built with, in JSON that parses and
# in the HTML file -o names.
start_sim
timeout 60 "$CLI" report --port "$WORK/acu" --json >"$WORK/report.json" 2>"$WORK/out"; json=$?
timeout 60 "$CLI" report --port "$WORK/acu" -o "$WORK/x.html" >>"$WORK/out" 2>&1; html=$?
stop_sim
if [ "$json" = 0 ] && python3 -c 'import json, sys
a = json.load(open(sys.argv[1]))["antenna"]
sys.exit(a["serial_number"] != "SR60-2419087" or a["antenna_model"] != "OCEANSAT SR-60")' \
        "$WORK/report.json" && [ "$html" = 0 ] && grep -q "<html" "$WORK/x.html" &&
        grep -q "SR60-2419087" "$WORK/x.html" && grep -q "OCEANSAT SR-60" "$WORK/x.html"; then
    echo "ok   report as JSON and as an HTML file"
else
    echo "FAIL report: exit $json (JSON), $html (HTML)"; cat "$WORK/out" "$WORK/report.json"
    FAILED=1
fi

# A second process on a port in use: "busy", and the first one carries on until Ctrl+C,
# which it answers with 130 and the port released.
start_sim
"$CLI" status --watch --port "$WORK/acu" >"$WORK/watch" 2>&1 &
WATCH=$!
for _ in $(seq 100); do grep -q "state" "$WORK/watch" && break; sleep 0.05; done
timeout 60 "$CLI" info --port "$WORK/acu" >"$WORK/out" 2>&1; second=$?
kill -INT "$WATCH"; wait "$WATCH"; first=$?
timeout 60 "$CLI" status --port "$WORK/acu" >"$WORK/again" 2>&1; again=$?
stop_sim
if [ "$second" = 2 ] && grep -q "busy" "$WORK/out" && [ "$first" = 130 ] && [ "$again" = 0 ]; then
    echo "ok   busy port, then Ctrl+C releases it"
else
    echo "FAIL busy port: second $second, first $first, again $again"; cat "$WORK/out" "$WORK/watch"
    FAILED=1
fi
exit $FAILED
