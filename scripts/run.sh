#!/usr/bin/env bash
# Installs what is missing, builds the two programs, and starts the server in
# test mode: it brings up two clients that create a game and deal its first hand.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

# Both programs are desktop programs: say so before a long build, not after.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
No display found: Quorvane and Tessarin are desktop programs and need one.
On a machine without a desktop, run them under a virtual X server:
    xvfb-run -a -s "-screen 0 1280x800x24" $0
MSG
  exit 1
fi

cmake -S "$root" -B "$root/build" -DQUORVANE_WERROR=ON >/dev/null
cmake --build "$root/build" -j"${JOBS:-2}" --target Quorvane Tessarin

# The client plays cardd.wav from its working directory; the build puts it here.
cd "$root/build/bin"
exec ./Quorvane -test
