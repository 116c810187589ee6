#!/usr/bin/env bash
# Builds both targets and runs all tests under Wine; exits with CTest's status.
# The 64-bit suite runs everywhere; the 32-bit one natively where the kernel runs 32-bit code,
# elsewhere under qemu's user-mode emulation, set up for this run and removed after it
# (tools/wine/emulate32.sh). Where neither can be had, one line says why it did not run.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# Results must not depend on the caller's locale; tests that need another set it themselves.
export LANG=C.UTF-8
unset LC_ALL
trap_cleanup
prepare_both_builds
session_start

# Each test executable is one process; they are independent, so run them side by side.
# The two suites run one after the other: they share the X server and the Wine desktop.
set +e
status=0
echo "== 64-bit suite (build/x64)"
(cd "$BUILD64" && timeout 3600 ctest --output-on-failure -j"$JOBS") || status=1
case "$LANZE_RUN32" in
  native)   echo "== 32-bit suite (build)" ;;
  emulated) echo "== 32-bit suite (build), under qemu's user-mode emulation: this host's kernel runs no 32-bit code" ;;
  *)        echo "32-bit suite built but not run: this host cannot execute 32-bit code, and $LANZE_RUN32_WHY" ;;
esac
if [ "$LANZE_RUN32" != none ]; then
  (cd "$BUILD" && timeout 3600 ctest --output-on-failure -j"$JOBS") || status=1
fi
exit $status
