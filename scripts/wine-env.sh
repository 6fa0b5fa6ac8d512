# Sourced by the test and run commands: a Wine prefix inside the build tree, a virtual X display
# and one persistent wineserver, each stopped again by ombrel_wine_stop (by process id).
# Needs BUILD_DIR set.

export WINEDEBUG=-all
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEARCH=win64
OMBREL_XVFB_PID=""
OMBREL_COMPOSITOR_PID=""
OMBREL_DESKTOP_PID=""

ombrel_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "[wine] creating prefix $WINEPREFIX"
    # No install prompt for Wine's .NET or HTML engine.
    WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  if [ ! -f "$WINEPREFIX/.unmanaged" ]; then
    # Without a window manager, Wine waits 2 s on every destroyed managed window; unmanaged
    # windows close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 \
      && wineserver -w && touch "$WINEPREFIX/.unmanaged"
  fi
  if [ ! -f "$WINEPREFIX/.cjkfont" ]; then
    # Skins name the face "微软雅黑" (Microsoft YaHei), which Wine lacks: draw it with the
    # installed WenQuanYi Micro Hei, so that Chinese texts show as they would on Windows.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"微软雅黑"="WenQuanYi Micro Hei"\r\n"Microsoft YaHei"="WenQuanYi Micro Hei"\r\n' \
      | ombrel_reg_import cjk-font.reg && wineserver -w && touch "$WINEPREFIX/.cjkfont"
  fi
  if [ ! -f "$WINEPREFIX/.guifontlink" ]; then
    ombrel_link_gui_fonts && wineserver -w && touch "$WINEPREFIX/.guifontlink"
  fi
}

# The system's GUI fonts (the stock GUI font, message boxes, tooltips) have no Chinese glyphs
# under Wine and drew "确定" as boxes. A Chinese Windows links its GUI faces to its Chinese fonts;
# here the faces Wine really draws them with are linked to the installed WenQuanYi Micro Hei
# (then to the fonts a Chinese Windows names, should a prefix have them). Those faces are Wine's
# own Tahoma and Microsoft Sans Serif when Wine's fonts are installed; without them Wine draws
# every GUI face with the first installed face of its sans-serif fallback list. A link on a face
# that is not installed, or on a substitute's name (MS Shell Dlg), would make the Chinese font
# stand in for the whole face, Latin letters included, so such links are removed.
ombrel_gui_faces() {
  local dir face found=0
  for dir in /usr/share/wine/fonts /usr/lib/wine/fonts; do
    [ -f "$dir/tahoma.ttf" ] && { echo "Tahoma"; found=1; }
    [ -f "$dir/micross.ttf" ] && { echo "Microsoft Sans Serif"; found=1; }
    [ $found = 1 ] && return 0
  done
  for face in "Arial" "Liberation Sans" "Bitstream Vera Sans" "DejaVu Sans"; do
    fc-list ":family=$face" family 2>/dev/null | grep -q . && { echo "$face"; return 0; }
  done
}

# Imports the registry lines read from stdin (UTF-8) into the prefix, through a file of that name
# in it: regedit reads UTF-16 with a byte-order mark.
ombrel_reg_import() {
  local reg="$WINEPREFIX/$1"
  { printf '\xff\xfe'
    { printf 'Windows Registry Editor Version 5.00\r\n\r\n'; cat; } | iconv -f UTF-8 -t UTF-16LE; } > "$reg"
  wine regedit /s "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
}

ombrel_link_gui_fonts() {
  local links hex face linked
  linked=$(ombrel_gui_faces)
  links='wqy-microhei.ttc,WenQuanYi Micro Hei\0MSYH.TTC,Microsoft YaHei UI\0SIMSUN.TTC,SimSun\0\0'
  # REG_MULTI_SZ: UTF-16LE strings, each ending in a zero, and one more zero at the end.
  hex=$(printf "$links" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
  { printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
    for face in "Tahoma" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
      grep -qxF "$face" <<<"$linked" || printf '"%s"=-\r\n' "$face"
    done
    while IFS= read -r face; do
      [ -n "$face" ] && printf '"%s"=hex(7):%s\r\n' "$face" "$hex"
    done <<<"$linked"
  } | ombrel_reg_import gui-font-link.reg
}

ombrel_xvfb_start() {
  local n
  for n in $(seq 90 160); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    OMBREL_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    # The display is ours only when our server holds its lock: another run that started at the
    # same moment may have taken the number, and then ours is still on its way out.
    local owner=""
    read -r owner 2>/dev/null <"/tmp/.X$n-lock"
    if kill -0 "$OMBREL_XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ] \
       && [ "$((owner + 0))" = "$OMBREL_XVFB_PID" ]; then
      export DISPLAY=":$n"
      echo "[wine] Xvfb on $DISPLAY (pid $OMBREL_XVFB_PID)"
      return 0
    fi
    kill "$OMBREL_XVFB_PID" 2>/dev/null
    wait "$OMBREL_XVFB_PID" 2>/dev/null
    OMBREL_XVFB_PID=""
  done
  echo "[wine] could not start Xvfb" >&2
  return 1
}

# A compositing manager on the virtual display, as a desktop has one: without it the frame's
# per-pixel alpha (soft edges, shadow) shows as a black halo. Plain compositing, no effects of
# its own: the frame draws its shadow itself. The desktop gets a light colour so that the soft
# edges show against it.
OMBREL_DESKTOP_COLOR="#D9E1EA"
ombrel_compositor_start() {
  command -v xcompmgr >/dev/null || { echo "[wine] xcompmgr is missing" >&2; return 1; }
  # The desktop: a full-screen backdrop window of one colour (the compositor ignores a root
  # window's own background), mapped before any window of the launcher so that it stays below.
  convert -size 8x8 "xc:$OMBREL_DESKTOP_COLOR" "$BUILD_DIR/desktop.png" || return 1
  setsid display -display "$DISPLAY" -backdrop -background "$OMBREL_DESKTOP_COLOR" "$BUILD_DIR/desktop.png" \
    </dev/null >/dev/null 2>&1 &
  OMBREL_DESKTOP_PID=$!
  setsid xcompmgr -d "$DISPLAY" </dev/null >/dev/null 2>&1 &
  OMBREL_COMPOSITOR_PID=$!
  sleep 0.5
  kill -0 "$OMBREL_COMPOSITOR_PID" 2>/dev/null || { OMBREL_COMPOSITOR_PID=""; echo "[wine] xcompmgr failed" >&2; return 1; }
  echo "[wine] xcompmgr on $DISPLAY (pid $OMBREL_COMPOSITOR_PID)"
}

ombrel_wineserver_start() {
  # A persistent server: each test executable then starts in a fraction of a second.
  setsid wineserver -p </dev/null >/dev/null 2>&1 &
  # Start Wine's own helper processes now, detached from any output pipe: started later by a
  # test, they would inherit ctest's pipes and hold its wait open.
  setsid wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

ombrel_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  local pid
  for pid in "$OMBREL_COMPOSITOR_PID" "$OMBREL_DESKTOP_PID"; do
    [ -n "$pid" ] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  OMBREL_COMPOSITOR_PID=""
  OMBREL_DESKTOP_PID=""
  if [ -n "$OMBREL_XVFB_PID" ]; then
    kill "$OMBREL_XVFB_PID" 2>/dev/null || true
    wait "$OMBREL_XVFB_PID" 2>/dev/null || true
    OMBREL_XVFB_PID=""
  fi
}
