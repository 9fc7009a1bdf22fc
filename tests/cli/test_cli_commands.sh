#!/bin/bash
# skyrelay-cli against skyrelay-acu-sim on pseudo-terminals: every command once, every exit
# code once. Each row starts a fresh simulator with its options, runs one command on it and
# checks the exit status and what it said, worked out from the sample files and the
# simulator's factory state. The --json rows branch on the document alone: it must be valid
# against the command's schema (or the error schema), and every stderr line carry the prefix.
# The rows are independent, so a few run at once (most of a row is waiting for the unit), each
# in a folder of its own; their results are printed in order at the end.
# Usage: test_cli_commands.sh CLI SIM DATA_DIR SCHEMA_DIR
set -u
CLI=$1 SIM=$2 DATA=$3 SCHEMAS=$4
HERE=$(dirname "$0")
WORK=$(mktemp -d)
ROWS=0
AT_ONCE=${CLI_TEST_ROWS_AT_ONCE:-4}
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$WORK"' EXIT

# row FUNCTION ARGS...: runs the row in the background in its own folder $D, whose unit is
# $D/acu ($PORT in the row's arguments and texts).
row() {
    ROWS=$((ROWS + 1))
    while [ "$(jobs -rp | wc -l)" -ge "$AT_ONCE" ]; do wait -n; done
    local dir=$WORK/$ROWS
    mkdir "$dir"
    (
        D=$dir SIM_PID=
        trap '[ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null' EXIT
        "$@"
    ) >"$dir/result" 2>&1 &
}

start_sim() {  # start_sim OPTIONS...: a fresh unit behind $D/acu
    "$SIM" --link "$D/acu" "$@" >"$D/sim.out" 2>&1 &
    SIM_PID=$!
    for _ in $(seq 100); do [ -e "$D/acu" ] && return; sleep 0.05; done
    echo "FAIL the simulator did not start"; exit 1
}

stop_sim() {
    kill "$SIM_PID" 2>/dev/null; wait "$SIM_PID" 2>/dev/null; SIM_PID=
    rm -f "$D/acu"
}

# check NAME SIM_OPTIONS EXPECTED_EXIT EXPECTED_TEXT CLI_ARGS...
check() {
    local name=$1 simopts=$2 want=$3 text=${4//\$PORT/$D/acu}; shift 4
    # shellcheck disable=SC2086
    start_sim $simopts
    local args=("${@//\$PORT/$D/acu}")
    timeout 60 "$CLI" "${args[@]}" >"$D/out" 2>&1 </dev/null
    local got=$?
    stop_sim
    if [ "$got" != "$want" ] || ! grep -qF -- "$text" "$D/out"; then
        echo "FAIL $name: exit $got (wanted $want), looked for: $text"; sed 's/^/    /' "$D/out"
    else
        echo "ok   $name"
    fi
}

# json NAME SIM_OPTIONS EXPECTED_EXIT SCHEMA EXPECT CLI_ARGS...: the run with --json; EXPECT is
# a Python expression over the document d and the stderr text err.
json() {
    local name=$1 simopts=$2 want=$3 schema=$4 expect=${5//\$PORT/$D/acu}; shift 5
    local lines=; [ "$schema" = status-lines ] && schema=status lines=--lines
    # shellcheck disable=SC2086
    start_sim $simopts
    local args=("${@//\$PORT/$D/acu}")
    timeout 90 "$CLI" "${args[@]}" --json >"$D/out" 2>"$D/err" </dev/null
    local got=$?
    stop_sim
    if [ "$got" != "$want" ] ||
        ! python3 "$HERE/check_json.py" "$SCHEMAS" "$schema" "$D/out" "$D/err" "$expect" $lines \
            >"$D/why" 2>&1; then
        echo "FAIL $name: exit $got (wanted $want)"; sed 's/^/    /' "$D/why" "$D/out" "$D/err"
    else
        echo "ok   $name"
    fi
}

printf 'NOT A SATELLITE FILE\n' >"$WORK/bad.sif"
printf 'A COMPANY NAME OF 24 CHS\nSECOND\n' >"$WORK/long.lcd"
FAST="--diag-step 20 --factory-step 20"
P=(--port '$PORT')
E='d["error"]'

# What a person reads.
row check "ports lists a given port first"     ""  0 '$PORT  (given)'   ports --port '$PORT'
row check "status"                             ""  0 "| state 4 Satellite Tracking | target 2 HOTBIRD 13.0E" status "${P[@]}"
row check "look-angles needs no port"          ""  0 "AZ 180.0  EL 38.2"  look-angles --site 0,45N --satellite 0
row check "upload --verify says what it compared" "" 0 "region BALTIC: 2 satellites read back and equal; the ACU reports no other region" upload "$DATA/all_continents.sif" --continent Europe --region BALTIC --verify "${P[@]}"
row check "upload --verify finds a misstored byte" "--misstore satellite:3" 4 "satellite 2 MERIDIAN-3 name: file 'MERIDIAN-3', ACU 'NERIDIAN-3'" upload "$DATA/all_continents.sif" --continent 1 --region BALTIC --verify "${P[@]}"
row check "lcd write reports a cut line"      ""  0 "long.lcd:1: 24 characters, the LCD line takes 20; cut to 'A COMPANY NAME OF 24'" lcd write "$WORK/long.lcd" "${P[@]}"
row check "a setup-mode command says how to resume" "" 0 "stays in setup mode" goto 120 30 "${P[@]}"
row check "diagnose"                           "$FAST" 0 "item 10 Receiver Connect  PASS" diagnose "${P[@]}"
row check "a usage error"                      ""  1 "skyrelay-cli: " frobnicate

# What a script reads.
row json "ports"                       "" 0 ports 'd["ports"][0] == {"port": "$PORT", "by_id": "", "usb_id": "", "adapter_serial": "", "given": True}' ports --port '$PORT'
row json "info"                        "" 0 info 'd["product"]["antenna_model"] == "OCEANSAT SR-60" and d["product"]["serial_number"] == "SR60-2419087" and d["region"]["satellites"][1] == {"position": 2, "name": "HOTBIRD", "longitude": 13.0, "is_target": True}' info "${P[@]}"
row json "status"                      "" 0 status 'd["state"] == 4 and d["state_name"] == "satellite_tracking" and d["target"] == {"position": 2, "name": "HOTBIRD", "longitude": 13.0} and d["gps"] == {"link": True, "longitude": 4.48, "latitude": 51.9}' status "${P[@]}"
row json "status --watch: JSON Lines with times" "" 0 status-lines 'len(d) == 2 and d[0]["time"] < d[1]["time"]' status "${P[@]}" --watch --count 2
row json "look-angles, signed"         "" 0 look-angles 'd["site"] == {"longitude": -3.7, "latitude": -40.4} and d["satellite"] == {"longitude": 19.2}' look-angles --site 3.7W,40.4S --satellite 19.2E
row json "look-angles refuses a bad site" "" 1 error "$E[\"kind\"] == \"usage\" and \"--site wants LON,LAT\" in $E[\"message\"]" look-angles --site 10E --satellite 0
row json "upload, counted from 1, --verify" "" 0 upload 'd["region"] == "BALTIC" and d["verify"]["equal"] and d["verify"]["satellites"] == 2 and d["setup_mode"] and not d["resumed"]' upload "$DATA/all_continents.sif" --continent 1 --region 3 --verify "${P[@]}"
row json "upload --resume tracks again" "" 0 upload 'd["resumed"] and not d["setup_mode"] and "tracks again" in err' upload "$DATA/all_continents.sif" --continent Europe --region BALTIC --resume "${P[@]}"
row json "upload --verify: differences in the result" "--misstore satellite:3" 4 upload "$E[\"kind\"] == \"differs\" and {\"record\": \"satellite 2 MERIDIAN-3\", \"field\": \"name\", \"file\": \"MERIDIAN-3\", \"acu\": \"NERIDIAN-3\"} in d[\"verify\"][\"differences\"]" upload "$DATA/all_continents.sif" --continent Europe --region BALTIC --verify "${P[@]}"
row json "upload of a missing file: the reason and the whole path" "" 1 error "$E[\"kind\"] == \"file\" and \"$WORK/none.sif: No such file or directory\" in $E[\"message\"]" upload "$WORK/none.sif" "${P[@]}"
row json "upload of a refused file"    "" 1 error "$E[\"kind\"] == \"file\" and \"bad.sif:\" in $E[\"message\"]" upload "$WORK/bad.sif" --continent Europe --region BALTIC "${P[@]}"
row json "lcd write --verify"          "" 0 lcd-write 'd["verify"]["equal"] and d["verify"]["lines"] == 14' lcd write "$DATA/lcd_nordic_fleet.lcd" --verify "${P[@]}"
row json "lcd write --verify finds a misstored byte" "--misstore lcd:45" 4 lcd-write "{\"record\": \"LCD line 3\", \"file\": \"NF-37M STARTING     \", \"acu\": \"NF-37N STARTING     \"} in d[\"verify\"][\"differences\"]" lcd write "$DATA/lcd_nordic_fleet.lcd" --verify "${P[@]}"
row json "lcd write refuses a .sif"    "" 1 error "$E[\"kind\"] == \"file\" and \"not LCD text\" in $E[\"message\"] and \"--force\" in $E[\"message\"]" lcd write "$DATA/all_continents.sif" "${P[@]}"
row json "lcd write --force writes it" "" 0 lcd-write 'd["written"]' lcd write "$DATA/all_continents.sif" --force "${P[@]}"
row json "lcd read"                    "" 0 lcd-read 'len(d["lines"]) == 14 and "complete !!!" not in err' lcd read "${P[@]}"
row json "diagnose"                    "$FAST" 0 diagnose 'd["passed"] and {"item": 10, "name": "Receiver Connect", "passed": True} in d["items"]' diagnose "${P[@]}"
row json "diagnose with a failing item" "$FAST --fail-item 4" 5 diagnose "$E[\"kind\"] == \"test_failed\" and {\"item\": 4, \"name\": \"AZ CW Limit Check\", \"passed\": False} in d[\"items\"]" diagnose "${P[@]}"
row json "goto"                        "" 0 acknowledged 'd["acu_command"] == {"code": 25, "name": "Go to position"} and d["setup_mode"]' goto 120 30 "${P[@]}"
row json "goto refuses what the line cannot carry" "" 1 error "$E[\"kind\"] == \"refused\" and \"out of range\" in $E[\"message\"]" goto 700 30 "${P[@]}"
row json "step"                        "" 0 acknowledged 'd["acu_command"]["code"] == 26' step az -5 "${P[@]}"
row json "params"                      "" 0 params 'd["parameters"]["tracking_scale"] == 1.8' params "${P[@]}"
row json "params --set"                "" 0 params 'd["parameters"]["break_time"] == 12' params --set break-time=12 "${P[@]}"
row json "target"                      "" 0 acknowledged 'd["acu_command"]["code"] == 17' target 1 "${P[@]}"
row json "restart"                     "" 0 acknowledged 'd["acu_command"]["code"] == 15' restart "${P[@]}"
row json "factory-reset needs --yes"   "" 1 error "\"refused without --yes\" in $E[\"message\"]" factory-reset "${P[@]}"
row json "factory-reset"               "$FAST" 0 factory-reset 'd["factory_reset"]' factory-reset --yes "${P[@]}"
row json "no such port: the reason and the whole path" "" 2 error "$E[\"kind\"] == \"port\" and \"$WORK/none: No such file or directory\" in $E[\"message\"]" info --port "$WORK/none"
row json "a silent unit"               "--silent" 3 error "$E[\"kind\"] == \"no_answer\" and $E[\"acu_command\"][\"code\"] == 1 and $E[\"sends\"] == 6" info "${P[@]}"
row json "a reply that never comes"    "--corrupt 2" 3 error "$E[\"acu_command\"][\"code\"] == 2 and $E[\"sends\"] == 1 and $E[\"step\"] == \"Connect\"" info "${P[@]}"
# Nine steps of 0.3 s each: longer than --timeout all together, each well within it.
row json "--timeout bounds each step"  "--delay 300" 0 info 'd["product"]["antenna_model"] == "OCEANSAT SR-60"' info "${P[@]}" --timeout 1.5
row json "--timeout names the command" "--ignore 25" 3 error "$E[\"acu_command\"][\"code\"] == 25 and \"did not answer Go to position (command 25) after\" in $E[\"message\"]" goto 120 30 --timeout 2 "${P[@]}"
row json "a line that goes away"       "--hangup-after-frames 3" 2 error "\"the line went away during\" in $E[\"message\"]" info "${P[@]}"
# Given up by the controller within a longer --timeout: exit 3, and never "acknowledged".
row json "a command given up"          "--ignore 25" 3 error "$E[\"acu_command\"][\"code\"] == 25 and $E[\"step\"] == \"Go to Position\" and \"acknowledged\" not in err" goto 120 30 --timeout 30 "${P[@]}"
row json "a usage error"               "" 1 error "$E[\"kind\"] == \"usage\"" frobnicate
row json "a limit said readably"       "" 1 error "$E[\"message\"].startswith(\"--timeout: wants seconds above 0 and at most 86400, not '0'\")" info --timeout 0
row json "report"                      "" 0 report 'd["antenna"]["serial_number"] == "SR60-2419087" and d["gps"]["longitude"] == 4.48' report "${P[@]}"

# report: the serial number and model the simulator was built with, in the HTML file -o names.
report_html() {
    start_sim
    timeout 60 "$CLI" report --port "$D/acu" -o "$D/x.html" >"$D/out" 2>&1; local html=$?
    stop_sim
    if [ "$html" = 0 ] && grep -q "<html" "$D/x.html" &&
            grep -q "SR60-2419087" "$D/x.html" && grep -q "OCEANSAT SR-60" "$D/x.html"; then
        echo "ok   report as an HTML file"
    else
        echo "FAIL report: exit $html"; cat "$D/out"
    fi
}
row report_html

# A second process on a port in use: "busy", and the first one carries on until Ctrl+C,
# which it answers with 130, its last JSON line saying so, and the port released.
busy_port() {
    start_sim
    "$CLI" status --watch --json --port "$D/acu" >"$D/watch" 2>"$D/watch.err" &
    local watch=$!
    for _ in $(seq 100); do grep -q "state" "$D/watch" && break; sleep 0.05; done
    timeout 60 "$CLI" info --port "$D/acu" >"$D/out" 2>&1; local second=$?
    kill -INT "$watch"; wait "$watch"; local first=$?
    timeout 60 "$CLI" status --port "$D/acu" >"$D/again" 2>&1; local again=$?
    stop_sim
    if [ "$second" = 2 ] && grep -q "busy" "$D/out" && [ "$first" = 130 ] && [ "$again" = 0 ] &&
            python3 "$HERE/check_json.py" "$SCHEMAS" status "$D/watch" "$D/watch.err" \
                'd[-1]["error"]["kind"] == "interrupted" and "time" in d[0]' --lines; then
        echo "ok   busy port, then Ctrl+C releases it"
    else
        echo "FAIL busy port: second $second, first $first, again $again"; cat "$D/out" "$D/watch"
    fi
}
row busy_port

wait
FAILED=0
for n in $(seq "$ROWS"); do
    cat "$WORK/$n/result"
    # A row that ended without its verdict (killed, or a shell error) fails too.
    if grep -q '^FAIL' "$WORK/$n/result" || ! grep -q '^ok ' "$WORK/$n/result"; then
        grep -q '^FAIL' "$WORK/$n/result" || echo "FAIL row $n ended without a verdict"
        FAILED=1
    fi
done
exit $FAILED
