#!/usr/bin/env bash
# Scale benchmark: a synthetic site of N pages (default 100,000) in nested folders. Reports the
# generator's files per second (--files-from and --tree) against the floor of reading each file
# up to "</head>" and against the previous release, the wizard's run against tovaro-gen (in the
# process, and from the click to the message box), its peak
# memory, the recursive search against find(1), and in headless Chromium the time from opening
# the search page with a query to the finished result list, for 1,000, 10,000 and N entries.
# Usage: bash scripts/bench-scale.sh [N] [mixed]; TOVARO_NO_BROWSER=1 leaves out the browsers.
# With "mixed", every second page has LF line ends instead of CR LF.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
pages=${1:-100000}
mixed=${2:-}
command -v /usr/bin/time >/dev/null || { apt-get install -y -qq time >/dev/null; }
[ -x build/tovaro-gen ] && [ -x build/bench/read_heads ] || bash scripts/build.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 scripts/bench_site.py "$work/site" "$pages" "$mixed"
find "$work/site" -type f -name '*.htm' >"$work/list"
cat "$work/list" >/dev/null # warm the page cache for both sides

best() { sort -n | head -1; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# The previous release, for comparison: tovaro-gen as built from an earlier commit
# (TOVARO_PREVIOUS, by default the last one before the published-page and network-share work),
# kept outside the work tree.
previous=${TOVARO_PREVIOUS:-61f28fe}
prev_dir="${XDG_CACHE_HOME:-$HOME/.cache}/tovaro/previous-$previous"
if [ ! -x "$prev_dir/build/tovaro-gen" ] && git cat-file -e "$previous^{commit}" 2>/dev/null; then
  rm -rf "$prev_dir" && mkdir -p "$prev_dir"
  git archive "$previous" | tar -x -C "$prev_dir"
  cmake -S "$prev_dir" -B "$prev_dir/build" -DTOVARO_GUI=OFF -DTOVARO_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build "$prev_dir/build" -j"$(nproc)" \
    --target tovaro-gen >/dev/null || true
fi
# Whole processes, medians of nine, taken in turns so that all see the same machine.
ms_of() { local s e; s=$(date +%s%N); "$@" >/dev/null; e=$(date +%s%N); echo $(( (e - s) / 100000 )) | awk '{ printf "%.1f\n", $1 / 10 }'; }
for i in 1 2 3 4 5 6 7 8 9; do
  ms_of build/bench/read_heads --heads "$work/list" >>"$work/floor"
  ms_of build/tovaro-gen --files-from "$work/list" -o "$work/site/lookup.htm" >>"$work/gen"
  ms_of build/tovaro-gen --tree "$work/site" -o "$work/site/lookup.htm" >>"$work/gen-tree"
  if [ -x "$prev_dir/build/tovaro-gen" ]; then
    ms_of "$prev_dir/build/tovaro-gen" --files-from "$work/list" -o "$work/site/lookup.htm" >>"$work/prev"
  fi
done
floor_ms=$(median <"$work/floor")
gen_ms=$(median <"$work/gen")
tree_ms=$(median <"$work/gen-tree")
/usr/bin/time -f '%e %M' -o "$work/time" build/tovaro-gen --files-from "$work/list" -o "$work/site/lookup.htm" >/dev/null
peak_kb=$(cut -d' ' -f2 "$work/time")
page_kb=$(( $(stat -c %s "$work/site/lookup.htm") / 1024 ))
walk_ms=$(for i in 1 2 3; do build/bench/read_heads --walk "$work/site" | cut -d' ' -f2; done | best)
find_ms=$(for i in 1 2 3; do
  s=$(date +%s%N); find "$work/site" -type f >/dev/null; e=$(date +%s%N); echo $(( (e - s) / 1000000 ))
done | best)

echo "machine: $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB, $(uname -sr)"
echo "pages: $pages"
awk -v g="$gen_ms" -v f="$floor_ms" -v n="$pages" 'BEGIN {
  printf "generator: %.0f ms, %.0f files/s; floor (read to </head>): %.0f ms, %.0f files/s; ratio %.2f\n", g, n / g * 1000, f, n / f * 1000, g / f }'
awk -v g="$tree_ms" -v f="$floor_ms" 'BEGIN { printf "generator --tree: %.0f ms; ratio to the floor %.2f\n", g, g / f }'
if [ -s "$work/prev" ]; then
  awk -v p="$(median <"$work/prev")" -v f="$floor_ms" -v r="$previous" 'BEGIN {
    printf "previous release (%s): %.0f ms; ratio to the floor %.2f\n", r, p, p / f }'
fi
if [ -x build/bench/wizard_run_bench ]; then
  QT_QPA_PLATFORM=offscreen build/bench/wizard_run_bench build/tovaro-gen 2>/dev/null | tail -1
fi
# The wizard as the user waits for it: a shown page 3 under Xvfb with a window manager, from the
# click to the painted message box.
if [ -x build/bench/wizard_click_bench ] && command -v Xvfb >/dev/null && command -v openbox >/dev/null; then
  python3 tests/gui/with_xvfb.py 1280x1024x24 sh -c 'openbox >/dev/null 2>&1 & sleep 1;
    QT_QPA_PLATFORM=xcb build/bench/wizard_click_bench build/tovaro-gen 2>/dev/null | tail -1'
fi
echo "generator peak memory: $(( peak_kb / 1024 )) MiB for a search page of $(( page_kb / 1024 )) MiB"
awk -v w="$walk_ms" -v f="$find_ms" 'BEGIN { printf "recursive search: %.0f ms; find -type f: %.0f ms; ratio %.2f\n", w, f, w / f }'

if [ -z "${TOVARO_NO_BROWSER:-}" ] && command -v chromium >/dev/null; then
  for n in 1000 10000 "$pages"; do
    head -n "$n" "$work/list" >"$work/list-$n"
    build/tovaro-gen --files-from "$work/list-$n" -o "$work/site/suche-$n.htm" >/dev/null
    for q in "lookup=nummer12" "x"; do
      printf '<html><head><title>-</title></head><body><script>var t0 = performance.now();</script><iframe src="suche-%s.htm?%s" onload="document.title = (performance.now() - t0).toFixed(0)"></iframe></body></html>' "$n" "$q" >"$work/site/messen.htm"
      ms=$(for i in 1 2 3; do
        timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
          --disable-component-update --disable-sync --user-data-dir="$work/profile" \
          --dump-dom "file://$work/site/messen.htm" 2>/dev/null | sed -n 's:.*<title>\([0-9]*\)</title>.*:\1:p'
      done | best)
      if [ "$q" = x ]; then base=$ms; else withq=$ms; fi
    done
    echo "browser, $n entries: page with query loaded and searched in $withq ms (without query $base ms)"
  done
  # The first search in a new browser process of each engine, on the largest page: a query with
  # few hits, one with many ("garten"), one that every page matches ("seite") and one without a
  # hit, and two of them again on the same page in the earliest form, which wrote each hit's
  # lines one by one in one flow.
  sed -e 's/^    hits\.push(/    document.writeln(/' -e '/^var hits = new Array();\r$/d' \
    -e '/^var Zeilenhoehe = 0;\r$/,+4d' "$work/site/suche-$pages.htm" \
    >"$work/site/einzeln-$pages.htm"
  build/tovaro-gen --spelling-variants --files-from "$work/list-$pages" \
    -o "$work/site/schreibweisen-$pages.htm" >/dev/null
  if command -v firefox-esr >/dev/null && command -v Xvfb >/dev/null; then
    /usr/bin/python3 - "$work/site/suche-$pages.htm" "$work/site/einzeln-$pages.htm" \
      "$work/site/schreibweisen-$pages.htm" <<'PY'
import sys
sys.path.insert(0, "tests/browser")
import engines
page, one_by_one, variants = sys.argv[1], sys.argv[2], sys.argv[3]
runs = [("hits written at once", page, "nummer12"), ("hits written at once", page, "garten"),
        ("hits written at once", page, "seite"), ("hits written at once", page, "zebra"), ("each line written", one_by_one, "zebra"),
        ("each line written", one_by_one, "nummer12")]
def first_search(engine_class, path, query):
    """The best of three first searches, each in a new browser process: seconds and hits."""
    times = []
    for _ in range(3):
        engine = engine_class()
        try:
            seconds, hits = engine.load("file://" + path + "?lookup=" + query,
                                        "document.querySelectorAll('a[target]').length")
        finally:
            engine.close()
        times.append(seconds)
    return min(times), hits
for engine_class in engines.ENGINES:
    for form, path, query in runs:
        seconds, hits = first_search(engine_class, path, query)
        print("first search in a new %s process, %s, %s: %.0f ms (%d hits; best of three)"
              % (engine_class.name, form, query, seconds * 1000, hits))
# Spelling variants: the same searches on the page whose search folds the word and the fields.
for engine_class in engines.ENGINES:
    for query in ("zebra", "hecke", "seite"):
        best = {}
        for path, form in ((page, "off"), (variants, "on")):
            best[form], hits = first_search(engine_class, path, query)
        print("spelling variants, %s, %d hits: off %.0f ms, on %.0f ms, ratio %.2f (best of three)"
              % (engine_class.name, hits, best["off"] * 1000, best["on"] * 1000, best["on"] / best["off"]))
PY
  fi
fi
