#!/usr/bin/env bash
# Builds everything and runs all tests under Wine; exits with CTest's status.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# Results must not depend on the caller's locale; tests that need another set it themselves.
export LANG=C.UTF-8
unset LC_ALL
mkdir -p "$BUILD"
prepare_build
trap session_stop EXIT
session_start

# Each test executable is one process; they are independent, so run them side by side.
set +e
(cd "$BUILD" && timeout 3600 ctest --output-on-failure -j"$JOBS")
status=$?
exit $status
