#!/bin/sh
# run-emulated.sh LOG COMMAND...: runs a Windows program at build time with its
# output in LOG, shown only when it fails. Wine must not get the build tool's
# pipes: a wineserver it starts would inherit them and keep the step open.
log=$1
shift
"$@" >"$log" 2>&1 </dev/null
rc=$?
if [ $rc -ne 0 ]; then
  cat "$log" >&2
fi
exit $rc
