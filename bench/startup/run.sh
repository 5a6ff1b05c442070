#!/usr/bin/env bash
# Start-up times, each over RUNS runs (median, lowest, highest):
#  - the client's cold start: from its start to its main window shown, a fresh process with four
#    users (not logged in automatically) and no service to reach;
#  - Setup's installation: from the click on "安装" to the installation's record written, into a
#    fresh folder each run.
#
#   bench/startup/run.sh [BUILD] [RUNS]      (defaults: build 5)
#
# Runs in a network namespace of its own where it may make one (as root), and without a display
# under a virtual X server. Windows are found with xdotool, which it needs.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$build/bin" && pwd)
setup_skin=$here/../../skins/installer/SetupDlg.xml
command -v xdotool > /dev/null || { echo "xdotool is needed" >&2; exit 1; }
if [ -z "${VYMERA_STARTUP_NETNS:-}" ] && unshare -n true 2> /dev/null; then
  VYMERA_STARTUP_NETNS=1 exec unshare -n bash -c 'ip link set lo up && exec "$0" "$@"' "$0" "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${VYMERA_STARTUP_UNDER_XVFB:-}" ]; then
  VYMERA_STARTUP_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
running=""
cleanup() {
  [ -n "$running" ] && kill "$running" 2> /dev/null
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
now_ms() { date +%s%3N; }
# The id of a visible window titled exactly TITLE (and WIDTH wide, when given).
window_of() {
  local id X Y WIDTH HEIGHT SCREEN
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2> /dev/null); do
    if [ -n "${2:-}" ]; then
      eval "$(xdotool getwindowgeometry --shell "$id" 2> /dev/null)" || continue
      [ "$WIDTH" = "$2" ] || continue
    fi
    echo "$id"
    return
  done
}
# Waits up to SECONDS for the window; prints its id.
wait_window() {  # TITLE SECONDS [WIDTH]
  local id="" deadline=$(($(date +%s) + $2))
  until id=$(window_of "$1" "${3:-}") && [ -n "$id" ]; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
  done
  echo "$id"
}
# Moves the pointer to the middle of the control NAME of SKIN in window ID.
point_at() {  # ID SKIN NAME
  local X Y WIDTH HEIGHT SCREEN l t r b
  read -r l t r b < <(grep -o "name=\"$3\"[^>]*pos=\"[0-9,]*\"" "$2" | head -n1 |
    sed 's/.*pos="\([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\)"/\1 \2 \3 \4/')
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --sync $((X + (l + r) / 2 - 3)) $((Y + (t + b) / 2 - 3))
  xdotool mousemove --sync $((X + (l + r) / 2)) $((Y + (t + b) / 2))
  sleep 0.1
}
# Median, lowest and highest of the numbers on the input, in ms.
summary() { sort -n | awk '{v[NR] = $1} END {printf "median %d ms (lowest %d, highest %d, %d runs)\n", v[int((NR + 1) / 2)], v[1], v[NR], NR}'; }
# A fresh home for each program run, so that nothing is left from the run before.
fresh_home() {
  rm -rf "$work/home"
  mkdir -p "$work/home/data" "$work/home/config" "$work/home/run"
  chmod 700 "$work/home/run"
  export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
  export XDG_RUNTIME_DIR=$work/home/run
}

# The client ---------------------------------------------------------------------------------
prog=$work/prog
mkdir "$prog"
cp "$bin/Vymera" "$bin"/lib*.so "$prog/"
cp -a "$bin/res" "$prog/res"
users=""
for i in 1 2 3 4; do
  users+="<user_res><uid>$i</uid><account>start$i@example.com</account><password>secret$i$i</password>"
  users+="<uname>Start$i</uname><picture>DefaultUser.jpg</picture><level>3</level><autologin>0</autologin>"
  users+="</user_res>"$'\n'
done
printf '<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>\n<UserList>\n%s</UserList>\n' "$users" \
  > "$prog/userinfoset.xml"
: > "$work/client.ms"
for _ in $(seq "$runs"); do
  fresh_home
  start=$(now_ms)
  "$prog/Vymera" > "$work/client.log" 2>&1 &
  running=$!
  # The tray icon carries the same title; the main window is the one 850 wide.
  wait_window "Vymera同步软件" 30 850 > /dev/null || { echo "no main window: $(cat "$work/client.log")" >&2; exit 1; }
  echo $(($(now_ms) - start)) >> "$work/client.ms"
  kill -TERM "$running"
  wait "$running" 2> /dev/null || true
  running=""
done
echo "client, start to main window shown:        $(summary < "$work/client.ms")"

# Setup --------------------------------------------------------------------------------------
mkdir "$work/download"
cp "$bin/Setup" "$bin/setupres.zip" "$bin/libvymera_toolkit.so" "$work/download/"
: > "$work/setup.ms"
: > "$work/setup-window.ms"
for _ in $(seq "$runs"); do
  fresh_home
  start=$(now_ms)
  "$work/download/Setup" > "$work/setup.log" 2>&1 &
  running=$!
  setup=$(wait_window "安装程序" 30) || { echo "no setup window: $(cat "$work/setup.log")" >&2; exit 1; }
  echo $(($(now_ms) - start)) >> "$work/setup-window.ms"
  sleep 0.5
  point_at "$setup" "$setup_skin" "下一步"
  xdotool click 1
  sleep 0.6
  # "安装" takes the place of "下一步" on the folder page.
  point_at "$setup" "$setup_skin" "安装"
  record=$XDG_DATA_HOME/Vymera/install.record
  start=$(now_ms)
  xdotool click 1
  deadline=$(($(date +%s) + 60))
  until [ -e "$record" ]; do
    [ "$(date +%s)" -lt "$deadline" ] || { echo "the installation did not finish: $(cat "$work/setup.log")" >&2; exit 1; }
    sleep 0.005
  done
  echo $(($(now_ms) - start)) >> "$work/setup.ms"
  kill -TERM "$running"
  wait "$running" 2> /dev/null || true
  running=""
done
echo "Setup, start to its window shown:          $(summary < "$work/setup-window.ms")"
echo "Setup, \"安装\" to the installation recorded: $(summary < "$work/setup.ms")"
