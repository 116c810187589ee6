#!/bin/sh
# run-emulated.sh LOG COMMAND...: runs a Windows program at build time with its
# output in LOG, shown only when it fails. Wine must not get the build tool's
# pipes: a wineserver it starts would inherit them and keep the step open.
#
# Every program run this way writes all its outputs anew, so a run that failed
# without a word may be repeated: such a failure is Wine's (a start
# that never reached the program, a process killed from outside), not the
# program's, which always says why it fails. The repeat has Wine's own error
# messages on, so that a second failure explains itself.
log=$1
shift
"$@" >"$log" 2>&1 </dev/null
rc=$?
if [ $rc -ne 0 ] && [ ! -s "$log" ]; then
  echo "run-emulated: $1 $2 ended with exit code $rc and printed nothing; once more, with Wine's errors shown" >&2
  WINEDEBUG=fixme-all "$@" >"$log" 2>&1 </dev/null
  rc=$?
fi
if [ $rc -ne 0 ]; then
  cat "$log" >&2
  echo "run-emulated: exit code $rc; free space: $(df -h . | awk 'NR==2 {print $4}')" >&2
fi
exit $rc
