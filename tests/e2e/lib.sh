# Sourced by the end-to-end runs (run.sh on Linux, run_windows.sh under Wine): the private session
# on its own virtual X server, the steps and their times, screenshots, and the window helpers that
# find a window by its title and click a control at its place in the skin.
#
# The caller sets before sourcing:
#   build        the build folder; screenshots go to $build/screenshots/$shots_name
#   shots_name   the screenshots' folder name
#   screenshot   the program that saves a picture of the screen
#   port         the service's port, which must be free
# and, before the steps at the end, installed (the program folder), setup_skin and client_skins (the
# installer's and the client's skin sources) and svc (the service's command line).
# and defines our_pids, which lists the programs of the run that are not its children (the
# installed client, the updater, the release), to report and stop them on every way out.

for tool in xdotool Xvfb curl; do
  command -v "$tool" > /dev/null || { echo "e2e: $tool is missing; skipped"; exit 77; }
done
port_open() { (exec 3<> /dev/tcp/127.0.0.1/$port) 2> /dev/null; }
if port_open; then
  echo "e2e: 127.0.0.1:$port is taken; skipped"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vymera-e2e.XXXXXX")
shots=$build/screenshots/$shots_name
rm -rf "$shots"
mkdir -p "$shots"
logs=$work/logs
mkdir -p "$logs"

# ---------------------------------------------------------------------------------------------
# Processes this test started, stopped in reverse order on every exit path.
started=()
stop_all() {
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do kill -TERM "${started[i]}" 2> /dev/null; done
  for pid in "${started[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2> /dev/null
  done
  wait 2> /dev/null
}
finish() {
  local rc=$?
  trap - EXIT
  # Programs the others started (the installed client, the updater, the release) are not our
  # children; our_pids finds them.
  if [ "$rc" -ne 0 ] && [ "$rc" -ne 77 ]; then
    echo "e2e: programs still running:"
    for pid in $(our_pids); do ps -o pid=,stat=,wchan:24=,args= -p "$pid"; done
    DISPLAY=${DISPLAY:-} xdo search --name . getwindowname %@ 2> /dev/null | sort | uniq -c | sed 's/^/e2e:   window /'
  fi
  for pid in $(our_pids); do kill -TERM "$pid" 2> /dev/null; done
  stop_all
  if [ "$rc" -ne 0 ] && [ "$rc" -ne 77 ]; then
    echo "e2e: FAILED; logs:"
    for f in "$logs"/*; do [ -s "$f" ] && { echo "--- $f"; tail -n 20 "$f"; }; done
    echo "e2e: the private folders stay in $work"
  else
    rm -rf "$work"
  fi
  exit "$rc"
}
trap finish EXIT
trap 'exit 1' INT TERM

t0=$(date +%s.%N)
t_step=$t0
step_no=0
step_name=""
seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
# Ends the step that runs (printing its time) and starts the next.
step() {
  local now
  now=$(date +%s.%N)
  [ -n "$step_name" ] && printf 'e2e: step %d %-40s %6.1f s\n' "$step_no" "$step_name" "$(seconds_between "$t_step" "$now")"
  t_step=$now
  step_no=$((step_no + 1))
  step_name=$1
}
fail() {
  echo "e2e: step $step_no ($step_name): $*" >&2
  shot "failure"
  # What each of our programs was doing when the step gave up.
  for pid in $(our_pids) "${started[@]}"; do
    kill -0 "$pid" 2> /dev/null && stacks "$pid" "$(basename "$(readlink /proc/"$pid"/exe 2> /dev/null || echo "$pid")")-$pid"
  done
  exit 1
}
shot_no=0
shot() {
  shot_no=$((shot_no + 1))
  "$screenshot" "$(printf '%s/%02d-%s.png' "$shots" "$shot_no" "$1")" 2> /dev/null || true
}
# Polls COMMAND until it succeeds or SECONDS pass.
wait_for() {
  local seconds=$1
  shift
  local deadline=$(($(date +%s) + seconds))
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# ---------------------------------------------------------------------------------------------
# Private HOME, XDG folders and X server.
source "$source_dir/tests/private_session.sh"
private_session "$work"
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"
mkdir -p "$HOME/Desktop"

# Xvfb picks a free display itself and writes its number to the given descriptor.
exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp > "$logs/xvfb.log" 2>&1 &
started+=($!)
exec 5>&-
wait_for 10 test -s "$work/display" || { echo "e2e: Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY

# xdotool through a retry: the X server here now and then turns a new connection away, or never
# answers it (seen with Xvfb 21.1 under heavy load; the wait is then in XOpenDisplay, before any
# input is sent), and an input step that silently did not happen would look like a click the
# program lost.
xdo() {
  local attempt out rc
  for attempt in $(seq 30); do
    out=$(timeout 10 xdotool "$@" 2> "$work/xdo.err")
    rc=$?
    [ "$rc" -eq 124 ] && continue
    grep -q "Can't open display" "$work/xdo.err" || { [ -n "$out" ] && printf '%s\n' "$out"; return "$rc"; }
    sleep 0.1
  done
  echo "e2e: xdotool $1 could not reach the X server" >&2
  return 1
}

# The threads of a program that does not do what it should, for the failure's log.
stacks() {  # PID NAME
  cat /proc/"$1"/task/*/stat 2> /dev/null | awk '{print "e2e:   thread", $2, $3}' >&2 || true
  command -v gdb > /dev/null || return 0
  timeout 20 gdb -p "$1" -batch -ex "thread apply all bt" > "$logs/$2.stacks" 2>&1 || true
  grep -E "^#[0-9]+ " "$logs/$2.stacks" | head -40 | sed 's/^/e2e:   /' >&2 || true
}

# ---------------------------------------------------------------------------------------------
# Window helpers: a window is found by its exact title; controls are clicked at the centre of
# their place in the skin, relative to the window.
window_of() {  # TITLE [WIDTH] -> the id of a visible window with that title (and width)
  local id X Y WIDTH HEIGHT SCREEN
  for id in $(xdo search --onlyvisible --name "^$1\$" 2> /dev/null); do
    if [ -n "${2:-}" ]; then
      eval "$(xdo getwindowgeometry --shell "$id" 2> /dev/null)" || continue
      [ "$WIDTH" = "$2" ] || continue
    fi
    echo "$id"
    return
  done
}
wait_window() {  # TITLE SECONDS [WIDTH] -> prints the window id
  local id="" deadline=$(($(date +%s) + $2))
  while [ -z "$id" ]; do
    id=$(window_of "$1" "${3:-}")
    [ -n "$id" ] && break
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
  # Let the window lay itself out and paint once before it is clicked.
  sleep 0.5
  echo "$id"
}
window_gone() { [ -z "$(window_of "$1")" ]; }
click() {  # WINDOW_ID LEFT TOP RIGHT BOTTOM (a skin's pos)
  local X Y WIDTH HEIGHT SCREEN geometry
  geometry=$(xdo getwindowgeometry --shell "$1") || fail "the window $1 to click is gone"
  eval "$geometry"
  : "$SCREEN"
  echo "click $1 at $X,$Y ${WIDTH}x$HEIGHT: $2,$3,$4,$5" >> "$logs/clicks.log"
  # Arrive with a motion, as a hand would: the control under the pointer learns it is hot.
  xdo mousemove --sync $((X + ($2 + $4) / 2 - 3)) $((Y + ($3 + $5) / 2 - 3)) || fail "the pointer could not be moved"
  xdo mousemove --sync $((X + ($2 + $4) / 2)) $((Y + ($3 + $5) / 2)) || fail "the pointer could not be moved"
  sleep 0.1
  xdo click 1 || fail "the click could not be sent"
  # Two clicks closer than the double-click time would be one double click.
  sleep 0.5
}
# The pos of the control NAME in a skin file, as "left top right bottom" (relative to its parent).
skin_pos() {  # SKIN_FILE NAME
  local pos
  pos=$(grep -o "name=\"$2\"[^>]*pos=\"[0-9,]*\"" "$1" | head -n1 | sed 's/.*pos="\([0-9,]*\)"/\1/')
  [ -n "$pos" ] || { echo "e2e: no control $2 in $1" >&2; return 1; }
  echo "${pos//,/ }"
}
click_control() {  # WINDOW_ID SKIN_FILE NAME [PARENT_LEFT PARENT_TOP]
  local l t r b
  read -r l t r b < <(skin_pos "$2" "$3") || fail "no control $3 in $2"
  local dx=${4:-0} dy=${5:-0}
  click "$1" $((l + dx)) $((t + dy)) $((r + dx)) $((b + dy))
}
type_text() {  # TEXT: typed into the focused control
  xdo type --delay 30 -- "$1" || fail "the text could not be typed"
}

# ---------------------------------------------------------------------------------------------
# The steps both runs take the same way; they read installed, setup_skin, client_skins and svc.

# Setup's wizard, from its first page to the finishing page once the installation is recorded:
# "下一步", then "安装" where it was. Sets setup to the wizard's window.
install_with_wizard() {  # CLIENT_FILE: the installed client's file name
  setup=$(wait_window "安装程序" 60) || fail "no setup window"
  shot "setup-welcome"
  click_control "$setup" "$setup_skin" "下一步"
  shot "setup-folder"
  click_control "$setup" "$setup_skin" "安装"  # where 下一步 was
  wait_for 60 test -x "$installed/$1" || fail "nothing installed in $installed"
  # The finishing page: 完成 replaces 取消. The record of what was installed is the installation's
  # last file.
  wait_for 60 test -e "$installed/install.record" || fail "the installation did not finish"
  sleep 0.5
}

# The installed client's first start: the add-user dialog with the demo account. Sets main to the
# main window.
add_demo_account() {
  local adduser
  adduser=$(wait_window "AddUserDlg" 60) || fail "the installed client did not open the add-user dialog"
  shot "adduser"
  click_control "$adduser" "$client_skins/accountform.xml" "Account"
  type_text "demo@example.com"
  click_control "$adduser" "$client_skins/accountform.xml" "Password"
  type_text "demo123"
  shot "adduser-filled"
  click_control "$adduser" "$client_skins/AddNewUserDlg.xml" "添加账户"
  wait_for 30 window_gone "AddUserDlg" || fail "the add-user dialog stays (login refused?)"
  # The tray icon carries the same title; the main window is the one 850 wide.
  main=$(wait_window "Vymera同步软件" 20 850) || fail "no main window"
  # A user the service accepted is in the file at once.
  wait_for 10 grep -q "demo@example.com" "$installed/userinfoset.xml" || fail "the account is not stored"
  shot "logged-in"
}

# "添加绑定" in the main window: the simulated scale bound to the demo account, in the user file and
# at the service.
bind_scale() {
  local tab_left tab_top list_left list_top hard hard_skin=$client_skins/AddNewHardDlg.xml
  # On the first page of the tab layout "switch".
  read -r tab_left tab_top _ < <(skin_pos "$client_skins/main.xml" "switch")
  click_control "$main" "$client_skins/main.xml" "添加绑定" "$tab_left" "$tab_top"
  hard=$(wait_window "AddHardWare" 20) || fail "no add-hardware dialog"
  shot "addhardware-intro"
  click_control "$hard" "$hard_skin" "下一步"
  # The list of attached devices: pedometer, scale, tracker, in the cards 硬件1..3 of the vertical
  # layout "down_list_tab" (cards 52 high, 4 apart) on the pages "switch".
  sleep 1
  shot "addhardware-list"
  read -r tab_left tab_top _ < <(skin_pos "$hard_skin" "switch")
  read -r list_left list_top _ < <(skin_pos "$hard_skin" "down_list_tab")
  local card=1  # the second card, 0-based
  click_control "$hard" "$hard_skin" "SelectHard2" $((tab_left + list_left)) $((tab_top + list_top + card * (52 + 4)))
  shot "addhardware-chosen"
  click_control "$hard" "$hard_skin" "下一步"  # binds
  wait_for 20 grep -q "W15A0031C7" "$installed/userinfoset.xml" || fail "the scale is not bound in userinfoset.xml"
  shot "addhardware-result"
  click_control "$hard" "$hard_skin" "closebtn"
  wait_for 10 window_gone "AddHardWare" || fail "the add-hardware dialog stays"
  "${svc[@]}" list-accounts 2> /dev/null | grep -q "W15A0031C7" || fail "the service does not list the bound scale"
  shot "bound"
}

# A reading of 50.4 kg on the simulated scale reaches the service, once.
weigh_and_upload() {  # SIM_PROGRAM
  "$1" weigh 50.4 > "$logs/weigh.log" 2>&1 || fail "vymera-sim refused the reading"
  uploaded() { "${svc[@]}" show-uploads demo@example.com 2> /dev/null | grep -q "50\.4"; }
  # Two sync passes of 5 s each, with room for the detection tick.
  wait_for 20 uploaded || fail "the reading did not reach the service"
  shot "uploaded"
  "${svc[@]}" show-uploads demo@example.com 2>&1 | sed 's/^/e2e:   /'
  [ "$("${svc[@]}" show-uploads demo@example.com 2> /dev/null | grep -c "50\.4")" -eq 1 ] ||
    fail "the reading reached the service more than once"
}
