#!/usr/bin/env bash
# Starts the real client from a copy of the programs' folder against the reference service on the
# client's built-in address, with one account that logs in by itself. Its window must appear, a
# second start must end at once and leave the first running, and a termination request must end it
# with the users stored. Screenshots go to SHOTS.
set -euo pipefail
bin=${1:?usage: vymera_program_test.sh BIN_FOLDER SCREENSHOT_TOOL SHOTS}
screenshot=${2:?}
shots=${3:?}
source "$(dirname "$0")/program_rig.sh"
rig_start

"$prog/Vymera" > "$work/client.log" 2>&1 &
client=$!
# The first start has the session to itself once its window is published (the registry names it by
# its process): a second start before that could take the lock first and leave this one to end.
published() {
  alive "$client" || fail "the first client ended: $(cat "$work/client.log")"
  [ -S "$XDG_RUNTIME_DIR/vymera-windows/$client.sock" ]
}
within 150 published || fail "the first client's window was not published"
# The window is up once a second start finds it: that one ends at once, with 0.
second() { timeout 5 "$prog/Vymera" > /dev/null 2>&1; }
within 100 second || fail "a second start did not end at once with 0"
sleep 1
kill -0 "$client" 2>/dev/null || fail "the first client ended: $(cat "$work/client.log")"
mkdir -p "$shots"
"$screenshot" "$shots/main-window.png" || fail "no screenshot"
[ "$(stat -c %s "$shots/main-window.png")" -gt 10000 ] || fail "the screen shows nearly nothing"

rig_end_client "$client"
client=
grep -q "<account>tester@example.com</account>" "$prog/userinfoset.xml" || fail "the user is not stored"
grep -q "<logincode>" "$prog/userinfoset.xml" || fail "the stored user carries no login from the service"
echo "the client came up, stayed single, and ended in order; screenshots in $shots"
