#!/usr/bin/env bash
# The quick loop while working on one layer: builds one target of the 64-bit tree and, for a
# program, runs it under Wine on a private X server with the arguments given.
#   bash tools/dev.sh foundation_tests --gtest_filter='cxScrollBar*'
#   bash tools/dev.sh lanze             # build only
# The full run of both targets stays tools/test.sh.
set -euo pipefail
source "$(dirname "$0")/common.sh"
RUN_BUILD=$BUILD64
target=${1:?usage: dev.sh TARGET [program arguments...]}; shift
export LANG=C.UTF-8
unset LC_ALL
mkdir -p "$BUILD"
[ -f "$BUILD64/build.ninja" ] || configure_tree "$BUILD64" x86_64
bash "$ROOT/tools/wine/prefix.sh" "$BUILD" >"$BUILD/prefix-setup.log" 2>&1 || { cat "$BUILD/prefix-setup.log"; exit 1; }
build_tree "$BUILD64" "$target"
exe="$BUILD64/$target.exe"
[ -f "$exe" ] || exe=$(find "$BUILD64" -name "$target.exe" -print -quit)
[ -n "$exe" ] && [ -f "$exe" ] || exit 0
trap session_stop EXIT
session_start
set +e
"$BUILD64/wine-exec" "$exe" "$@"
