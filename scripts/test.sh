#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal
# build and once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen

"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure --timeout 600)

"$root/scripts/build.sh" "$root/build-asan" -DQUORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
(cd "$root/build-asan" && ctest --output-on-failure --timeout 900)

# Each fuzz target for a bounded time (FUZZ_SECONDS, default 60).
"$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-60}"
