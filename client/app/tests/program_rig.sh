# Sourced by the real-program tests: the reference service on the client's built-in address over a
# fresh database with one account, and a copy of the client's folder whose user file logs that
# account in by itself. Needs bin (the built programs' folder); sets work, prog, service, client.
port=8360
work=$(mktemp -d)
service=
client=
rig_cleanup() {
  [ -n "$client" ] && kill -9 "$client" 2>/dev/null || true
  [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null || true
  rm -rf "$work"
}
trap rig_cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Waits up to $1 tenths of a second for the command after it to succeed.
within() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  return 1
}
port_open() { (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; }
alive() { kill -0 "$1" 2>/dev/null; }

# Skips (77) when the port is taken; otherwise the service serves and the client's folder is ready.
rig_start() {
  if port_open; then
    echo "SKIP: 127.0.0.1:$port is taken (a running service?)"
    exit 77
  fi
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  # The session's instance lock and window registry of the test's own, so that no other client on
  # the machine counts as the one already running.
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # The client keeps its files beside the program: a copy keeps them out of the build folder.
  prog=$work/prog
  mkdir "$prog"
  cp "$bin/Vymera" "$bin"/lib*.so "$prog/"
  cp -a "$bin/res" "$prog/res"
  local svc=("$bin/vymera-service" --db "$work/service.db" --releases "$work/releases")
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
}

# Ends client $1 with a termination request; it must end with 0 within 10 s.
rig_end_client() {
  local pid=$1 code
  kill -TERM "$pid"
  within 100 bash -c "! kill -0 $pid 2>/dev/null" || fail "the client did not end on a termination request"
  wait "$pid" && code=0 || code=$?
  [ "$code" -eq 0 ] || fail "the client ended with $code: $(cat "$work/client.log")"
}
