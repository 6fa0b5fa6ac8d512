#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine on a virtual display.
# BUILD_DIR picks the build tree (default: build); arguments go to ctest (e.g. -R Ini).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"

bash "$root/scripts/install-deps.sh" || exit 1
bash "$root/scripts/build.sh" || exit 1

. "$root/scripts/wine-env.sh"
trap ombrel_wine_stop EXIT
ombrel_wine_prefix || exit 1
ombrel_xvfb_start || exit 1
ombrel_wineserver_start

cd "$BUILD_DIR" || exit 1
# One test at a time: window tests share the display, the focus and the mouse pointer.
ctest --output-on-failure --timeout 180 "$@"
rc=$?
exit $rc
