# Sourced: runs the 32-bit programs on a host whose kernel refuses 32-bit code, through qemu's
# user-mode emulation. Only the 32-bit processes are emulated: the Wine server and the 64-bit
# half of the prefix run natively.
#
#   emulate32_start BUILD   registers qemu-i386 for 32-bit ELF programs with binfmt_misc under
#                           a name of this run's own, builds the preloaded library that mends
#                           the emulator's faults (emulate32-preload.c) and exports what the
#                           Wine processes need (LD_PRELOAD, LANZE_32BIT_EMULATION). Returns 1
#                           with one line on stderr saying why when it cannot.
#   emulate32_stop          removes this run's entry again. Callers run it from an EXIT trap:
#                           while an entry is registered, every 32-bit program on the machine
#                           goes through the emulator, and a 32-bit Wine started there without
#                           the preloaded library hangs.
#
# An entry whose run was killed before its trap ran is removed by the next start.

EMULATE32_BINFMT=/proc/sys/fs/binfmt_misc
EMULATE32_ENTRY=""

# The first bytes of an i386 executable or shared object, and which of them must match.
EMULATE32_MAGIC='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
EMULATE32_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

emulate32_as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo -n "$@"; fi
}

emulate32_start() {
  local build=$1 dir entry f pid src
  dir=$(realpath -m "$build/emulate32")
  src="$(dirname "${BASH_SOURCE[0]}")/emulate32-preload.c"
  if [ "$(id -u)" != 0 ] && ! sudo -n true 2>/dev/null; then
    echo "the emulation of 32-bit code needs root (binfmt_misc), and this user is not root" >&2
    return 1
  fi
  local need=()
  command -v qemu-i386-static >/dev/null || need+=(qemu-user-static)
  dpkg-query -W -f='${Status}' gcc-multilib 2>/dev/null | grep -q "install ok installed" || need+=(gcc-multilib)
  if [ ${#need[@]} -gt 0 ]; then
    echo "installing for the 32-bit emulation: ${need[*]}"
    DEBIAN_FRONTEND=noninteractive emulate32_as_root apt-get install -y -qq --no-install-recommends \
      "${need[@]}" >"$build/emulate32-install.log" 2>&1 || {
      echo "the packages of the 32-bit emulation (${need[*]}) could not be installed: see $build/emulate32-install.log" >&2
      return 1
    }
  fi
  if [ ! -w "$EMULATE32_BINFMT/register" ] && ! mountpoint -q "$EMULATE32_BINFMT"; then
    emulate32_as_root mount -t binfmt_misc binfmt_misc "$EMULATE32_BINFMT" 2>/dev/null || {
      echo "binfmt_misc is not available on this host (it cannot be mounted at $EMULATE32_BINFMT)" >&2
      return 1
    }
  fi
  for f in "$EMULATE32_BINFMT"/lanze-i386-*; do
    [ -e "$f" ] || continue
    pid=${f##*-}
    kill -0 "$pid" 2>/dev/null || echo -1 | emulate32_as_root tee "$f" >/dev/null
  done

  mkdir -p "$dir/lib/i386-linux-gnu" "$dir/lib/x86_64-linux-gnu"
  if [ ! -f "$dir/lib/i386-linux-gnu/liblanze-emulate32.so" ] || [ "$src" -nt "$dir/lib/i386-linux-gnu/liblanze-emulate32.so" ]; then
    gcc -m32 -O2 -shared -fPIC -fno-stack-protector -o "$dir/lib/i386-linux-gnu/liblanze-emulate32.so" \
      "$src" -ldl -lpthread >"$dir/build.log" 2>&1 || {
      echo "the preloaded library of the 32-bit emulation does not build: see $dir/build.log" >&2
      return 1
    }
    # 64-bit processes find an empty library under the same name ($LIB differs).
    echo 'void lanze_emulate32_none(void) {}' |
      gcc -O2 -shared -fPIC -x c -o "$dir/lib/x86_64-linux-gnu/liblanze-emulate32.so" - >>"$dir/build.log" 2>&1 || {
      echo "the preloaded library of the 32-bit emulation does not build: see $dir/build.log" >&2
      return 1
    }
  fi
  # A name ending in -binfmt-P tells the emulator that the kernel keeps the program's own
  # argv[0] (flag P). Flag F opens the emulator now, so the link is not needed later; O hands
  # it the open program, for programs it could not open itself.
  ln -sf "$(command -v qemu-i386-static)" "$dir/qemu-i386-binfmt-P"
  entry="lanze-i386-$$"
  printf '%s' ":$entry:M::$EMULATE32_MAGIC:$EMULATE32_MASK:$dir/qemu-i386-binfmt-P:OPF" |
    emulate32_as_root tee "$EMULATE32_BINFMT/register" >/dev/null 2>&1 || {
    echo "the 32-bit emulation could not be registered with binfmt_misc" >&2
    return 1
  }
  EMULATE32_ENTRY=$entry
  export LD_PRELOAD="$dir/\$LIB/liblanze-emulate32.so"
  export LANZE_32BIT_EMULATION=qemu-user
  if ! timeout 120 /usr/lib/wine/wine --version >/dev/null 2>&1; then
    emulate32_stop
    echo "the 32-bit Wine loader does not start under the emulation" >&2
    return 1
  fi
  return 0
}

emulate32_stop() {
  [ -n "$EMULATE32_ENTRY" ] || return 0
  [ -e "$EMULATE32_BINFMT/$EMULATE32_ENTRY" ] && echo -1 | emulate32_as_root tee "$EMULATE32_BINFMT/$EMULATE32_ENTRY" >/dev/null
  EMULATE32_ENTRY=""
  unset LD_PRELOAD LANZE_32BIT_EMULATION
}
