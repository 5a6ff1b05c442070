#!/usr/bin/env bash
# A Windows test program under Wine against a Linux vymera-sim: starts the simulator on a private
# socket and a loopback port the system picks, runs the program with that port in VYMERA_SIM_PORT,
# and ends the simulator. Exits 77 (skipped) when the Linux build has no usable vymera-sim.
#   wine_bridge_test.sh LINUX_VYMERA_SIM WINE_RUN PROGRAM.exe [ARGS...]
set -uo pipefail

sim=$1 wine_run=$2 program=$3
shift 3
if [ ! -x "$sim" ]; then
  echo "skipped: no Linux vymera-sim at $sim (build it: ninja -C build vymera-sim, or set VYMERA_LINUX_BUILD)"
  exit 77
fi

folder=$(mktemp -d)
chmod 700 "$folder"
sim_pid=
finish() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2> /dev/null
    wait "$sim_pid" 2> /dev/null
  fi
  rm -rf "$folder"
}
trap finish EXIT

# At the end of its input the simulator goes on serving until it is told to end.
"$sim" --socket "$folder/vymera-sim.sock" --tcp-port 0 < /dev/null > "$folder/sim.log" 2>&1 &
sim_pid=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/.* and on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$folder/sim.log")
  [ -n "$port" ] && break
  if ! kill -0 "$sim_pid" 2> /dev/null; then
    sim_pid=
    if grep -q "unknown option --tcp-port" "$folder/sim.log"; then
      echo "skipped: the Linux vymera-sim at $sim serves no TCP port yet (rebuild it: ninja -C build vymera-sim)"
      exit 77
    fi
    echo "vymera-sim did not start: $(cat "$folder/sim.log")" >&2
    exit 1
  fi
  sleep 0.1
done
[ -n "$port" ] || { echo "vymera-sim named no port within 10 s: $(cat "$folder/sim.log")" >&2; exit 1; }

echo "vymera-sim (Linux) serves 127.0.0.1:$port"
VYMERA_SIM_PORT=$port "$wine_run" "$program" "$@"
