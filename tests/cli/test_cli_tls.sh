#!/bin/bash
# skyrelay-cli through a real ser2net that wants a client certificate, in front of the
# simulator: refused without one or with one the server does not trust (exit 2, and the
# message says why), served with the right one, over tcp+tls and rfc2217+tls. The
# authority, the server's and the clients' certificates are made here with openssl.
# Usage: test_cli_tls.sh CLI SIM
set -u
CLI=$1 SIM=$2
WORK=$(mktemp -d)
PIDS=()
FAILED=0
trap 'kill "${PIDS[@]}" 2>/dev/null; rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1

# An authority, the server's certificate (made out to 127.0.0.1) and two clients: "shore",
# signed by the authority, and "stranger", signed by itself.
req() { openssl req -newkey rsa:2048 -nodes -subj "/CN=$1" -keyout "$1.key" -out "$1.csr" 2>/dev/null; }
sign() { openssl x509 -req -in "$1.csr" -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 "${@:2}" -out "$1.pem" 2>/dev/null; }
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Fleet-CA -keyout ca.key -out ca.pem 2>/dev/null
req server && sign server -extfile <(echo subjectAltName=IP:127.0.0.1)
req shore && sign shore
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=stranger -keyout stranger.key -out stranger.pem 2>/dev/null
# ser2net takes a client whose certificate's name has a folder of trusted authorities.
mkdir -p auth/shore/allowed_certs && cp ca.pem auth/shore/allowed_certs/ && openssl rehash auth/shore/allowed_certs

"$SIM" --link "$WORK/acu" >sim.out 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do [ -e acu ] && break; sleep 0.05; done

port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
RAW=$(port) TEL=$(port)
SSL="ssl(key=$WORK/server.key,cert=$WORK/server.pem,clientauth)"
cat >ser2net.yaml <<EOF
connection: &raw
  accepter: $SSL,tcp,127.0.0.1,$RAW
  connector: serialdev,$WORK/acu,57600n81,local
  options:
    authdir: $WORK/auth
connection: &telnet
  accepter: telnet(rfc2217),$SSL,tcp,127.0.0.1,$TEL
  connector: serialdev,$WORK/acu,57600n81,local
  options:
    authdir: $WORK/auth
EOF
ser2net -n -d -u -c ser2net.yaml >ser2net.log 2>&1 &
PIDS+=($!)
# Listening, from the kernel's table: a probe connection would make ser2net open the terminal.
for _ in $(seq 100); do
    grep -q "$(printf '0100007F:%04X 00000000:0000 0A' "$TEL")" /proc/net/tcp && break
    sleep 0.05
done

# check NAME EXPECTED_EXIT EXPECTED_TEXT ARGS...: files are named by their whole paths.
check() {
    local name=$1 want=$2 text=$3; shift 3
    timeout 60 "$CLI" info --tls-ca ca.pem "$@" >out 2>&1 </dev/null
    local got=$?
    if [ "$got" != "$want" ] || ! grep -qF -- "$text" out; then
        echo "FAIL $name: exit $got (wanted $want), looked for: $text"; sed 's/^/    /' out
        FAILED=1
    else
        echo "ok   $name"
    fi
    sleep 0.3  # ser2net lets go of the terminal a moment after a connection ends
}

for addr in "tcp+tls://127.0.0.1:$RAW" "rfc2217+tls://127.0.0.1:$TEL"; do
    check "$addr without a certificate" 2 "The server wants a client certificate" --port "$addr"
    check "$addr with a stranger's" 2 "did not accept the client certificate $WORK/stranger.pem" \
        --port "$addr" --tls-cert stranger.pem --tls-key stranger.key
    check "$addr with shore's" 0 "OCEANSAT SR-60" --port "$addr" --tls-cert shore.pem --tls-key shore.key
done
check "a key of another certificate" 2 "The client key $WORK/stranger.key does not belong to the certificate $WORK/shore.pem" \
    --port "tcp+tls://127.0.0.1:$RAW" --tls-cert shore.pem --tls-key stranger.key
check "a certificate that does not read" 2 "The client certificate $WORK/none.pem cannot be read: No such file" \
    --port "tcp+tls://127.0.0.1:$RAW" --tls-cert none.pem --tls-key shore.key
check "a key that is not one" 2 "The client key $WORK/ca.pem holds no private key" \
    --port "tcp+tls://127.0.0.1:$RAW" --tls-cert shore.pem --tls-key ca.pem
exit $FAILED
