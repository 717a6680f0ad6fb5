#!/usr/bin/env bash
# Opens generated search pages in headless Chromium with query strings and checks what the
# page's script wrote: the hits, the count line and the search word as shown.
set -u
gen=${TOVARO_GEN:?}
chromium=${CHROMIUM:-chromium}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pass=0
fail=0

page() { # file title keywords description
  printf '<html>\r\n<head>\r\n<meta charset="utf-8">\r\n<title>%s</title>\r\n<meta name="keywords" content="%s">\r\n<meta name="description" content="%s">\r\n</head>\r\n<body></body>\r\n</html>\r\n' "$2" "$3" "$4" >"$1"
}

mkdir -p "$work/site/docs"
page "$work/site/garten.htm" "Gartenpflege" "Garten, Grüße, Rasen" "Tipps für den Rasen."
page "$work/site/docs/cpp.htm" "Programmieren" "c++, compiler" "Sprachen & Werkzeuge"
page "$work/site/docs/peter's page.htm" "Peters Seite" "peter" "Über Äpfel und Birnen"
page "$work/site/script.htm" "Böse</script><b>fett" "skript" "a<b>c"
page "$work/site/kommentar.htm" "Preise <50 € <!--versteckt" "kommentar" "Alt &amp; neu <img src=x onerror=alert(1)>"
page "$work/site/a&copy.htm" "Kopie" "kopie" "Name mit Und-Zeichen"
# Umlauts as references, and a "u" with a combining diaeresis, as some editors save it.
page "$work/site/zeiten.htm" "&Ouml;ffnungszeiten" "Gr&ouml;&szlig;e, z&#252;rich" \
  "Besuch in Zu$(printf '\xcc\x88')rich"
"$gen" --tree "$work/site" -o "$work/site/lookup.htm" >/dev/null || { echo "generator failed"; exit 1; }
# A font list in CSS form and quotes in every appearance value.
"$gen" --tree "$work/site" -o "$work/site/schrift.htm" --font-face "'Open Sans', Arial" \
  --heading 'Suche <"&">' --font-size '3"' --text-colour "#000'\\" --background-colour '#FF"' \
  >/dev/null || { echo "generator failed"; exit 1; }
target=lookup.htm

dump() { # query -> DOM on stdout
  timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --dump-dom "file://$work/site/$target$1" 2>/dev/null
}

check() { # name query expected-count word-as-shown [must-contain] [must-not-contain]
  local name=$1 query=$2 count=$3 word=$4 has=${5:-} hasnot=${6:-}
  local dom
  dom=$(dump "$query")
  local ok=1
  if [ "$count" = "-" ]; then
    grep -qE "<hr>[0-9]+ Ergebnisse gefunden" <<<"$dom" && ok=0
  else
    grep -q "<hr>$count Ergebnisse gefunden." <<<"$dom" || ok=0
    grep -qF "Suche nach <b>$word</b>" <<<"$dom" || ok=0
  fi
  [ -n "$has" ] && { grep -qF -- "$has" <<<"$dom" || ok=0; }
  [ -n "$hasnot" ] && { grep -qF -- "$hasnot" <<<"$dom" && ok=0; }
  if [ $ok = 1 ]; then
    pass=$((pass + 1)); echo "ok   $name"
  else
    fail=$((fail + 1)); echo "FAIL $name"; echo "$dom" | head -c 3000; echo
  fi
}

check "no query shows only the form" "" - "" 'name="lookup"' "Suche nach <b></b>"
check "keyword hit" "?lookup=rasen" 1 rasen '<a href=" garten.htm"'
check "plus is a blank, word lower-cased" "?lookup=Tipps+F%C3%BCr" 1 "tipps für" "Gartenpflege"
check "umlaut in UTF-8" "?lookup=gr%C3%BC%C3%9Fe" 1 "grüße" "Gartenpflege"
check "umlaut in windows-1252 escape" "?lookup=gr%FC%DFe" 1 "grüße" "Gartenpflege"
check "c++ is searched as typed" "?lookup=c%2B%2B" 1 "c++" "Programmieren"
check "description hit" "?lookup=werkzeuge" 1 "werkzeuge" "Programmieren"
check "title hit" "?lookup=peters" 1 "peters" 'peter%27s%20page.htm'
check "apostrophe in file name keeps the page working" "?lookup=%C3%A4pfel" 1 "äpfel" 'docs/peter%27s%20page.htm'
check "several hits" "?lookup=e" 7 "e"
check "no hit" "?lookup=zebra" 0 "zebra"
check "field with script end tag stays in the index" "?lookup=skript" 1 "skript" "Böse"
check "search word is shown as text" "?lookup=%3Cimg%20src%3Dx%20onerror%3Dalert(1)%3E" 0 \
  "&lt;img src=x onerror=alert(1)&gt;" "" "<img"
check "further parameters are ignored" "?lookup=rasen&x=1" 1 rasen
check "title and description are shown as text" "?lookup=skript" 1 "skript" \
  "Böse&lt;/script&gt;&lt;b&gt;fett" "<b>fett"
check "a comment start in a title hides nothing" "?lookup=kommentar" 1 "kommentar" \
  'Preise &lt;50 € &lt;!--versteckt</b><br>' "<img"
check "a tag in a description is text" "?lookup=kommentar" 1 "kommentar" 'Alt &amp; neu &lt;img src<br>'
# What the results show is what is searched: "&", "<" and ">" as the visitor sees them, not
# as the page writes them.
check "an ampersand as the results show it" "?lookup=alt+%26+neu" 1 "alt &amp; neu" 'Alt &amp; neu'
check "a less-than sign as the results show it" "?lookup=preise+%3C50" 1 "preise &lt;50" 'Preise &lt;50'
check "a greater-than sign as the results show it" "?lookup=%3C%2Fscript%3E%3Cb%3E" 1 \
  "&lt;/script&gt;&lt;b&gt;" "Böse"
check "the way the page writes them is not found" "?lookup=amp" 0 "amp"

check "the form stays after such a title" "?lookup=e" 7 "e" 'name="lookup"'
check "an ampersand in a file name is encoded" "?lookup=kopie" 1 "kopie" 'href=" a%26copy.htm"'
check "a title of references is found as the browser shows it" "?lookup=%C3%B6ffnungszeiten" 1 \
  "öffnungszeiten" "<b>Öffnungszeiten</b>"
check "a decomposed letter is found composed" "?lookup=in+z%C3%BCrich" 1 "in zürich" "Besuch in Zürich"

# The hits are written at once, in blocks of 500; the text they give is the same as when each
# line was written on its own (the page turned back into that form), in the same order across
# the blocks. A site of 1,201 pages gives three blocks, the last of one hit.
mkdir -p "$work/site/viele"
for i in $(seq 1 1201); do
  page "$work/site/viele/s$i.htm" "Seite $i" "viele" "Nummer $i"
done
"$gen" --files-from <(for i in $(seq 1 1201); do echo "$work/site/viele/s$i.htm"; done) \
  -s "$work/site" -o "$work/site/viele.htm" >/dev/null || { echo "generator failed"; exit 1; }
compare_blocks() { # page query:blocks...
  local page=$1 item query want together one_by_one
  shift
  # The lines that write the blocks are the five from "var Zeilenhoehe" on.
  sed -e 's/^    hits\.push(/    document.writeln(/' -e '/^var hits = new Array();\r$/d' \
    -e '/^var Zeilenhoehe = 0;\r$/,+4d' \
    "$work/site/$page.htm" >"$work/site/$page-einzeln.htm"
  if grep -q "hits" "$work/site/$page-einzeln.htm" || ! grep -q "hits" "$work/site/$page.htm"; then
    fail=$((fail + 1)); echo "FAIL $page could not be turned back into lines written one by one"
    return
  fi
  for item in "$@"; do
    query=${item%:*} want=${item##*:}
    # The documents without their scripts, which differ in those lines, and without empty
    # lines (with no hit, the lines written one by one leave line breaks that show nothing).
    # The blocks' own tags are taken out; the blocks must be there where there are hits.
    target=$page.htm
    together=$(dump "$query" | perl -0pe 's/<script.*?<\/script>//gs' | sed '/^\s*$/d')
    target=$page-einzeln.htm
    one_by_one=$(dump "$query" | perl -0pe 's/<script.*?<\/script>//gs' | sed '/^\s*$/d')
    blocks=$(grep -oE '<div( style="content-visibility: auto; contain-intrinsic-size: auto [0-9]+px")?>' <<<"$together" | wc -l)
    together=$(perl -pe 's/<div[^>]*>//g; s/<\/div>//g' <<<"$together" | sed '/^\s*$/d')
    if [ -n "$together" ] && [ "$together" = "$one_by_one" ] && [ "$blocks" = "$want" ]; then
      pass=$((pass + 1)); echo "ok   the hits of $page$query are the same written at once in $blocks blocks"
    else
      fail=$((fail + 1)); echo "FAIL the hits of $page$query differ when written at once ($blocks blocks, $want wanted)"
      diff <(echo "$one_by_one") <(echo "$together") | head -20
    fi
  done
}
compare_blocks lookup "?lookup=e:1" "?lookup=rasen:1" "?lookup=zebra:0" "?lookup=%C3%B6ffnungszeiten:1"
compare_blocks viele "?lookup=viele:3"
target=viele.htm
check "the last of 1,201 hits ends the last block" "?lookup=viele" 1201 "viele" \
  '<a href=" viele/s1201.htm" target="_blank">viele/s1201.htm</a><br><br></div>'

target=schrift.htm
check "quoted font list keeps the page searching" "?lookup=rasen" 1 rasen "face=\"'Open Sans', Arial\""
check "quoted values stay in their attributes" "" - "" 'name="lookup"'

echo "browser: $pass passed, $fail failed"
[ $fail = 0 ]
