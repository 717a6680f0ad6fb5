#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own Wine prefix (kept outside the work
# tree, created on first use), without a display and without Wine's own chatter.
set -euo pipefail
export WINEPREFIX="${TOVARO_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tovaro/wine-prefix}"
export WINEDEBUG="${TOVARO_WINEDEBUG:--all}"
# No Mono and no Gecko: nothing asks to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Console programs run without a display; TOVARO_WINE_DISPLAY gives the wizard an X server.
unset WAYLAND_DISPLAY
if [ -n "${TOVARO_WINE_DISPLAY:-}" ]; then
  export DISPLAY="$TOVARO_WINE_DISPLAY"
else
  unset DISPLAY
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
# Windows hides no file for a leading "."; Wine does unless told, once per prefix.
if [ ! -f "$WINEPREFIX/.tovaro-dot-files" ]; then
  wine reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f >/dev/null 2>&1 || true
  wineserver -w || true
  touch "$WINEPREFIX/.tovaro-dot-files"
fi
exec wine "$@"
