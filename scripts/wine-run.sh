#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own Wine prefix (kept outside the work
# tree, created on first use), without a display and without Wine's own chatter.
set -euo pipefail
export WINEPREFIX="${TOVARO_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tovaro/wine-prefix}"
export WINEDEBUG=-all
# No Mono and no Gecko: nothing asks to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec wine "$@"
