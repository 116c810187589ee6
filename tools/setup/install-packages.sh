#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs to build and test the program.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  cmake ninja-build make python3 dpkg-dev
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  nasm googletest
  wine wine32:i386 wine64 xvfb x11-utils imagemagick
  fonts-wqy-microhei locales
  # Wine's own fonts (Tahoma, the default GUI face; Marlett, the caption-button glyphs) and
  # the X extensions the display drivers of both halves load (recommended only, so not
  # pulled in).
  fonts-wine libxrender1:i386 libxrandr2:i386 libxcursor1:i386 libxi6:i386
  libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386 libxext6:i386
  libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxfixes3 libxext6
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# Source packages are needed for the one cross-built dependency (the JPEG codec).
enable_sources() {
  local changed=0
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    if grep -q '^Types: deb$' "$f"; then
      $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"; changed=1
    fi
  done
  if [ -f /etc/apt/sources.list ]; then
    while read -r line; do
      src="deb-src${line#deb}"
      if ! grep -qxF "$src" /etc/apt/sources.list; then
        echo "$src" | $SUDO tee -a /etc/apt/sources.list >/dev/null; changed=1
      fi
    done < <(grep -E '^deb [^#]*' /etc/apt/sources.list || true)
  fi
  return $changed
}

need_update=0
enable_sources || need_update=1
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386; need_update=1
fi
if [ ${#missing[@]} -gt 0 ]; then need_update=1; fi
if ! ls /var/lib/apt/lists/*_source_Sources* >/dev/null 2>&1; then need_update=1; fi

if [ $need_update = 1 ]; then
  $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The program's users run a Chinese locale; locale-sensitive tests run under it too.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
echo "packages: ok"
