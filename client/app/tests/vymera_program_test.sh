#!/usr/bin/env bash
# Starts the real client from a copy of the programs' folder against the reference service on the
# client's built-in address, with one account that logs in by itself. Its window must appear, a
# second start must end at once and leave the first running, and a termination request must end it
# with the users stored. Screenshots go to SHOTS.
set -euo pipefail
bin=${1:?usage: vymera_program_test.sh BIN_FOLDER SCREENSHOT_TOOL SHOTS}
screenshot=${2:?}
shots=${3:?}
port=8360
work=$(mktemp -d)
service=
client=
cleanup() {
  [ -n "$client" ] && kill -9 "$client" 2>/dev/null || true
  [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Waits up to $1 tenths of a second for the command after it to succeed.
within() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  return 1
}
port_open() { (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; }

if port_open; then
  echo "SKIP: 127.0.0.1:$port is taken (a running service?)"
  exit 77
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
# The client keeps its files beside the program: a copy keeps them out of the build folder.
prog=$work/prog
mkdir "$prog"
cp "$bin/Vymera" "$bin"/lib*.so "$prog/"
cp -a "$bin/res" "$prog/res"
svc=("$bin/vymera-service" --db "$work/service.db" --releases "$work/releases")
"${svc[@]}" create-account --account tester@example.com --password secret12 --name Tester --level 12 > /dev/null
"${svc[@]}" serve > "$work/service.log" 2>&1 &
service=$!
within 50 port_open || fail "the service did not start: $(cat "$work/service.log")"
cat > "$prog/userinfoset.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>
<UserList>
<user_res><uid>1</uid><account>tester@example.com</account><password>secret12</password><uname>Tester</uname><picture>DefaultUser.jpg</picture><level>12</level><autologin>1</autologin><jizhumima>1</jizhumima><autoclear>0</autoclear></user_res>
</UserList>
XML

"$prog/Vymera" > "$work/client.log" 2>&1 &
client=$!
# The window is up once a second start finds it: that one ends at once, with 0.
second() { timeout 5 "$prog/Vymera" > /dev/null 2>&1; }
within 100 second || fail "a second start did not end at once with 0"
sleep 1
kill -0 "$client" 2>/dev/null || fail "the first client ended: $(cat "$work/client.log")"
mkdir -p "$shots"
"$screenshot" "$shots/main-window.png" || fail "no screenshot"
[ "$(stat -c %s "$shots/main-window.png")" -gt 10000 ] || fail "the screen shows nearly nothing"

kill -TERM "$client"
within 100 bash -c "! kill -0 $client 2>/dev/null" || fail "the client did not end on a termination request"
wait "$client" && code=0 || code=$?
client=
[ "$code" -eq 0 ] || fail "the client ended with $code: $(cat "$work/client.log")"
grep -q "<account>tester@example.com</account>" "$prog/userinfoset.xml" || fail "the user is not stored"
grep -q "<logincode>" "$prog/userinfoset.xml" || fail "the stored user carries no login from the service"
echo "the client came up, stayed single, and ended in order; screenshots in $shots"
