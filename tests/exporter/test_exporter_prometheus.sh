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
#   test_exporter_prometheus.sh EXPORTER SIM web     broken web configurations refused, a good
#                                                    one served over HTTPS
#   test_exporter_prometheus.sh EXPORTER SIM https   Prometheus scrapes one unit over HTTPS with
#                                                    basic auth and a client certificate; curl
#                                                    without password or certificate is refused
# Exits 77 (skipped) when Debian's prometheus (or, for web and https, htpasswd) is missing.
set -euo pipefail
exporter=${1:?usage: $0 EXPORTER SIM one|three|config|web|https}
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

# A certificate authority, the exporter's certificate for 127.0.0.1 and a scraper's, all made
# here with openssl; and users whose bcrypt hashes htpasswd (apache2-utils) writes.
make_door() {
  command -v htpasswd >/dev/null || { echo "htpasswd is not installed (apache2-utils): skipped"; exit 77; }
  local key=(-newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes)
  openssl req -x509 "${key[@]}" -keyout "$tmp/ca.key" -out "$tmp/ca.pem" -days 2 -subj /CN=test-ca 2>/dev/null
  for who in server client; do
    openssl req "${key[@]}" -keyout "$tmp/$who.key" -out "$tmp/$who.csr" -subj "/CN=$who" 2>/dev/null
    printf 'subjectAltName=IP:127.0.0.1\n' >"$tmp/ext"
    openssl x509 -req -in "$tmp/$who.csr" -CA "$tmp/ca.pem" -CAkey "$tmp/ca.key" -CAcreateserial \
      -days 2 -extfile "$tmp/ext" -out "$tmp/$who.pem" 2>/dev/null
  done
  hash=$(htpasswd -nbBC 4 prometheus 'correct horse' | cut -d: -f2)
}

if [ "$mode" = web ]; then
  make_door
  start_sim unit "$tmp/acu" "$tmp/unit.log"
  printf 'acus:\n  - name: a\n    port: %s\n' "$tmp/acu" >"$tmp/fleet.yml"
  web_refused() {  # WEB_CONFIG_TEXT EXPECTED_MESSAGE
    printf '%b' "$1" >"$tmp/web.yml"
    local status=0
    "$exporter" --config "$tmp/fleet.yml" --web.config.file "$tmp/web.yml" \
      --web.listen-address 127.0.0.1:0 2>"$tmp/refused.txt" || status=$?
    [ "$status" = 1 ] || fail "exit $status, not 1, for $(cat "$tmp/web.yml")"
    grep -qF -- "$2" "$tmp/refused.txt" || fail "'$(cat "$tmp/refused.txt")' does not say '$2'"
    ! grep -q listening "$tmp/refused.txt" || fail "it listened before refusing $(cat "$tmp/web.yml")"
  }
  tls="tls_server_config:\n  cert_file: $tmp/server.pem\n"
  web_refused "tls_server_config:\n  cert_file: none.pem\n  key_file: server.key\n" \
    "$tmp/web.yml:2: tls_server_config.cert_file: $tmp/none.pem: No such file or directory"
  web_refused "${tls}  key_file: $tmp/client.key\n" \
    "$tmp/web.yml:3: tls_server_config.key_file: $tmp/client.key does not belong to the certificate $tmp/server.pem"
  web_refused "${tls}  key_file: $tmp/ca.pem\n" \
    "$tmp/web.yml:3: tls_server_config.key_file: $tmp/ca.pem holds no private key in PEM form"
  web_refused "${tls}  key_file: $tmp/server.key\n  client_auth_type: RequireAndVerifyClientCert\n  client_ca_file: $tmp/ca.key\n" \
    "$tmp/web.yml:5: tls_server_config.client_ca_file: $tmp/ca.key holds no certificate in PEM form"
  web_refused "basic_auth_users:\n  prometheus: correct horse\n" \
    "$tmp/web.yml:2: basic_auth_users.prometheus: not a bcrypt hash"
  web_refused "${tls}  key_file: $tmp/server.key\n  client_auth: none\n" \
    "$tmp/web.yml:4: tls_server_config.client_auth: unknown key"
  # A certificate that expired: signed with openssl ca, which takes any dates.
  mkdir "$tmp/old" && : >"$tmp/old/index" && echo 01 >"$tmp/old/serial"
  printf '[ca]\ndefault_ca=old\n[old]\ndatabase=%s/old/index\nnew_certs_dir=%s/old\nserial=%s/old/serial\ndefault_md=sha256\npolicy=any\n[any]\ncommonName=supplied\n' \
    "$tmp" "$tmp" "$tmp" >"$tmp/old/ca.cnf"
  openssl ca -batch -config "$tmp/old/ca.cnf" -cert "$tmp/ca.pem" -keyfile "$tmp/ca.key" -in "$tmp/server.csr" \
    -out "$tmp/old.pem" -startdate 20200101000000Z -enddate 20200102000000Z 2>/dev/null
  web_refused "tls_server_config:\n  cert_file: $tmp/old.pem\n  key_file: $tmp/server.key\n" \
    "$tmp/web.yml:2: tls_server_config.cert_file: $tmp/old.pem expired on 2020-01-02"
  status=0
  "$exporter" --config "$tmp/fleet.yml" --web.config.file "$tmp/none.yml" 2>"$tmp/refused.txt" || status=$?
  [ "$status" = 1 ] && grep -qF "$tmp/none.yml: No such file or directory" "$tmp/refused.txt" ||
    fail "a missing web configuration: exit $status, $(cat "$tmp/refused.txt")"
  sleep 0.5
  [ ! -s "$tmp/unit.log" ] || fail "the exporter wrote to a unit before refusing its web configuration"

  # A good one, its files named from its own folder wherever the exporter is started: HTTPS
  # to anyone who trusts the authority, no password asked.
  printf 'tls_server_config:\n  cert_file: server.pem\n  key_file: server.key\n' >"$tmp/web.yml"
  (cd / && exec "$exporter" --config "$tmp/fleet.yml" --web.config.file "$tmp/web.yml" \
    --web.listen-address 127.0.0.1:0 2>"$tmp/exporter.err") &
  pids+=($!)
  await_line "$tmp/exporter.err" "listening on https://127.0.0.1:"
  address=$(sed -n 's|.*listening on https://\(127.0.0.1:[0-9]*\)/.*|\1|p' "$tmp/exporter.err")
  curl -sf --cacert "$tmp/ca.pem" "https://$address/-/healthy" >/dev/null || fail "no answer over HTTPS"
  echo "broken web configurations refused with their files and fields; nothing opened; HTTPS served"
  exit 0
fi

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

if [ "$mode" = https ]; then
  make_door
  start_sim lone "$tmp/lone-acu" "$tmp/lone.log"
  printf 'acus:\n  - name: lone\n    port: %s\n' "$tmp/lone-acu" >"$tmp/fleet.yml"
  cat >"$tmp/web.yml" <<YAML
tls_server_config:
  cert_file: $tmp/server.pem
  key_file: $tmp/server.key
  client_auth_type: RequireAndVerifyClientCert
  client_ca_file: $tmp/ca.pem
basic_auth_users:
  prometheus: $hash
YAML
  "$exporter" --config "$tmp/fleet.yml" --web.config.file "$tmp/web.yml" \
    --web.listen-address 127.0.0.1:0 2>"$tmp/exporter.err" &
  pids+=($!)
  await_line "$tmp/exporter.err" "listening on https://127.0.0.1:"
  exporter_address=$(sed -n 's|.*listening on https://\(127.0.0.1:[0-9]*\)/.*|\1|p' "$tmp/exporter.err")
  url="https://$exporter_address/metrics"
  with_cert=(--cacert "$tmp/ca.pem" --cert "$tmp/client.pem" --key "$tmp/client.key")
  # The HTTP status curl got (000: none, the TLS handshake refused) and the headers.
  status_of() { curl -s -o /dev/null -D "$tmp/headers" -w '%{http_code}' "$@" "$url" || true; }
  [ "$(status_of "${with_cert[@]}")" = 401 ] || fail "no password: not 401"
  grep -qi '^WWW-Authenticate: Basic realm="skyrelay-exporter"' "$tmp/headers" ||
    fail "401 without WWW-Authenticate: $(cat "$tmp/headers")"
  [ "$(status_of "${with_cert[@]}" -u 'prometheus:correct horsE')" = 401 ] || fail "wrong password: not 401"
  [ "$(status_of "${with_cert[@]}" -u 'nobody:correct horse')" = 401 ] || fail "unknown user: not 401"
  [ "$(status_of "${with_cert[@]}" -u 'prometheus:correct horse')" = 200 ] || fail "right password: not 200"
  for tls in --tlsv1.2 --tlsv1.3; do
    [ "$(status_of --cacert "$tmp/ca.pem" -u 'prometheus:correct horse' "$tls" --tls-max "${tls#--tlsv}")" = 000 ] ||
      fail "a client without a certificate was answered ($tls)"
  done
  [ "$(status_of --cacert "$tmp/ca.pem" --cert "$tmp/server.pem" --key "$tmp/server.key" \
    -u 'prometheus:correct horse')" = 200 ] || fail "a certificate the authority signed was refused"
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$tmp/stranger.key" \
    -out "$tmp/stranger.pem" -days 2 -subj /CN=stranger 2>/dev/null
  [ "$(status_of --cacert "$tmp/ca.pem" --cert "$tmp/stranger.pem" --key "$tmp/stranger.key" \
    -u 'prometheus:correct horse')" = 000 ] || fail "a certificate of another authority was answered"
fi

names=()
if [ "$mode" = three ]; then
  start_sim fleet "$tmp/fleet-acu" "$tmp/fleet.log." --units 2
  names+=(unit1 unit2)
fi
# This unit also asks, unasked, for its default data (reply 6), as a unit after a reset does:
# the window would answer with commands 7, 8 and 9; the exporter must keep them off the line.
names+=(lone)
if [ "$mode" != https ]; then
  start_sim lone "$tmp/lone-acu" "$tmp/lone.log" --announce-after 2000
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
fi

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
if [ "$mode" = https ]; then
  cat >>"$tmp/prometheus.yml" <<YAML
    scheme: https
    basic_auth:
      username: prometheus
      password: correct horse
    tls_config:
      ca_file: $tmp/ca.pem
      cert_file: $tmp/client.pem
      key_file: $tmp/client.key
YAML
fi
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

if [ "$mode" != https ]; then
  # /api/v1/acus holds to the schema shipped for it, in the naming skyrelay-cli shares.
  curl -sf "http://$exporter_address/api/v1/acus" >"$tmp/acus.json" || fail "/api/v1/acus did not answer"
  : >"$tmp/none"
  here=$(dirname "$0")
  python3 "$here/../cli/check_json.py" "$here/../../dist/schemas" exporter-acus "$tmp/acus.json" \
      "$tmp/none" 'all(a["up"] and a["status"]["state_name"] for a in d["acus"])' ||
    fail "/api/v1/acus does not hold to dist/schemas/exporter-acus.schema.json"
fi

if [ "$mode" = https ]; then
  await_value 'up{job="skyrelay"}' 1 10
  echo "Prometheus scraped lone over HTTPS with basic auth and a client certificate; curl without password or certificate refused"
  exit 0
fi

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
