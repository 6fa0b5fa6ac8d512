#!/usr/bin/env bash
# Builds if needed and starts OmbrelLauncher.exe under Wine on a copy of the sample work dir.
# With DISPLAY set it shows on that display; otherwise it runs on a virtual display with a
# compositing manager (as a desktop has) and saves a screenshot of the screen and one of the
# window after a few seconds. APP_ID overrides the sample game (default 1001).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
APP_ID="${APP_ID:-1001}"
SHOT_DELAY="${SHOT_DELAY:-6}"

bash "$root/scripts/install-deps.sh" >/dev/null || exit 1
bash "$root/scripts/build.sh" >/dev/null || { echo "build failed" >&2; exit 1; }

# A fresh copy each run: the launcher writes account files and its report log into the work dir.
workdir="$BUILD_DIR/run-workdir"
rm -rf "$workdir"
cp -r "$root/sample/workdir" "$workdir"
[ -x "$root/sample/prepare-workdir.sh" ] && bash "$root/sample/prepare-workdir.sh" "$workdir" "$BUILD_DIR"

. "$root/scripts/wine-env.sh"
own_display=0
if [ -z "${DISPLAY:-}" ]; then own_display=1; fi
trap ombrel_wine_stop EXIT
ombrel_wine_prefix || exit 1
if [ $own_display = 1 ]; then
  ombrel_xvfb_start || exit 1
  ombrel_compositor_start || exit 1
  # The pointer starts in the middle of the screen, over the window: park it in a corner so the
  # screenshot shows no hovered control.
  xdotool mousemove 0 0
fi
ombrel_wineserver_start

winpath() { echo "Z:$(echo "$1" | tr '/' '\\')\\"; }
echo "[run] OmbrelLauncher.exe AppId=$APP_ID WorkDir=$(winpath "$workdir")"
wine "$BUILD_DIR/OmbrelLauncher.exe" "AppId=$APP_ID" "ChannelId=1" "WorkDir=$(winpath "$workdir")" &
pid=$!

if [ $own_display = 1 ]; then
  for _ in $(seq 1 "$SHOT_DELAY"); do kill -0 $pid 2>/dev/null || break; sleep 1; done
  shot="$BUILD_DIR/launcher-screenshot.png"
  import -display "$DISPLAY" -window root "$shot" && echo "[run] screenshot: $shot"
  # Closed as a user closes it: the frame's close button (skin\Button.ini of the sample game).
  frame=$(xdotool search --name "Ombrel Sample Game" 2>/dev/null | head -1)
  if [ -n "$frame" ]; then
    # The window alone, with a margin of desktop around its soft edges.
    eval "$(xdotool getwindowgeometry --shell "$frame")"
    margin=16
    convert "$shot" -crop "$((WIDTH + 2 * margin))x$((HEIGHT + 2 * margin))+$((X - margin))+$((Y - margin))" +repage \
      "$BUILD_DIR/launcher-window.png" && echo "[run] window: $BUILD_DIR/launcher-window.png"
    xdotool mousemove --window "$frame" 446 32 click 1
    for _ in $(seq 1 10); do kill -0 $pid 2>/dev/null || break; sleep 1; done
  fi
  kill $pid 2>/dev/null
fi
wait $pid
rc=$?
echo "[run] launcher exit code $rc"
[ -f "$workdir/report.log" ] && { echo "[run] report log:"; cat "$workdir/report.log"; }
exit 0
