#!/usr/bin/env bash
# Builds the benchmarks in a Release tree and prints their figures:
#   scripts/bench.sh [RUNS]        (default 5 runs; figures are medians)
# The server's log lines go to build-bench/bench-server.log.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
dir="$root/build-bench"
export QT_QPA_PLATFORM=offscreen

cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQUORVANE_BENCH=ON \
      -DQUORVANE_ONLY_DIRS="server/engine;server/session;server/host;bench" >/dev/null
cmake --build "$dir" -j"${JOBS:-2}" --target classify_bench server_bench Quorvane >/dev/null

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(awk '/MemTotal/ {printf "%.1f GiB", $2/1048576}' /proc/meminfo)"
echo

echo "== Hand classification over all 2,598,960 hands (median of $runs) =="
"$dir/bin/classify_bench" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
    --benchmark_format=json 2>/dev/null | python3 -c '
import json, sys
d = json.load(sys.stdin)
for b in d["benchmarks"]:
    if b.get("aggregate_name") != "median": continue
    ips = b["items_per_second"]
    name = b["run_name"].replace("BM_", "")
    print(f"{name:44s} {ips/1e6:10.1f} M/s  {1e9/ips:8.1f} ns each")
'
echo

echo "== Server over the loopback (in-process, medians of $runs runs) =="
"$dir/bin/server_bench" --runs "$runs" 2>"$dir/bench-server.log"
echo

echo "== The Quorvane program (port 9596) =="
if (exec 3<>/dev/tcp/127.0.0.1/9596) 2>/dev/null; then
    echo "port 9596 is in use: skipped"
else
    "$dir/bin/Quorvane" 2>>"$dir/bench-server.log" &
    pid=$!
    trap 'kill $pid 2>/dev/null || true' EXIT
    for _ in $(seq 50); do
        (exec 3<>/dev/tcp/127.0.0.1/9596) 2>/dev/null && break
        sleep 0.1
    done
    sleep 0.5
    "$dir/bin/server_bench" --memory-of "$pid" --port 9596
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    trap - EXIT
fi
