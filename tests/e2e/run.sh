#!/usr/bin/env bash
# End to end through the real programs, each its own process: the reference service and the device
# simulator, the installer, the installed client, the updater and the removal program, all on a
# private virtual X server, with a private HOME and XDG folders. The windows are driven only by
# synthesised mouse and keyboard input at the controls' places in the skins.
#
#   tests/e2e/run.sh BUILD_DIR [SOURCE_DIR]
#
# Exit 0 when every step passed, 1 on the first failure, 77 (skipped) when xdotool or Xvfb is
# missing or 127.0.0.1:8360 is taken. Screenshots of every step go to BUILD_DIR/screenshots/e2e/.
set -uo pipefail

build=$(cd "${1:?usage: run.sh BUILD_DIR [SOURCE_DIR]}" && pwd)
source_dir=$(cd "${2:-$(dirname "$0")/../..}" && pwd)
setup_skin=$source_dir/skins/installer/SetupDlg.xml
client_skins=$source_dir/skins/client
bin=$build/bin
port=8360

shots_name=e2e
screenshot=$build/tests/x_screenshot
# Programs the others started are found by their executable under the private folders.
our_pids() { pgrep -f "^$work/" 2> /dev/null; }
source "$source_dir/tests/e2e/lib.sh"

svc=("$bin/vymera-service" --db "$work/service.db" --releases "$work/releases")
installed=$XDG_DATA_HOME/Vymera

# ---------------------------------------------------------------------------------------------
step "service and device simulator"
"${svc[@]}" seed-demo > "$logs/seed.log" 2>&1 || fail "seed-demo failed"
"${svc[@]}" serve > "$logs/service.log" 2>&1 &
started+=($!)
wait_for 10 port_open || fail "the service does not listen on $port"
# The simulator takes commands from its input too; it gets none here.
tail -f /dev/null | "$bin/vymera-sim" > "$logs/sim.log" 2>&1 &
started+=($!)
wait_for 10 "$bin/vymera-sim" status > /dev/null 2>&1 || fail "vymera-sim does not answer"
shot "start"

# ---------------------------------------------------------------------------------------------
step "install"
mkdir -p "$work/download" "$TMPDIR"
if [ -x "$bin/Bootwyn" ]; then
  # The one file handed to users: it writes Setup into a fresh folder under TMPDIR and starts it.
  cp "$bin/Bootwyn" "$work/download/"
  echo "e2e:   installing through Bootwyn"
  "$work/download/Bootwyn" > "$logs/bootwyn.log" 2>&1 &
else
  # Setup reads its skin archive and the toolkit beside itself.
  cp "$bin/Setup" "$bin/setupres.zip" "$bin/libvymera_toolkit.so" "$work/download/"
  echo "e2e:   installing through Setup (no Bootwyn built)"
  "$work/download/Setup" > "$logs/setup.log" 2>&1 &
fi
started+=($!)
install_with_wizard Vymera
# 立即运行 stays selected and starts the client.
shot "setup-finish"
click_control "$setup" "$setup_skin" "完成"
wait_for 20 window_gone "安装程序" || fail "the setup window stays"
for f in Vymera Renewix res.zip userinfoset.xml systemset.ini res/main.xml; do
  [ -e "$installed/$f" ] || fail "$installed/$f is missing"
done

# ---------------------------------------------------------------------------------------------
step "first start: add the demo account"
add_demo_account

# ---------------------------------------------------------------------------------------------
step "bind the scale"
bind_scale

# ---------------------------------------------------------------------------------------------
step "weigh 50.4 kg: upload and member site"
weigh_and_upload "$bin/vymera-sim"
code=$(sed -n 's:.*<logincode>\([^<]*\)</logincode>.*:\1:p' "$installed/userinfoset.xml" | head -n1)
[ -n "$code" ] || fail "no login code in userinfoset.xml"
jar=$work/cookies
curl -sf -c "$jar" -b "$jar" -o /dev/null \
  "http://127.0.0.1:$port/softlogin.php?re_url=%2Fhome&logincode=$code" || fail "softlogin refused the code"
curl -sf -c "$jar" -b "$jar" -o "$logs/home.html" "http://127.0.0.1:$port/home" || fail "no home page"
grep -q "50\.4 kg" "$logs/home.html" || fail "the home page does not show 50.4 kg"

# ---------------------------------------------------------------------------------------------
step "update to a newer release"
marker=$work/release-ran
release=$work/release.sh
printf '#!/bin/sh\necho "$0" > "%s"\n' "$marker" > "$release"
chmod +x "$release"
"${svc[@]}" publish 9.0.0.0 "$release" > "$logs/publish.log" 2>&1 || fail "publish refused the release"
client_pid() { pgrep -f "^$installed/Vymera\$" | head -n1; }
pid=$(client_pid)
[ -n "$pid" ] || fail "the installed client does not run"
# On a termination request the client stores its users and ends.
kill -TERM "$pid"
wait_for 10 eval '! kill -0 '"$pid"' 2> /dev/null' || fail "the client does not end on SIGTERM"
grep -q "W15A0031C7" "$installed/userinfoset.xml" || fail "the stored users lost the bound scale"
(cd "$installed" && exec "$installed/Vymera") > "$logs/client2.log" 2>&1 &
started+=($!)
offer=$(wait_window "软件升级" 20 340) || fail "no update question at the second start"
shot "update-offer"
click_control "$offer" "$client_skins/UpdateSoftConfirm.xml" "立即升级"
wait_for 60 test -s "$marker" || fail "the release was not downloaded and started"
shot "updated"
echo "e2e:   the release ran as $(cat "$marker")"

# ---------------------------------------------------------------------------------------------
step "a release changed after signing is refused"
# Signed like the first, then changed on the server behind its signature.
tampered=$work/release-tampered.sh
cp "$release" "$tampered"
"${svc[@]}" publish 9.0.0.1 "$tampered" > "$logs/publish-tampered.log" 2>&1 || fail "publish refused the second release"
echo 'echo tampered' >> "$work/releases/release-tampered.sh"
rm -f "$marker"
(cd "$installed" && exec "$installed/Renewix") > "$logs/renewix-tampered.log" 2>&1 &
renewix_pid=$!
started+=("$renewix_pid")
updater=$(wait_window "升级软件" 20) || fail "no updater window"
# The updater's own message box, over its window: "未知错误，未能启动升级软件".
refusal=$(wait_window "软件升级" 20) || fail "the changed release was not refused"
shot "tampered-refused"
sleep 0.5
[ ! -e "$marker" ] || fail "the changed release ran"
[ ! -e "$installed/updatetemp" ] || fail "a refused download stays in $installed/updatetemp"
eval "$(xdo getwindowgeometry --shell "$refusal")"
click "$refusal" $((WIDTH - 86)) $((HEIGHT - 38)) $((WIDTH - 14)) $((HEIGHT - 12))  # 确定
wait_for 10 window_gone "软件升级" || fail "the message box stays"
click_control "$updater" "$client_skins/UpdateSoftDownloadDlg.xml" "closebtn"
wait_for 10 eval '! kill -0 '"$renewix_pid"' 2> /dev/null' || fail "the updater does not end on its close button"

# ---------------------------------------------------------------------------------------------
if [ -x "$installed/Dismantor" ]; then
  step "remove"
  # The updater handed over to the release and the client ended; nothing of ours runs now.
  wait_for 20 eval '[ -z "$(client_pid)" ]' || fail "the client still runs"
  removal_caption="Vymera同步软件 卸载程序"
  "$installed/Dismantor" > "$logs/dismantor.log" 2>&1 &
  removal_pid=$!
  started+=("$removal_pid")
  question=$(wait_window "$removal_caption" 30) || {
    kill -0 "$removal_pid" 2> /dev/null || { wait "$removal_pid"; fail "Dismantor ended ($?) without asking"; }
    fail "no removal question"
  }
  shot "remove-question"
  # The toolkit's message box: 72 x 26 buttons in a row 14 px from the right edge and 12 px from the
  # bottom, 10 px apart, "是" before "否" (and "确定" alone at the right).
  eval "$(xdo getwindowgeometry --shell "$question")"
  click "$question" $((WIDTH - 168)) $((HEIGHT - 38)) $((WIDTH - 96)) $((HEIGHT - 12))  # 是
  wait_for 20 eval '[ ! -e "$installed/Vymera" ] && [ ! -e "$installed/res" ]' || fail "the program files stay"
  done_box=$(wait_window "$removal_caption" 20) || fail "no closing message"
  shot "removed"
  eval "$(xdo getwindowgeometry --shell "$done_box")"
  click "$done_box" $((WIDTH - 86)) $((HEIGHT - 38)) $((WIDTH - 14)) $((HEIGHT - 12))  # 确定
  wait_for 20 eval '! kill -0 '"$removal_pid"' 2> /dev/null' || fail "Dismantor does not end"
  for f in Vymera Renewix res.zip res; do
    [ ! -e "$installed/$f" ] || fail "$installed/$f was not removed"
  done
  for f in userinfoset.xml systemset.ini user/DefaultUser.jpg; do
    [ -e "$installed/$f" ] || fail "the user's $installed/$f was removed"
  done
  grep -q "W15A0031C7" "$installed/userinfoset.xml" || fail "the user list lost its content"
fi

step ""
echo "e2e: all steps passed in $(seconds_between "$t0" "$(date +%s.%N)") s"
