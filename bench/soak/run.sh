#!/usr/bin/env bash
# The long soak of the sync core under faults: PASSES passes (default 1000) of the real client core
# against the reference service behind a fault-injecting proxy, with the simulated scale. Prints the
# seed, the passes, the faults by kind, and the readings weighed, stored, held, lost and doubled.
#   bench/soak/run.sh [PASSES] [BUILD_DIR] [SEED]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
passes="${1:-1000}"
build="${2:-$here/../../build}"
program="$build/tests/sync_soak"
[ -x "$program" ] || { echo "build sync_soak first ($program missing)" >&2; exit 1; }
started=$(date +%s)
"$program" "$passes" ${3:+"$3"} && code=0 || code=$?
echo "time: $(( $(date +%s) - started )) s"
exit "$code"
