#!/usr/bin/env bash
# Installs, builds and runs every test: the normal build, the Windows build under Wine, the
# same suite built with AddressSanitizer and UndefinedBehaviorSanitizer, the core and
# command-line tests with ThreadSanitizer, and short fuzz runs where clang is present. Each
# variant is a preset of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
# Each part says when it starts, in minutes and seconds since the command started.
phase() { printf '== %s (%d:%02d)\n' "$1" $((SECONDS / 60)) $((SECONDS % 60)); }
phase "Packages"
bash scripts/install-deps.sh
phase "Build"
bash scripts/build.sh

phase "Tests"
(cd build && ctest --output-on-failure -j"$jobs" --timeout 600)

phase "Windows: tovaro-gen, the wizard and its setup program, tested under Wine"
bash scripts/build-windows.sh >/dev/null
# One after the other: the first test creates the Wine prefix, and all share its wineserver.
(cd build-windows && ctest --output-on-failure --timeout 900)

phase "Package"
bash scripts/package.sh
# Debian's own check of the package: no error and no warning.
lintian --fail-on error,warning "$root"/build/tovaro-wizard_*.deb
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$root"/build/tovaro-wizard_*.deb >/dev/null
desktop-file-validate /usr/share/applications/tovaro.desktop
appstreamcli validate --no-net /usr/share/metainfo/example.tovaro.Wizard.metainfo.xml
pkgtest=$(mktemp -d)
cp -r example/site "$pkgtest/site"
(cd / && tovaro-gen --help >/dev/null)
(cd "$pkgtest" && tovaro-gen --tree site -o site/lookup.htm -w https://www.example.org/) | tee "$pkgtest/out"
grep -q "Die Suchdatei wurde erfolgreich erstellt!" "$pkgtest/out"
grep -q "urls\[5\]='https://www.example.org/" "$pkgtest/site/lookup.htm"
test -f /usr/lib/tovaro/help/index.htm && test -x /usr/bin/tovaro
test "$(readlink -f /usr/bin/tovaro)" = /usr/lib/tovaro/tovaro
for page in tovaro tovaro-gen; do
  man -w "$page" >/dev/null 2>&1 || test -f "/usr/share/man/man1/$page.1.gz"
done
rm -rf "$pkgtest"
echo "package: installed and working"

phase "Tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build build-asan -j"$jobs" >/dev/null
# Qt and fontconfig keep caches until exit; leaks are checked where only our code runs (the
# core and command-line tests). The desktop tests drive the real program through other
# processes, and the browser tests spend their time in the browsers: both are run once, above.
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs" --timeout 900 -L '^(core|cli)$')
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs" --timeout 900 -L '^gui$')

phase "Core and command-line tests with ThreadSanitizer"
# The reading and listing threads, the stop signal thread and the store, under the race
# detector. (The two tests that limit the address space skip: the sanitizer needs more.)
cmake --preset tsan >/dev/null
cmake --build build-tsan -j"$jobs" >/dev/null
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j"$jobs" --timeout 900 \
  -L '^(core|cli)$')

if command -v clang++ >/dev/null; then
  phase "Fuzzing (${TOVARO_FUZZ_SECONDS:-60} s of CPU per target)"
  cmake --preset fuzz >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzz_extract fuzz_url fuzz_pattern >/dev/null
  # A crash, a leak or an input slower than the time limit fails the run. The crafted heads
  # (long lines of tags) are run first: a scan that is not linear exceeds the limit on them.
  (cd build-fuzz && ./fuzz/fuzz_extract -runs=0 -max_len=262144 -timeout=2 \
    -rss_limit_mb=2048 ../fuzz/crafted/extract > fuzz-crafted.log 2>&1) \
    || { tail -n 40 build-fuzz/fuzz-crafted.log; exit 1; }
  echo "fuzz_extract: crafted heads within the time limit"
  # The three targets side by side, each for as much CPU time as it would get alone.
  seconds=${TOVARO_FUZZ_SECONDS:-60}
  cores=$(( jobs < 3 ? jobs : 3 ))
  declare -A fuzzer
  for target in extract url pattern; do
    corpus=build-fuzz/corpus-$target
    mkdir -p "$corpus"
    cp fuzz/corpus/$target/* "$corpus/"
    (cd build-fuzz && exec ./fuzz/fuzz_$target -max_total_time=$(( seconds * 3 / cores )) \
      -max_len=16384 -timeout=2 -rss_limit_mb=2048 -print_final_stats=0 "corpus-$target" \
      > "fuzz-$target.log" 2>&1) &
    fuzzer[$target]=$!
  done
  for target in extract url pattern; do
    wait "${fuzzer[$target]}" || {
      kill "${fuzzer[@]}" 2>/dev/null
      tail -n 40 "build-fuzz/fuzz-$target.log"
      exit 1
    }
    tail -n 2 "build-fuzz/fuzz-$target.log"
  done
fi
phase "All tests passed."
