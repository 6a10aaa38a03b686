#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [seconds-per-target]     (default 60)
# Findings (crash-*, leak-*, timeout-*) are written to build-fuzz/findings.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
dir="$root/build-fuzz"
# Only the libraries the targets need; none of them needs Qt.
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DQUORVANE_FUZZ=ON -DQUORVANE_GUI=OFF \
  -DQUORVANE_ONLY_DIRS="server/engine;server/session;client/core;fuzz" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_WERROR=ON >/dev/null
cmake --build "$dir" -j"${JOBS:-2}" --target fuzzers
mkdir -p "$dir/findings"
for target in "$dir"/bin/*_fuzz; do
  name="$(basename "$target" _fuzz)"
  corpus="$dir/corpus/$name"
  mkdir -p "$corpus"
  # Work on a copy so the seed corpus in the repository stays as committed.
  cp -n "$root/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
  dict=()
  [ -f "$root/fuzz/$name.dict" ] && dict=(-dict="$root/fuzz/$name.dict")
  echo "== fuzzing $name for ${seconds}s"
  "$target" "$corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$dir/findings/$name-" -print_final_stats=1 2>&1 | tail -n 12
done
echo "fuzzing finished without findings"
