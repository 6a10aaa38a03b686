#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh DIR [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
jobs="${JOBS:-2}"
cmake -S "$root" -B "$dir" -DQUORVANE_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j"$jobs"
