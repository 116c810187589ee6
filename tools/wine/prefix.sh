#!/usr/bin/env bash
# Creates the build's Wine prefix (BUILD/wineprefix) without any dialog and sets it up for
# this program (fonts for Chinese text, window handling without a window manager).
# Quick and silent when the prefix is already there; safe to call from parallel processes.
set -euo pipefail

BUILD=$(realpath -m "${1:?usage: prefix.sh BUILD_DIR}")
source "$(dirname "$0")/host.sh"
export WINEPREFIX="$BUILD/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
stamp="$WINEPREFIX/.lanze-ready"
# A prefix made while 32-bit programs could not run lacks its 32-bit half (syswow64), and
# Wine adds it only when the prefix is made: under the 32-bit emulation such a prefix is
# made anew.
ready() {
  [ -f "$stamp" ] || return 1
  [ -z "${LANZE_32BIT_EMULATION:-}" ] || [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}
ready && exit 0

mkdir -p "$BUILD"
exec 9>"$BUILD/wineprefix.lock"
flock -w 300 9 || { echo "prefix.sh: lock wait timed out" >&2; exit 1; }
ready && exit 0                    # another caller finished it while we waited
if [ -f "$stamp" ]; then
  echo "making the Wine prefix anew: it has no 32-bit half"
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
fi

log="$BUILD/wineprefix.log"
echo "creating Wine prefix $WINEPREFIX"
# Output goes to a file: a wineserver started here must not hold the caller's pipes open.
timeout 300 "$LANZE_HOST_WINE" wineboot.exe -i >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
# Wine's own fonts (Tahoma, the default GUI face; Marlett, the caption-button glyphs) do not
# reach C:\windows\Fonts with Debian's packages (measured), so windows fall back to other faces.
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"

# Settings, as a .reg file in UTF-16LE with BOM (what keeps the Chinese names intact):
# - the Chinese faces the program asks for draw with the CJK font installed on Linux (the
#   32-bit view of this key is a link to the 64-bit one, so one key serves both);
# - Chinese text in bold Tahoma (window captions) falls back to that font too: Wine links
#   the regular face by itself but looks the bold one up under its full name;
# - Wine manages its windows itself, as Windows does: it draws captions and frames and
#   maximizes at once, instead of leaving that to an X window manager that is not there;
# - a crashing program gets its backtrace written to its output and ends, instead of a crash
#   dialog that waits for a click nobody makes (Wine does not honour SEM_NOGPFAULTERRORBOX).
reg="$BUILD/prefix.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  for face in '微软雅黑' 'Microsoft YaHei' '宋体' 'SimSun'; do
    printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
  done
  printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  printf '"Tahoma Bold"=hex(7):%s\r\n' "$(printf 'wqy-microhei.ttc,WenQuanYi Micro Hei\0\0' |
    iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//')"
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
} | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$reg"
timeout 120 "$LANZE_HOST_WINE" regedit.exe /S "$reg" >>"$log" 2>&1 || { cat "$log" >&2; exit 1; }

# Let the registry reach the disk before the prefix is called ready.
timeout 120 wineserver -w || true
touch "$stamp"
echo "Wine prefix ready"
