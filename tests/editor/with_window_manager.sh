#!/usr/bin/env bash
# Runs a test on the X display it is given with a window manager managing
# its windows, as on a desktop (the same test also runs without one).
set -euo pipefail
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
trap 'kill "$manager" 2>/dev/null || true' EXIT
# The manager takes the screen before the window appears.
for _ in $(seq 50); do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; then break; fi
  sleep 0.1
done
"$@"
