#!/usr/bin/env bash
# Configures and builds the project into BUILD_DIR (default: build). Extra arguments go to the
# build tool, e.g. `scripts/build.sh --target foundation_test`.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$root/build}"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  launcher=()
  # Several build trees of one checkout share their compiles through ccache, when it is there.
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$root" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$(nproc)" "$@"
