#!/usr/bin/env bash
# The real wizard under Xvfb: one window " Tovaro Wizard 1.00" of 512 x 503 at start; ">> Schritt
# 2" shows page 2 in its place; a close request to page 2 ends the process with status 0 although
# page 1 still exists hidden. Run on an X server of its own (with_xvfb.py).
set -u
tovaro=${TOVARO:?}
send_close=${SEND_CLOSE:?}
work=$(mktemp -d)
trap 'rm -rf "$work"; kill $pid 2>/dev/null' EXIT
XDG_CONFIG_HOME=$work "$tovaro" >/dev/null 2>&1 &
pid=$!
fail() { echo "FAIL: $*"; exit 1; }

win=$(xdotool search --sync --onlyvisible --name '^ Tovaro Wizard 1.00$' | head -1)
[ "$(xdotool search --onlyvisible --name '^ Tovaro Wizard 1.00$' | wc -l)" = 1 ] || fail "not exactly one window"
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 512 ] && [ "$HEIGHT" = 503 ] || fail "client area ${WIDTH}x$HEIGHT"
[ "$(cat "$work/Brantwell.conf" 2>/dev/null | grep -c '^Path=')" = 1 ] || fail "settings entry missing"

# ">> Schritt 2" at 6120, 6960, 1215 x 375 twips.
xdotool mousemove --window "$win" 448 476 click 1
sleep 1
visible=$(xdotool search --onlyvisible --name '^ Tovaro Wizard 1.00$')
[ "$(echo "$visible" | wc -l)" = 1 ] || fail "after the move: $(echo "$visible" | wc -l) windows"
[ "$visible" != "$win" ] || fail "page 1 still shown"

"$send_close" "$visible"
for _ in $(seq 50); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
kill -0 $pid 2>/dev/null && fail "still running after the close request"
wait $pid
status=$?
[ $status = 0 ] || fail "exit status $status"

# A start whose settings cannot be written still shows the wizard.
echo "keine Ordner" >"$work/blocked"
XDG_CONFIG_HOME=$work/blocked "$tovaro" >/dev/null 2>&1 &
pid=$!
win=$(timeout 20 xdotool search --sync --onlyvisible --name '^ Tovaro Wizard 1.00$' | head -1)
[ -n "$win" ] || fail "no window when the settings cannot be written"
"$send_close" "$win"
wait $pid
status=$?
[ $status = 0 ] || fail "exit status $status with unwritable settings"
echo "close test: 2 passed, 0 failed"
