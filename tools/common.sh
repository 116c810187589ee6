# Shared by tools/test.sh and tools/run.sh (sourced): build set-up and the Wine session.
#
# One tree, two targets, each in its own build folder:
#   build/      32-bit Windows (i686): the shipped program build/lanze.exe
#   build/x64/  64-bit Windows (x86_64): the same libraries, tests and tools
# Both share the Wine prefix build/wineprefix. Some hosts cannot run 32-bit code at all;
# there the 32-bit build takes its build-time tools from the 64-bit one.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
BUILD64="$BUILD/x64"
JOBS=${JOBS:-$(nproc)}   # a caller sharing the machine may ask for fewer
source "$ROOT/tools/wine/xvfb.sh"
source "$ROOT/tools/wine/host.sh"
source "$ROOT/tools/wine/emulate32.sh"

# How this run executes 32-bit programs: "native", "emulated" (enable_32bit set up qemu's
# user-mode emulation for the run) or "none" (LANZE_RUN32_WHY says why).
LANZE_RUN32=none
LANZE_RUN32_WHY=""
[ "$LANZE_HOST_RUNS_32BIT" = 1 ] && LANZE_RUN32=native
# The build whose programs run on this host: the shipped 32-bit one wherever it can run,
# else the 64-bit one. enable_32bit updates it.
if [ "$LANZE_RUN32" = none ]; then RUN_BUILD="$BUILD64"; else RUN_BUILD="$BUILD"; fi

# enable_32bit: on a host whose kernel refuses 32-bit code, the emulation for this run. The
# caller has cleanup_run in its EXIT trap (see trap_cleanup), which removes it again.
enable_32bit() {
  [ "$LANZE_RUN32" = none ] || return 0
  mkdir -p "$BUILD"
  if emulate32_start "$BUILD" 2>"$BUILD/emulate32.why"; then
    LANZE_RUN32=emulated
    RUN_BUILD="$BUILD"
  else
    LANZE_RUN32_WHY=$(tail -n 1 "$BUILD/emulate32.why")
  fi
}

# What a run leaves on the machine is undone on every way out: the X server, the Wine
# server, a prefix set-up still running, the emulation's binfmt entry.
cleanup_run() {
  session_stop
  if [ -n "${PREFIX_JOB:-}" ]; then kill "$PREFIX_JOB" 2>/dev/null || true; fi
  emulate32_stop
}
trap_cleanup() {
  trap cleanup_run EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
}

# configure_tree DIR ARCH [cmake args...]: the JPEG codec for ARCH, then CMake.
configure_tree() {
  local dir=$1 arch=$2; shift 2
  local toolchain="$ROOT/cmake/toolchain-$arch-mingw.cmake"
  mkdir -p "$dir"
  bash "$ROOT/tools/setup/build-libjpeg.sh" "$dir" "$toolchain"
  # Release: no debug information, which keeps the statically linked programs small and
  # their links fast; failures are found from test output, not with a debugger.
  timeout 600 cmake -S "$ROOT" -B "$dir" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DLANZE_WINE_HOME="$BUILD" "$@" >"$dir/configure.log" 2>&1 \
    || { cat "$dir/configure.log"; return 1; }
}

# build_tree DIR [targets...]: builds the given targets (all when none given).
build_tree() {
  local dir=$1 targets=() t; shift
  for t in "$@"; do targets+=(--target "$t"); done
  timeout 3600 cmake --build "$dir" -j"$JOBS" "${targets[@]}"
}

# Packages and the Wine prefix; the prefix (about 15 s, mostly waiting) is made in the
# background while the caller builds: wait for it with prefix_wait.
prepare_host() {
  bash "$ROOT/tools/setup/install-packages.sh"
  mkdir -p "$BUILD"
  # Before the prefix: only a prefix made while 32-bit programs run gets its 32-bit half.
  enable_32bit
  bash "$ROOT/tools/wine/prefix.sh" "$BUILD" >"$BUILD/prefix-setup.log" 2>&1 &
  PREFIX_JOB=$!
}
prefix_wait() {
  wait "$PREFIX_JOB" && return 0
  # The build's own call may have finished the prefix since, or the failure was Wine's
  # alone (a helper process killed under it): once more in the foreground, which is quick
  # when the prefix is ready and names the cause when it fails again.
  bash "$ROOT/tools/wine/prefix.sh" "$BUILD" >>"$BUILD/prefix-setup.log" 2>&1 \
    || { cat "$BUILD/prefix-setup.log"; return 1; }
}

# Both targets, all of each: the 64-bit build first, since on a host without 32-bit code
# the 32-bit build runs its build-time tools.
prepare_both_builds() {
  prepare_host
  local host_tools=()
  # Build-time tools of the 32-bit tree: its own where the kernel runs them, else the 64-bit
  # tree's, which run natively (emulated they would only be slower).
  if [ "$LANZE_HOST_RUNS_32BIT" = 1 ]; then host_tools=(-DLANZE_HOST_TOOLS=); else host_tools=(-DLANZE_HOST_TOOLS="$BUILD64"); fi
  configure_tree "$BUILD64" x86_64 -DLANZE_PEER_BUILD="$BUILD" || { prefix_wait; return 1; }
  configure_tree "$BUILD" i686 "${host_tools[@]}" -DLANZE_PEER_BUILD= || { prefix_wait; return 1; }
  build_tree "$BUILD64" || { prefix_wait; return 1; }
  build_tree "$BUILD" || { prefix_wait; return 1; }
  prefix_wait
}

# Only the given targets of the build that runs here.
prepare_run_build() {
  prepare_host
  local arch=i686
  [ "$RUN_BUILD" = "$BUILD" ] || arch=x86_64
  configure_tree "$RUN_BUILD" $arch || { prefix_wait; return 1; }
  build_tree "$RUN_BUILD" "$@" || { prefix_wait; return 1; }
  prefix_wait
}

# A private X server plus one wineserver for the whole run: Wine then starts its helper
# processes once, and each program starts in well under a second instead of seconds.
session_start() {
  xvfb_start "$BUILD" || return 1
  export WINEPREFIX="$BUILD/wineprefix"
  LANZE_SESSION=1
  # A server left from Wine runs during the build would refuse the persistent one; it ends
  # by itself a few seconds after its last program.
  timeout 30 wineserver -w || true
  timeout 30 wineserver -p </dev/null >/dev/null 2>&1 || true
  # Boot the session now, with output to a file, so Wine's helpers neither hold anyone's pipe
  # nor make the first program of the run pay for the boot.
  WINE_TIMEOUT=120 "$RUN_BUILD/wine-exec" wineboot >"$BUILD/session.log" 2>&1 || true
}

session_stop() {
  if [ -n "${LANZE_SESSION:-}" ]; then timeout 30 wineserver -k >/dev/null 2>&1 || true; fi
  LANZE_SESSION=""
  xvfb_stop "$BUILD"
}
