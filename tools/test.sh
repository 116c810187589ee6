#!/usr/bin/env bash
# Builds both targets and runs all tests under Wine; exits with CTest's status.
# The 64-bit suite runs everywhere; the 32-bit one where the host runs 32-bit code.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# Results must not depend on the caller's locale; tests that need another set it themselves.
export LANG=C.UTF-8
unset LC_ALL
prepare_both_builds
trap session_stop EXIT
session_start

# Each test executable is one process; they are independent, so run them side by side.
# The two suites run one after the other: they share the X server and the Wine desktop.
set +e
status=0
echo "== 64-bit suite (build/x64)"
(cd "$BUILD64" && timeout 3600 ctest --output-on-failure -j"$JOBS") || status=1
if [ "$LANZE_HOST_RUNS_32BIT" = 1 ]; then
  echo "== 32-bit suite (build)"
  (cd "$BUILD" && timeout 3600 ctest --output-on-failure -j"$JOBS") || status=1
else
  echo "32-bit suite built but not run: this host cannot execute 32-bit code (the 32-bit Wine loader fails with \"Exec format error\")"
fi
exit $status
