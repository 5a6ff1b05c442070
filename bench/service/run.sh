#!/usr/bin/env bash
# Load benchmark of the reference web service: signed scale.weight.up requests from wrk over
# loopback, then the rows in the database against the distinct readings answered as stored. With
# IDLE and SLOW, that many connections that send nothing and clients that drip a request a byte at a
# time (hold.py) stay open meanwhile; wrk's latencies are then those of the uploads among them.
#   bench/service/run.sh [BUILD_DIR] [SECONDS] [CONNECTIONS] [IDLE] [SLOW]
#   bench/service/run.sh build 30 50            # the rate at 50 connections
#   bench/service/run.sh build 30 10 2000 200   # uploads among 2,000 idle and 200 slow clients
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
seconds="${2:-30}"
connections="${3:-50}"
idle="${4:-0}"
slow="${5:-0}"
program="$build/bin/vymera-service"
[ -x "$program" ] || { echo "build vymera-service first ($program missing)" >&2; exit 1; }

work="$(mktemp -d)"
server=""
holder=""
cleanup() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

db="$work/bench.db"
"$program" --db "$db" create-account --account bench@example.com --password bench --name bench >/dev/null
port=$(( 20000 + RANDOM % 20000 ))
"$program" --db "$db" --releases "$work/releases" --listen "127.0.0.1:$port" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do grep -q serving "$work/server.log" 2>/dev/null && break; sleep 0.1; done

# Distinct readings, as a copy of a stored one is stored no second time: a weight and a day each.
key=5f0c9e2ab7d1436c8e94a0b2c7d3e6f1
python3 - "$key" > "$work/bodies.txt" <<'PY'
import datetime, hashlib, sys
key, uid, code = sys.argv[1], 1, "W1BENCH"
start = datetime.date(2000, 1, 1)
for n in range(200000):
    date = (start + datetime.timedelta(days=n // 2000)).isoformat()
    weight = "%d.%d" % (20 + n % 2000 // 10, n % 10)
    signed = f"{key}date{date}methodscale.weight.upscalecode{code}user_id{uid}weight{weight}"
    sign = hashlib.md5(signed.encode()).hexdigest()
    print(f"method=scale.weight.up&user_id={uid}&scalecode={code}&date={date}&weight={weight}&sign={sign}")
PY
export VYMERA_BENCH_BODIES="$work/bodies.txt"

if [ "$idle" -gt 0 ] || [ "$slow" -gt 0 ]; then
  python3 "$here/hold.py" "$port" "$idle" "$slow" > "$work/hold.log" 2>&1 &
  holder=$!
  for _ in $(seq 300); do grep -q holding "$work/hold.log" 2>/dev/null && break; sleep 0.1; done
  cat "$work/hold.log"
fi
echo "wrk: $connections connections, ${seconds}s, signed scale.weight.up to 127.0.0.1:$port"
wrk -t2 -c"$connections" -d"${seconds}s" --latency -s "$here/weight_upload.lua" "http://127.0.0.1:$port/" | tee "$work/wrk.txt"

# The service's CPU time and context switches (all its threads) per answer: on a busy machine these
# say more than the rate, which then depends on what else runs.
ticks=$(awk '{print $14 + $15}' "/proc/$server/stat")
switches=$(cat /proc/"$server"/task/*/status 2>/dev/null | awk '/^(voluntary|nonvoluntary)_ctxt_switches/ {s += $2} END {print s + 0}')
answers=$(sed -n 's/^answers scaleup_res: //p' "$work/wrk.txt")
awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" -v s="$switches" -v n="${answers:-0}" 'BEGIN {
  if (n > 0) printf "service per answer (from its start): CPU %.0f us, %.1f context switches\n", t / hz * 1e6 / n, s / n }'
[ -n "$holder" ] && { kill "$holder"; wait "$holder" 2>/dev/null || true; holder=""; }
kill -INT "$server"; wait "$server" || true; server=""
rows=$("$program" --db "$db" show-uploads bench@example.com | sed -n 's/^weights of .*: //p')
stored=$(sed -n 's/^answers scaleup_res: //p' "$work/wrk.txt")
distinct=$(sed -n 's/^distinct readings answered scaleup_res: //p' "$work/wrk.txt")
echo "rows in the database:                    $rows"
echo "distinct readings answered scaleup_res:  $distinct (of $stored such answers)"
echo "lost writes (answers without a row): $(( distinct > rows ? distinct - rows : 0 ))"
