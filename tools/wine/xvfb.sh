#!/usr/bin/env bash
# A private X server for Wine's windows (none of the host's displays is touched).
# Source this file and call `xvfb_start BUILD` (exports DISPLAY) and later `xvfb_stop BUILD`
# (stops the server of the current DISPLAY), or run it:
#   eval "$(tools/wine/xvfb.sh start BUILD)"   # sets DISPLAY
#   tools/wine/xvfb.sh stop BUILD              # with that DISPLAY still set
# The pid is kept as BUILD/xvfb-N.pid, one per display, so a test run and an app run can
# each have their own server at the same time.

xvfb_start() {
  local build=$1 numfile pid i
  mkdir -p "$build"
  numfile=$(mktemp "$build/xvfb-display.XXXXXX")
  # -displayfd: the server picks a free display number and writes it once it accepts clients.
  # Started from a subshell so that it is no job of the caller: a plain `wait` there must
  # not wait for the server.
  pid=$(Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset \
          3>"$numfile" </dev/null >"$build/xvfb.log" 2>&1 & echo $!)
  for i in $(seq 100); do
    if grep -q '^[0-9]' "$numfile"; then
      export DISPLAY=":$(head -n1 "$numfile")"
      echo "$pid" >"$build/xvfb-${DISPLAY#:}.pid"
      rm -f "$numfile"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "xvfb: server did not start (see $build/xvfb.log)" >&2
  kill -9 "$pid" 2>/dev/null
  rm -f "$numfile"
  return 1
}

xvfb_stop() {
  local pidfile="$1/xvfb-${DISPLAY#:}.pid" pid i
  [ -n "${DISPLAY:-}" ] && [ -f "$pidfile" ] || return 0
  pid=$(cat "$pidfile")
  rm -f "$pidfile"
  kill "$pid" 2>/dev/null || return 0
  for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -u
  case "${1:-}" in
    start) xvfb_start "${2:?BUILD dir}" && echo "export DISPLAY=$DISPLAY" ;;
    stop)  xvfb_stop "${2:?BUILD dir}" ;;
    *) echo "usage: xvfb.sh start|stop BUILD_DIR" >&2; exit 2 ;;
  esac
fi
