#!/usr/bin/env bash
# skyrelay-exporter as a fleet's Prometheus sees it: a real Prometheus on 127.0.0.1 scrapes it
# every second while it watches simulated units on pseudo-terminals. Through Prometheus' HTTP
# API: skyrelay_up is 1 for each unit, then 0 for the one whose simulator is stopped (a
# hang-up), then 1 again once it is back; skyrelay_signal_level is a level its simulator sent;
# and the simulators' logs show that the exporter sent only the codes 1, 2, 3, 4 and 14, even
# to a unit that asked for its default data.
#   test_exporter_prometheus.sh EXPORTER SIM one     one unit, the one that hangs up
#   test_exporter_prometheus.sh EXPORTER SIM three   two units of a fleet and that one
#   test_exporter_prometheus.sh EXPORTER SIM config  broken configurations refused
# Exits 77 (skipped) when Debian's prometheus is not installed.
set -euo pipefail
exporter=${1:?usage: $0 EXPORTER SIM one|three|config}
sim=${2:?}
mode=${3:-one}
tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; for f in "$tmp"/*.err; do [ -f "$f" ] && sed "s|^|$(basename "$f"): |" "$f" >&2; done; exit 1; }

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# Waits until FILE has a line matching PATTERN (at most 20 s).
await_line() {
  for _ in $(seq 200); do grep -q -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  fail "no '$2' in $1"
}

start_sim() {  # NAME LINK LOG [options...]
  local name=$1 link=$2 log=$3; shift 3
  "$sim" --link "$link" --log "$log" "$@" >"$tmp/$name.out" 2>"$tmp/$name.err" &
  pids+=($!)
  eval "${name}_pid=$!"
  for _ in $(seq 100); do [ -e "$link" ] || [ -e "${link}1" ] && return 0; sleep 0.1; done
  fail "the simulator $name made no link"
}

# The codes of what the exporter sent, from simulator logs: one line a frame, "PC>ACU CODE ...".
sent_codes() { awk '$2 == "PC>ACU" { print $3 }' "$@" | sort -un | tr '\n' ' '; }

if [ "$mode" = config ]; then
  start_sim unit "$tmp/acu" "$tmp/unit.log"
  refused() {  # CONFIG_TEXT EXPECTED_MESSAGE
    printf '%b' "$1" >"$tmp/fleet.yml"
    local status=0
    "$exporter" --config "$tmp/fleet.yml" --web.listen-address 127.0.0.1:0 2>"$tmp/refused.txt" || status=$?
    [ "$status" = 1 ] || fail "exit $status, not 1, for $(cat "$tmp/fleet.yml")"
    grep -qF -- "$2" "$tmp/refused.txt" || fail "'$(cat "$tmp/refused.txt")' does not say '$2'"
  }
  refused "acus:\n  - name: a\n    port: $tmp/acu\n  - name: b c\n    port: /dev/null\n" \
    "$tmp/fleet.yml:4: acus[2].name: 'b c' may hold only letters"
  refused "acus:\n  - name: a\n    port: $tmp/acu\n  - name: b\n" "$tmp/fleet.yml:4: acus[2].port: missing"
  refused "acus:\n  - name: a\n    port: $tmp/acu\n    speed: 9600\n" "$tmp/fleet.yml:4: acus[1].speed: unknown key"
  refused "acus:\n  - name: b\n    port: tcp+tls://127.0.0.1:1\n    tls_cert: $tmp/none.pem\n" \
    "$tmp/fleet.yml:2: acus[1]: The client certificate $tmp/none.pem cannot be read"
  # Refused before anything was opened: the unit named first heard nothing.
  sleep 0.5
  [ ! -s "$tmp/unit.log" ] || fail "the exporter wrote to a unit before refusing its configuration"
  echo "broken configurations refused with their lines; nothing opened"
  exit 0
fi

command -v prometheus >/dev/null || { echo "prometheus is not installed (Debian's prometheus): skipped"; exit 77; }

names=()
if [ "$mode" = three ]; then
  start_sim fleet "$tmp/fleet-acu" "$tmp/fleet.log." --units 2
  names+=(unit1 unit2)
fi
# This unit also asks, unasked, for its default data (reply 6), as a unit after a reset does:
# the window would answer with commands 7, 8 and 9; the exporter must keep them off the line.
start_sim lone "$tmp/lone-acu" "$tmp/lone.log" --announce-after 2000
names+=(lone)
{
  echo "acus:"
  if [ "$mode" = three ]; then
    printf '  - name: unit%s\n    port: %s\n' 1 "$tmp/fleet-acu1" 2 "$tmp/fleet-acu2"
  fi
  printf '  - name: lone\n    port: %s\n' "$tmp/lone-acu"
} >"$tmp/fleet.yml"

"$exporter" --config "$tmp/fleet.yml" --web.listen-address 127.0.0.1:0 --reconnect-delay 1 \
  2>"$tmp/exporter.err" &
pids+=($!)
await_line "$tmp/exporter.err" "listening on http://127.0.0.1:"
exporter_address=$(sed -n 's|.*listening on http://\(127.0.0.1:[0-9]*\)/.*|\1|p' "$tmp/exporter.err")
curl -sf "http://$exporter_address/-/healthy" >/dev/null || fail "/-/healthy did not answer"

prometheus_port=$(free_port)
cat >"$tmp/prometheus.yml" <<YAML
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: skyrelay
    static_configs:
      - targets: ["$exporter_address"]
YAML
prometheus --config.file="$tmp/prometheus.yml" --storage.tsdb.path="$tmp/data" \
  --web.listen-address="127.0.0.1:$prometheus_port" --log.level=warn 2>"$tmp/prometheus.err" &
pids+=($!)
for _ in $(seq 300); do curl -sf "http://127.0.0.1:$prometheus_port/-/ready" >/dev/null && break; sleep 0.1; done

# The value Prometheus has now for QUERY, or nothing.
value() {
  curl -sf "http://127.0.0.1:$prometheus_port/api/v1/query" --data-urlencode "query=$1" |
    python3 -c 'import json, sys
result = json.load(sys.stdin)["data"]["result"]
print(result[0]["value"][1] if result else "")'
}

# Waits until QUERY gives EXPECTED, at most SECONDS.
await_value() {
  local query=$1 expected=$2 seconds=$3 got=""
  for _ in $(seq $((seconds * 4))); do
    got=$(value "$query")
    [ "$got" = "$expected" ] && return 0
    sleep 0.25
  done
  fail "$query is '$got', not '$expected' after $seconds s"
}

for name in "${names[@]}"; do await_value "skyrelay_up{acu=\"$name\"}" 1 40; done
log_of() { case $1 in unit*) echo "$tmp/fleet.log.${1#unit}" ;; *) echo "$tmp/$1.log" ;; esac; }
for name in "${names[@]}"; do
  level=$(value "skyrelay_signal_level{acu=\"$name\"}")
  grep -q "ACU>PC  14 .*signal $level," "$(log_of "$name")" ||
    fail "$name: Prometheus has signal $level, which its simulator never sent"
done

await_line "$tmp/exporter.err" "lone: kept Region record (command 7) off the line"

# The lone unit hangs up: its simulator is stopped, and started again on the same path.
kill "$lone_pid"
wait "$lone_pid" 2>/dev/null || true
await_value 'skyrelay_up{acu="lone"}' 0 15
await_value 'skyrelay_hangups_total{acu="lone"}' 1 10
for name in "${names[@]}"; do
  [ "$name" = lone ] || await_value "skyrelay_up{acu=\"$name\"}" 1 5
done
start_sim lone "$tmp/lone-acu" "$tmp/lone-again.log"
await_value 'skyrelay_up{acu="lone"}' 1 40

codes=$(sent_codes "$tmp"/*.log*)
[ "$codes" = "1 2 3 4 14 " ] || fail "the exporter sent the codes $codes, not only 1 2 3 4 14"
echo "Prometheus saw ${names[*]} up, the hang-up and the return; the exporter sent only $codes"
