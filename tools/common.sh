# Shared by tools/test.sh and tools/run.sh (sourced): build set-up and the Wine session.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
JOBS=$(nproc)
source "$ROOT/tools/wine/xvfb.sh"

# Packages, the JPEG codec, configure, then build the given targets (all when none given).
prepare_build() {
  bash "$ROOT/tools/setup/install-packages.sh"
  bash "$ROOT/tools/setup/build-libjpeg.sh" "$BUILD"
  # Release: no debug information, which keeps the statically linked programs small and
  # their links fast; failures are found from test output, not with a debugger.
  timeout 600 cmake -S "$ROOT" -B "$BUILD" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release >"$BUILD/configure.log" 2>&1 \
    || { cat "$BUILD/configure.log"; return 1; }
  # A new Wine prefix takes about 15 s, mostly waiting: make it while the build runs.
  bash "$ROOT/tools/wine/prefix.sh" "$BUILD" >"$BUILD/prefix-setup.log" 2>&1 &
  local prefix_job=$! targets=() t
  for t in "$@"; do targets+=(--target "$t"); done
  timeout 3600 cmake --build "$BUILD" -j"$JOBS" "${targets[@]}" || { wait $prefix_job; return 1; }
  wait $prefix_job || { cat "$BUILD/prefix-setup.log"; return 1; }
}

# A private X server plus one wineserver for the whole run: Wine then starts its helper
# processes once, and each program starts in well under a second instead of seconds.
session_start() {
  xvfb_start "$BUILD" || return 1
  export WINEPREFIX="$BUILD/wineprefix"
  # A server left from Wine runs during the build would refuse the persistent one; it ends
  # by itself a few seconds after its last program.
  timeout 30 wineserver -w || true
  timeout 30 wineserver -p </dev/null >/dev/null 2>&1 || true
  # Boot the session now, with output to a file, so Wine's helpers neither hold anyone's pipe
  # nor make the first program of the run pay for the boot.
  WINE_TIMEOUT=120 "$BUILD/wine-exec" wineboot >"$BUILD/session.log" 2>&1 || true
}

session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then timeout 30 wineserver -k >/dev/null 2>&1 || true; fi
  xvfb_stop "$BUILD"
}
