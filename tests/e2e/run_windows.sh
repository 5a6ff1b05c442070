#!/usr/bin/env bash
# End to end through the Windows programs under Wine, each its own process, against the Linux
# reference service and device simulator: Bootwyn, Setup's wizard, the installed client's first
# start, binding the scale, a weighing that reaches the service, a signed release offered by the
# client and started by Renewix, a changed release refused, and Dismantor keeping the user's data.
# The Wine prefix is a fresh one under the run's private folders, on a private virtual X server; the
# windows are driven only by synthesised mouse and keyboard input at the controls' places in the skins.
#
#   tests/e2e/run_windows.sh WINDOWS_BUILD_DIR SOURCE_DIR LINUX_BUILD_DIR
#
# Exit 0 when every step passed, 1 on the first failure, 77 (skipped) when Wine, xdotool, Xvfb or the
# Linux programs are missing or 127.0.0.1:8360 is taken. Screenshots of every step go to
# WINDOWS_BUILD_DIR/screenshots/e2e-windows/.
set -uo pipefail

usage="usage: run_windows.sh WINDOWS_BUILD_DIR SOURCE_DIR LINUX_BUILD_DIR"
build=$(cd "${1:?$usage}" && pwd)
source_dir=$(cd "${2:?$usage}" && pwd)
host=$(cd "${3:?$usage}" 2> /dev/null && pwd) || { echo "e2e: no Linux build in $3; skipped"; exit 77; }
setup_skin=$source_dir/skins/installer/SetupDlg.xml
client_skins=$source_dir/skins/client
bin=$build/bin
port=8360

for program in "$host/bin/vymera-service" "$host/bin/vymera-sim" "$host/tests/x_screenshot"; do
  [ -x "$program" ] || { echo "e2e: $program is not built; skipped"; exit 77; }
done
[ -e /usr/lib/wine/wine64 ] || command -v wine64 > /dev/null || { echo "e2e: wine64 is missing; skipped"; exit 77; }

shots_name=e2e-windows
screenshot=$host/tests/x_screenshot
# Every process of the run's own Wine prefix: the programs, the ones they started and Wine's own.
our_pids() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  grep -lzx -F "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2> /dev/null | cut -d/ -f3
}
source "$source_dir/tests/e2e/lib.sh"

export WINEPREFIX=$work/prefix
export VYMERA_WINE_PREFIX=$WINEPREFIX
# The simulator's port for Windows programs: one of the run's own, so that other tests' simulators
# are not in the way.
VYMERA_SIM_PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
export VYMERA_SIM_PORT
wine() { "$source_dir/scripts/wine-run" "$@"; }
# A program of the prefix, started in FOLDER as the shell would, its output in the log NAME.
start_in() {  # FOLDER NAME PROGRAM ARGS...
  local folder=$1 name=$2
  shift 2
  (cd "$folder" && exec "$source_dir/scripts/wine-run" "$@") > "$logs/$name.log" 2>&1 &
  started+=($!)
}
wine_reg() { wine reg "$@" 2> /dev/null | tr -d '\r'; }
# The system's message box has the caption as its title; Return answers its default button.
answer_box() {  # WINDOW_ID
  xdo windowfocus --sync "$1" > /dev/null 2>&1 || true
  sleep 0.2
  xdo key Return || fail "the message box could not be answered"
}

# The Windows build's own developer key, which its updater checks releases with.
release_key=$build/release-key/developer-release.pem
[ -e "$release_key" ] || { echo "e2e: the build has no developer release key to sign with; skipped"; exit 77; }
# The program of the started process PID ended, with exit code 0.
ended_well() {  # PID NAME
  wait_for 30 eval '! kill -0 '"$1"' 2> /dev/null' || fail "$2 does not end"
  wait "$1"
  local rc=$?
  [ "$rc" -eq 0 ] || fail "$2 ended with $rc"
}

svc=("$host/bin/vymera-service" --db "$work/service.db" --releases "$work/releases")

# ---------------------------------------------------------------------------------------------
step "Wine prefix, service and device simulator"
wine cmd /c exit > "$logs/prefix.log" 2>&1 || fail "the Wine prefix could not be made"
# A Chinese Windows draws its own dialogs (the message boxes) with Chinese glyphs; Wine's fonts have
# none, so its dialog font is linked to the machine's Chinese font, as Windows links its own.
cjk_font=$(fc-list :lang=zh file 2> /dev/null | head -n1 | sed 's/: *$//')
if [ -n "$cjk_font" ]; then
  for face in Tahoma "MS Shell Dlg" "Microsoft Sans Serif"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d "$(basename "$cjk_font")" /f >> "$logs/prefix.log" 2>&1
  done
fi
users=("$WINEPREFIX"/drive_c/users/*/AppData/Local)
local_appdata=""
for folder in "${users[@]}"; do
  case $folder in */Public/*) ;; *) local_appdata=$folder ;; esac
done
[ -d "$local_appdata" ] || fail "the prefix has no user's AppData\\Local"
installed=$local_appdata/Programs/Vymera
"${svc[@]}" seed-demo > "$logs/seed.log" 2>&1 || fail "seed-demo failed"
"${svc[@]}" serve > "$logs/service.log" 2>&1 &
started+=($!)
wait_for 10 port_open || fail "the service does not listen on $port"
tail -f /dev/null | "$host/bin/vymera-sim" --tcp-port "$VYMERA_SIM_PORT" > "$logs/sim.log" 2>&1 &
started+=($!)
wait_for 10 "$host/bin/vymera-sim" status > /dev/null 2>&1 || fail "vymera-sim does not answer"
shot "start"

# ---------------------------------------------------------------------------------------------
step "install through Bootwyn"
mkdir -p "$work/download"
cp "$bin/Bootwyn.exe" "$work/download/"
echo "e2e:   Bootwyn.exe is $(stat -c %s "$bin/Bootwyn.exe") bytes"
start_in "$work/download" bootwyn "$work/download/Bootwyn.exe"
bootwyn_pid=$!
install_with_wizard Vymera.exe
# Starting with the session is off unless asked for: asked for here, to see the Run value.
read -r pages_left pages_top _ < <(skin_pos "$setup_skin" "switch")
click_control "$setup" "$setup_skin" "pcautoruun" "$pages_left" "$pages_top"
shot "setup-finish"
click_control "$setup" "$setup_skin" "完成"
wait_for 20 window_gone "安装程序" || fail "the setup window stays"
ended_well "$bootwyn_pid" Bootwyn.exe
for f in Vymera.exe Renewix.exe Dismantor.exe DuiLib.dll pace700Lib.dll res.zip userinfoset.xml systemset.ini res/main.xml; do
  [ -e "$installed/$f" ] || fail "$installed/$f is missing"
done
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value=$(wine_reg query "$run_key" /v Vymera | sed -n 's/^ *Vymera *REG_SZ *//p')
echo "e2e:   Run value: $run_value"
[[ "$run_value" == *'\AppData\Local\Programs\Vymera\Vymera.exe'*' /Startup' ]] || fail "no Run value for the installed client"
# Wine shows the user's desktop in several of the prefix's folders; each link once.
links=$(find -L "$WINEPREFIX/drive_c/users" "$HOME" -name '*.lnk' -exec realpath {} + 2> /dev/null | sort -u)
echo "$links" | sed 's/^/e2e:   link /'
echo "$links" | grep -q "/Desktop/.*\.lnk$" || fail "no desktop link"
echo "$links" | grep -q "/Start Menu/Programs/.*\.lnk$" || fail "no start menu links"

# ---------------------------------------------------------------------------------------------
step "first start: add the demo account"
add_demo_account

# ---------------------------------------------------------------------------------------------
step "bind the scale"
bind_scale

# ---------------------------------------------------------------------------------------------
step "weigh 50.4 kg: the upload"
weigh_and_upload "$host/bin/vymera-sim"

# ---------------------------------------------------------------------------------------------
step "update to a newer release"
# The release is a small Windows program that leaves the folder it was started in beside itself.
release=$work/release.exe
cp "$bin/bootstrap_setup_standin.exe" "$release"
"${svc[@]}" publish 9.0.0.0 "$release" --key "$release_key" > "$logs/publish.log" 2>&1 || fail "publish refused the release"
client_running() { pgrep -f 'Programs.Vymera.Vymera\.exe' > /dev/null; }
client_running || fail "the installed client does not run"
# The desktop's close request: the client stores its users and ends.
wine taskkill /IM Vymera.exe > "$logs/taskkill.log" 2>&1 || fail "taskkill found no client"
wait_for 20 eval '! client_running' || fail "the client does not end on the desktop's close request"
grep -q "W15A0031C7" "$installed/userinfoset.xml" || fail "the stored users lost the bound scale"
start_in "$installed" client2 "$installed/Vymera.exe"
offer=$(wait_window "软件升级" 60 340) || fail "no update question at the second start"
shot "update-offer"
click_control "$offer" "$client_skins/UpdateSoftConfirm.xml" "立即升级"
wait_for 90 test -s "$installed/started" || fail "the release was not downloaded and started"
shot "updated"
echo "e2e:   the release ran in $(tr -d '\r' < "$installed/started")"

# ---------------------------------------------------------------------------------------------
step "a release changed after signing is refused"
rm -f "$installed/started"
tampered=$work/release-tampered.exe
cp "$release" "$tampered"
"${svc[@]}" publish 9.0.0.1 "$tampered" --key "$release_key" > "$logs/publish-tampered.log" 2>&1 || fail "publish refused the second release"
printf 'tampered' >> "$work/releases/release-tampered.exe"
start_in "$installed" renewix-tampered "$installed/Renewix.exe"
renewix_pid=$!
updater=$(wait_window "升级软件" 60) || fail "no updater window"
refusal=$(wait_window "软件升级" 60) || fail "the changed release was not refused"
shot "tampered-refused"
sleep 0.5
[ ! -e "$installed/started" ] || fail "the changed release ran"
[ ! -e "$installed/updatetemp.exe" ] || fail "a refused download stays in $installed/updatetemp.exe"
answer_box "$refusal"
wait_for 10 window_gone "软件升级" || fail "the message box stays"
click_control "$updater" "$client_skins/UpdateSoftDownloadDlg.xml" "closebtn"
ended_well "$renewix_pid" "Renewix.exe, closed by its close button,"

# ---------------------------------------------------------------------------------------------
step "remove"
wait_for 30 eval '! client_running' || fail "the client still runs"
removal_caption="Vymera同步软件 卸载程序"
start_in "$installed" dismantor "$installed/Dismantor.exe"
removal_pid=$!
question=$(wait_window "$removal_caption" 60) || fail "no removal question"
shot "remove-question"
answer_box "$question"  # 是, the default
wait_for 30 eval '[ ! -e "$installed/Vymera.exe" ] && [ ! -e "$installed/res" ]' || fail "the program files stay"
done_box=$(wait_window "$removal_caption" 30) || fail "no closing message"
shot "removed"
answer_box "$done_box"
ended_well "$removal_pid" Dismantor.exe
for f in Vymera.exe Renewix.exe res.zip res DuiLib.dll pace700Lib.dll; do
  [ ! -e "$installed/$f" ] || fail "$installed/$f was not removed"
done
for f in userinfoset.xml systemset.ini user/DefaultUser.jpg; do
  [ -e "$installed/$f" ] || fail "the user's $installed/$f was removed"
done
grep -q "W15A0031C7" "$installed/userinfoset.xml" || fail "the user list lost its content"
[ -z "$(wine_reg query "$run_key" /v Vymera | grep Vymera)" ] || fail "the Run value stays"
find -L "$WINEPREFIX/drive_c/users" "$HOME" -name '*.lnk' 2> /dev/null | grep -q . && fail "links stay"

step ""
echo "e2e: all steps passed in $(seconds_between "$t0" "$(date +%s.%N)") s"
