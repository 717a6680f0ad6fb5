#!/usr/bin/env bash
# Takes screenshots of the three pages under Xvfb with a window manager (openbox), driving the
# wizard with xdotool: page 1 after "+++" on the example site, page 2, page 3 before and after
# a run; then the three pages again under a dark desktop theme (GTK's Adwaita dark, which Qt
# takes through its GTK platform theme, as on a GNOME desktop). Writes docs/screenshots/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
command -v openbox >/dev/null && command -v import >/dev/null \
  && dpkg -s qt6-gtk-platformtheme >/dev/null 2>&1 \
  || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq openbox imagemagick \
    qt6-gtk-platformtheme >/dev/null
[ -x build/tovaro ] || bash scripts/build.sh >/dev/null
out=$root/docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cp -r example/site "$work/site"

export DISPLAY=:57
Xvfb $DISPLAY -screen 0 800x600x24 -noreset >/dev/null 2>&1 &
sleep 1
openbox >/dev/null 2>&1 &
sleep 1
(cd "$work/site" && XDG_CONFIG_HOME=$work/config "$root/build/tovaro" >/dev/null 2>&1 &)
sleep 2

win() { xdotool search --onlyvisible --name "Tovaro Wizard" | tail -1; }
# Clicks a control given in twips (left, top, width, height) of the visible page.
click() {
  xdotool mousemove --window "$(win)" $(( ($1 + $3 / 2) / 15 )) $(( ($2 + $4 / 2) / 15 )) click 1
  sleep 0.7
}
shot() { sleep 0.5; import -window "$(win)" -frame "$out/$1.png"; }

click 3840 4275 615 495    # "+++"
shot page1
click 6120 6960 1215 375   # ">> Schritt 2"
shot page2
click 6120 6960 1215 375   # ">> Schritt 3"
shot page3-before
# Output into the copied site, then "Datei erzeugen".
click 240 1080 7095 285
xdotool key ctrl+a type --delay 5 "$work/site/lookup.htm"
click 6120 6960 1215 375
sleep 1
shot page3-message
xdotool key Return
sleep 0.7
shot page3-after
click 4920 3840 2415 375   # "Hilfe zu den Meldungen"
shot page3-help

# The same wizard on a dark desktop.
xdotool key alt+F4
sleep 1
(cd "$work/site" && XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark \
  "$root/build/tovaro" >/dev/null 2>&1 &)
sleep 2
click 3840 4275 615 495    # "+++"
shot page1-dark
click 6120 6960 1215 375   # ">> Schritt 2"
shot page2-dark
click 6120 6960 1215 375   # ">> Schritt 3"
click 240 1080 7095 285
xdotool key ctrl+a type --delay 5 "$work/site/lookup.htm"
click 6120 6960 1215 375
sleep 1
xdotool key Return
sleep 0.7
shot page3-dark
echo "Screenshots in $out"
