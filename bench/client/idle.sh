#!/usr/bin/env bash
# An idle client: four logged-in users, each with the scale, the pedometer and the tracker of the
# simulator bound, all attached, nothing new to send. It runs the client twice, first with its main
# window shown, then started hidden in the tray as the session starts it, and after the first passes
# have settled measures, over SECONDS each: resident memory, the main loop's wake-ups (next to the
# 30 + 12 a minute of its two timers), context switches of all its threads and CPU time, each per
# minute. It ends by itself, after some 2 x (20 + 2 x SECONDS) seconds.
#
#   bench/client/idle.sh [BUILD] [SECONDS]      (defaults: build 30)
#
# It serves the reference service on the client's built-in address, 127.0.0.1:8360: in a network
# namespace of its own where it may make one (as root), else nothing else may listen there. Without
# a display it runs under a virtual X server.
set -euo pipefail
build=${1:-build}
seconds=${2:-30}
bin=$(cd "$build/bin" && pwd)
port=8360
if [ -z "${VYMERA_IDLE_NETNS:-}" ] && unshare -n true 2> /dev/null; then
  VYMERA_IDLE_NETNS=1 exec unshare -n bash -c 'ip link set lo up && exec "$0" "$@"' "$0" "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${VYMERA_IDLE_UNDER_XVFB:-}" ]; then
  VYMERA_IDLE_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  exec 7>&- || true
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
# The simulator takes commands on its input and ends with it: a pipe that closes with this script.
mkfifo "$work/sim-input"
"$bin/vymera-sim" < "$work/sim-input" > "$work/sim.log" 2>&1 &
pids+=($!)
exec 7> "$work/sim-input"
sleep 0.5

# measure LABEL [ARGUMENT]: one run of the client, ended with SIGTERM once measured.
measure() {
  local label=$1
  shift
  "$prog/Vymera" "$@" > "$work/client.log" 2>&1 &
  client=$!
  pids+=($client)
  # The first passes read the devices and log the users in; then the client has nothing to do.
  sleep 20
  kill -0 "$client" || { echo "the client ended: $(cat "$work/client.log")" >&2; exit 1; }
  local s0 c0 s1 c1 rss anon th wakes=unknown
  s0=$(switches)
  c0=$(cpu_ticks)
  sleep "$seconds"
  s1=$(switches)
  c1=$(cpu_ticks)
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$client/status")
  anon=$(awk '/^RssAnon/ {print $2}' "/proc/$client/status")
  th=$(ls "/proc/$client/task" | wc -l)
  # Wake-ups of the main thread: its waits that blocked and came back (strace, which slows the
  # client, so after the CPU was measured): the main loop's and those for the display's answers.
  # A wait for one answer of the simulator (one descriptor, a finite time-out) is part of the
  # device question its timer asks, and not counted.
  if command -v strace > /dev/null; then
    timeout "$seconds" strace -qq -e trace=poll,ppoll -o "$work/waits" -p "$client" 2> /dev/null || true
    wakes=$(awk 'match($0, /\], [0-9]+, -?[0-9]+\)/) {
      split(substr($0, RSTART + 3, RLENGTH - 4), f, ", ")
      if (f[2] + 0 != 0 && !(f[1] + 0 == 1 && f[2] + 0 > 0)) n++
    } END {print n + 0}' "$work/waits")
  fi
  kill -TERM "$client"
  wait "$client" 2> /dev/null || true
  awk -v s="$((s1 - s0))" -v c="$((c1 - c0))" -v t="$seconds" -v hz="$(getconf CLK_TCK)" -v rss="$rss" \
      -v anon="$anon" -v th="$th" -v w="$wakes" -v label="$label" 'BEGIN {
    printf "idle client, %s: 4 users, all devices bound and attached, over %d s (%d threads)\n", label, t, th
    printf "  resident memory        %.1f MB (%.1f MB of it its own memory, the rest shared libraries)\n", rss / 1024, anon / 1024
    printf "  main-loop wake-ups     %s per second (its two timers: 0.7)\n", w == "unknown" ? "unknown (no strace)" : sprintf("%.2f", w / t)
    printf "  context switches       %.0f per minute, every thread (a device question to the simulator is one)\n", s * 60 / t
    printf "  CPU                    %.0f ms per minute\n", c * 1000 / hz * 60 / t
  }'
}
switches() {
  local total=0 n
  for status in /proc/"$client"/task/*/status; do
    n=$(awk '/^(voluntary|nonvoluntary)_ctxt_switches/ {s += $2} END {print s}' "$status" 2>/dev/null || echo 0)
    total=$((total + n))
  done
  echo "$total"
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$client/stat"; }

measure "main window shown"
measure "hidden in the tray" /Startup
