#!/usr/bin/env bash
# Cross-builds the JPEG codec (libjpeg-turbo, from Debian's source package) as a static
# library with its SIMD code for the target of TOOLCHAIN_FILE (default: the 32-bit one),
# into BUILD_DIR/_deps/libjpeg. Does nothing when it is there.
set -euo pipefail

BUILD_DIR=$(realpath -m "${1:?usage: build-libjpeg.sh BUILD_DIR [TOOLCHAIN_FILE]}")
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
TOOLCHAIN=$(realpath "${2:-$ROOT/cmake/toolchain-i686-mingw.cmake}")
PREFIX="$BUILD_DIR/_deps/libjpeg"
SRC_PARENT="$BUILD_DIR/_deps/src"
OBJ="$BUILD_DIR/_deps/libjpeg-build"

if [ -f "$PREFIX/lib/libjpeg.a" ] && [ -f "$PREFIX/include/jpeglib.h" ]; then
  echo "libjpeg: ok"; exit 0
fi

mkdir -p "$SRC_PARENT"
src=$(find "$SRC_PARENT" -maxdepth 2 -path '*/libjpeg-turbo-*/CMakeLists.txt' -printf '%h\n' -quit)
if [ -z "$src" ]; then
  # apt-get source needs no root; it unpacks the upstream tree with Debian's patches applied.
  (cd "$SRC_PARENT" && timeout 300 apt-get source -qq libjpeg-turbo >apt-source.log 2>&1) \
    || { cat "$SRC_PARENT/apt-source.log"; exit 1; }
  src=$(find "$SRC_PARENT" -maxdepth 2 -path '*/libjpeg-turbo-*/CMakeLists.txt' -printf '%h\n' -quit)
fi

# REQUIRE_SIMD: fail loudly rather than silently fall back to the slow C code paths.
timeout 300 cmake -S "$src" -B "$OBJ" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON \
  -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >"$OBJ.log" 2>&1 || { cat "$OBJ.log"; exit 1; }
# Only the library: the command-line tools and test programs are not needed.
timeout 600 cmake --build "$OBJ" --target jpeg-static -j"$(nproc)" >>"$OBJ.log" 2>&1 \
  || { tail -50 "$OBJ.log"; exit 1; }

mkdir -p "$PREFIX/lib" "$PREFIX/include"
cp "$OBJ/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$PREFIX/include/"
cp "$OBJ/libjpeg.a" "$PREFIX/lib/libjpeg.a"   # last: its presence marks a finished build
echo "libjpeg: built into $PREFIX"
