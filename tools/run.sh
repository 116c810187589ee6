#!/usr/bin/env bash
# Builds the program and runs it under Wine: the shipped 32-bit program, on a host whose kernel
# refuses 32-bit code under qemu's user-mode emulation (set up for this run and removed after
# it); the 64-bit build of it only where that emulation cannot be had.
# With a reachable DISPLAY: runs it there and exits with its exit code.
# Without: runs it on a private X server, waits for the main window, saves
# build/screenshot.png, closes the window as a user would and exits with the exit code.
set -euo pipefail
source "$(dirname "$0")/common.sh"

CAPTION="岚泽家具生产设计系统3.0"
trap_cleanup
prepare_run_build lanze closewin
[ "$LANZE_RUN32" != none ] ||
  echo "run.sh: running the 64-bit build: this host cannot execute 32-bit code, and $LANZE_RUN32_WHY" >&2

if [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  set +e
  WINE_TIMEOUT=0 "$RUN_BUILD/wine-exec" "$RUN_BUILD/lanze.exe"
  exit $?
fi

session_start
set +e
WINE_TIMEOUT=300 "$RUN_BUILD/wine-exec" "$RUN_BUILD/lanze.exe" >"$BUILD/run.log" 2>&1 &
app=$!

# Wine names the X window after the caption; "IsViewable" means it is mapped on screen.
window_shown() { LC_ALL=C.UTF-8 timeout 5 xwininfo -name "$CAPTION" 2>/dev/null | grep -q IsViewable; }
deadline=$((SECONDS + 60))
until window_shown; do
  if ! kill -0 $app 2>/dev/null || [ $SECONDS -ge $deadline ]; then
    echo "run.sh: the main window \"$CAPTION\" did not appear (output: $BUILD/run.log)" >&2
    kill $app 2>/dev/null
    exit 1
  fi
  sleep 0.2
done
sleep 1   # let it paint
timeout 30 import -window root "$BUILD/screenshot.png" && echo "screenshot: $BUILD/screenshot.png"

# A UTF-8 locale for this one call: Wine converts the caption argument with it.
LC_ALL=C.UTF-8 WINE_TIMEOUT=30 "$RUN_BUILD/wine-exec" "$RUN_BUILD/closewin.exe" "$CAPTION" \
  >>"$BUILD/run.log" 2>&1 || echo "run.sh: could not ask the window to close" >&2
deadline=$((SECONDS + 30))
while kill -0 $app 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
if kill -0 $app 2>/dev/null; then
  echo "run.sh: the program did not exit after its window was closed" >&2
  kill $app 2>/dev/null
  exit 1
fi
wait $app
code=$?
echo "exit code: $code"
exit $code
