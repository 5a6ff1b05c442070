#!/usr/bin/env bash
# An idle client: four logged-in users, each with the scale, the pedometer and the tracker of the
# simulator bound, all attached, nothing new to send. After the first passes have settled it
# measures, over SECONDS: resident memory, wake-ups (context switches of all its threads) and CPU
# time, each per minute, next to what the two timers alone would wake it (30 + 12 per minute).
#
#   bench/client/idle.sh [BUILD] [SECONDS]      (defaults: build 60)
#
# It serves the reference service on the client's built-in address, 127.0.0.1:8360, so nothing else
# may listen there. Without a display it runs under a virtual X server.
set -euo pipefail
build=${1:-build}
seconds=${2:-60}
bin=$(cd "$build/bin" && pwd)
port=8360
if [ -z "${DISPLAY:-}" ] && [ -z "${VYMERA_IDLE_UNDER_XVFB:-}" ]; then
  VYMERA_IDLE_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
port_open() { (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; }
if port_open; then
  echo "127.0.0.1:$port is taken; stop what listens there first" >&2
  exit 1
fi

prog=$work/prog
mkdir "$prog" "$work/run"
chmod 700 "$work/run"
cp "$bin/Vymera" "$bin"/lib*.so "$prog/"
cp -a "$bin/res" "$prog/res"
export XDG_RUNTIME_DIR=$work/run
svc=("$bin/vymera-service" --db "$work/service.db" --releases "$work/releases")
users=""
for i in 1 2 3 4; do
  "${svc[@]}" create-account --account "idle$i@example.com" --password "secret$i$i" --name "Idle$i" > /dev/null
  users+="<user_res><uid>$i</uid><account>idle$i@example.com</account><password>secret$i$i</password>"
  users+="<uname>Idle$i</uname><picture>DefaultUser.jpg</picture><level>3</level><autologin>1</autologin>"
  users+="<steppinless>1</steppinless><stepsn>A10020240601</stepsn><scalepinless>1</scalepinless>"
  users+="<scalesn>W15A0031C7</scalesn><pace700pinless>1</pace700pinless><pace700sn>8800123456789</pace700sn>"
  users+="</user_res>"$'\n'
done
printf '<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>\n<UserList>\n%s</UserList>\n' "$users" \
  > "$prog/userinfoset.xml"
"${svc[@]}" serve > "$work/service.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do port_open && break; sleep 0.1; done
sleep 86400 | "$bin/vymera-sim" > "$work/sim.log" 2>&1 &
pids+=($!)
sleep 0.5
"$prog/Vymera" /Startup > "$work/client.log" 2>&1 &
client=$!
pids+=($client)

# The first passes read the devices and log the users in; then the client has nothing to do.
sleep 20
kill -0 "$client" || { echo "the client ended: $(cat "$work/client.log")" >&2; exit 1; }
switches() {
  local total=0 n
  for status in /proc/"$client"/task/*/status; do
    n=$(awk '/^(voluntary|nonvoluntary)_ctxt_switches/ {s += $2} END {print s}' "$status" 2>/dev/null || echo 0)
    total=$((total + n))
  done
  echo "$total"
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$client/stat"; }
threads() { ls "/proc/$client/task" | wc -l; }
s0=$(switches)
c0=$(cpu_ticks)
sleep "$seconds"
s1=$(switches)
c1=$(cpu_ticks)
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$client/status")
hz=$(getconf CLK_TCK)
awk -v s="$((s1 - s0))" -v c="$((c1 - c0))" -v t="$seconds" -v hz="$hz" -v rss="$rss" -v th="$(threads)" 'BEGIN {
  printf "idle client, 4 users, all devices bound and attached, over %d s (%d threads)\n", t, th
  printf "  resident memory      %.1f MB\n", rss / 1024
  printf "  wake-ups per minute  %.0f (the two timers alone: 42)\n", s * 60 / t
  printf "  CPU per minute       %.0f ms\n", c * 1000 / hz * 60 / t
}'
