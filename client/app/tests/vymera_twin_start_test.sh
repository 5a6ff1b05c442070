#!/usr/bin/env bash
# Two starts of the real client released at the same moment, round after round, against the reference
# service: each round exactly one client must stay, and the other start must end by itself with 0
# once the survivor's window is there to raise. The survivor then ends in order.
#   vymera_twin_start_test.sh BIN_FOLDER [ROUNDS]
set -euo pipefail
bin=${1:?usage: vymera_twin_start_test.sh BIN_FOLDER [ROUNDS]}
rounds=${2:-6}
source "$(dirname "$0")/program_rig.sh"
rig_start

twin=
trap 'for p in $client $twin; do kill -9 "$p" 2>/dev/null || true; done; rig_cleanup' EXIT
gate=$work/gate
for round in $(seq "$rounds"); do
  # Both wait on the gate, a lock this script holds, and go when it lets go: the same moment,
  # give or take the scheduler.
  exec 4> "$gate"
  flock -x 4
  (exec 4>&-; flock -s "$gate" true; exec "$prog/Vymera") >> "$work/client.log" 2>&1 &
  first=$!
  (exec 4>&-; flock -s "$gate" true; exec "$prog/Vymera") >> "$work/client.log" 2>&1 &
  second=$!
  client=$first twin=$second
  sleep 0.3
  exec 4>&-

  one_ended() { ! alive "$first" || ! alive "$second"; }
  within 200 one_ended || fail "round $round: both starts are still running after 20 s"
  if alive "$first"; then survivor=$first ended=$second; else survivor=$second ended=$first; fi
  wait "$ended" && code=0 || code=$?
  [ "$code" -eq 0 ] || fail "round $round: the start that gave way ended with $code: $(tail -5 "$work/client.log")"
  sleep 0.5
  alive "$survivor" || fail "round $round: no client is left: $(tail -5 "$work/client.log")"
  # The one left is findable: a third start raises it and ends with 0 at once.
  timeout 5 "$prog/Vymera" > /dev/null 2>&1 || fail "round $round: a third start did not end with 0"
  alive "$survivor" || fail "round $round: the client ended when a third start raised it"
  rig_end_client "$survivor"
  client= twin=
done
grep -q "<account>tester@example.com</account>" "$prog/userinfoset.xml" || fail "the user is not stored"
echo "$rounds rounds of two starts at the same moment each left exactly one client"
