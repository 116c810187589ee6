# Sourced: what this host can run. Some hosts refuse every 32-bit x86 program (the kernel
# has no 32-bit code segment); asking the 32-bit Wine loader for its version fails there at
# once with "Exec format error", so this check costs a few milliseconds. While a run of ours
# has qemu's user-mode emulation registered for 32-bit programs (tools/wine/emulate32.sh),
# the loader starts there too, but through the emulator: asked with QEMU_VERSION set, the
# emulator prints its own version instead of starting the loader.
#   LANZE_HOST_RUNS_32BIT  1 or 0: the kernel itself runs 32-bit code
#   LANZE_HOST_WINE        the Wine loader for programs of the prefix's own tools: the
#                          32-bit-capable one where the host allows, else the 64-bit one
if [ -z "${LANZE_HOST_RUNS_32BIT:-}" ]; then
  if lanze_loader=$(QEMU_VERSION=1 /usr/lib/wine/wine --version 2>/dev/null) && [[ $lanze_loader != *qemu* ]]; then
    LANZE_HOST_RUNS_32BIT=1
  else
    LANZE_HOST_RUNS_32BIT=0
  fi
  unset lanze_loader
fi
if [ "$LANZE_HOST_RUNS_32BIT" = 1 ]; then
  LANZE_HOST_WINE=/usr/lib/wine/wine
else
  LANZE_HOST_WINE=/usr/lib/wine/wine64
fi
export LANZE_HOST_RUNS_32BIT LANZE_HOST_WINE
