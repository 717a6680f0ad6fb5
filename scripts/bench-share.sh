#!/usr/bin/env bash
# Latency benchmark: the 20,000-page benchmark site behind a file system that answers every
# open, read and folder listing after a fixed delay (default 1 ms), as a network share does.
# Reports, side by side in one run: reading the heads one file after the other, tovaro-gen on
# the list and on the tree, and the wizard's run, on the slow site; and tovaro-gen against the
# heads read one after the other on a warm local disk. Then a wide site (20,000 folders of one
# page each, side by side in one folder) on the same share, at the chosen delay and at 5 ms:
# tovaro-gen --tree against --files-from on the same list, and the wizard's "+++".
# Usage: bash scripts/bench-share.sh [DELAY-MICROSECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
delay=${1:-1000}
pages=20000
for p in fuse3 libfuse3-dev pkg-config; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
    || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$p" >/dev/null
done
bash scripts/build.sh >/dev/null
[ -x build/bench/latency_fs ] || { echo "latency_fs was not built (libfuse3-dev?)"; exit 1; }
work=$(mktemp -d)
mnt="$work/mnt"
wide_mnt="$work/wide-mnt"
mkdir -p "$mnt" "$wide_mnt"
cleanup() {
  fusermount3 -u "$mnt" 2>/dev/null || true
  fusermount3 -u "$wide_mnt" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

python3 scripts/bench_site.py "$work/site" "$pages" mixed
build/bench/latency_fs "$work/site" "$mnt" "$delay" -o ro,max_threads=64
for _ in $(seq 100); do mountpoint -q "$mnt" && break; sleep 0.1; done
find "$mnt" -type f -name '*.htm' | sort >"$work/list-slow"
find "$work/site" -type f -name '*.htm' | sort >"$work/list-local"
cat "$work/list-local" | xargs cat >/dev/null # a warm local disk

ms_of() { local s e; s=$(date +%s%N); "$@" >/dev/null; e=$(date +%s%N); echo $(( (e - s) / 1000000 )); }
best() { sort -n | head -1; }

echo "machine: $(nproc) cores, $(uname -sr); $pages pages; $delay µs per open, read and listing"
seq_ms=$(ms_of build/bench/read_heads --heads "$work/list-slow")
list_ms=$(for i in 1 2 3; do ms_of build/tovaro-gen --files-from "$work/list-slow" -o "$work/a.htm"; done | best)
tree_ms=$(for i in 1 2 3; do ms_of build/tovaro-gen --tree "$mnt" -s "$mnt" -o "$work/b.htm"; done | best)
cmp -s <(grep -v "^ *urls\[" "$work/a.htm") <(grep -v "^ *urls\[" "$work/b.htm") || true
echo "slow share: heads one after the other $seq_ms ms; tovaro-gen --files-from $list_ms ms; tovaro-gen --tree $tree_ms ms"
QT_QPA_PLATFORM=offscreen build/bench/wizard_run_bench build/tovaro-gen "$mnt" | sed 's/^/slow share: /'

for i in 1 2 3 4 5 6 7; do
  ms_of build/bench/read_heads --heads "$work/list-local" >>"$work/floor"
  ms_of build/tovaro-gen --files-from "$work/list-local" -o "$work/c.htm" >>"$work/gen"
done
awk -v g="$(best <"$work/gen")" -v f="$(best <"$work/floor")" 'BEGIN {
  printf "warm local disk: tovaro-gen %d ms; heads one after the other %d ms; ratio %.2f\n", g, f, g / f }'

python3 - "$work/wide" "$pages" <<'PY'
import os, sys
root, n = sys.argv[1], int(sys.argv[2])
for i in range(n):
    d = os.path.join(root, "ordner%05d" % i)
    os.makedirs(d)
    with open(os.path.join(d, "seite.htm"), "w", newline="") as f:
        f.write('<html>\r\n<head>\r\n<title>Seite %d</title>\r\n<meta name="keywords" content="k%d">'
                '\r\n<meta name="description" content="d">\r\n</head>\r\n</html>\r\n' % (i, i))
PY
# The wide site at the chosen delay and at 5 ms (a share over a VPN): tovaro-gen on the tree and
# on the list, and the wizard's "+++" beside the listing's part of --tree (the tree's time less the
# list's).
wide_delays="$delay"
[ "$delay" = 5000 ] || wide_delays="$delay 5000"
for wide_delay in $wide_delays; do
  build/bench/latency_fs "$work/wide" "$wide_mnt" "$wide_delay" -o ro,max_threads=64
  for _ in $(seq 100); do mountpoint -q "$wide_mnt" && break; sleep 0.1; done
  find "$wide_mnt" -type f -name '*.htm' >"$work/list-wide"
  wide_list_ms=$(ms_of build/tovaro-gen --files-from "$work/list-wide" -s "$wide_mnt" -o "$work/d.htm")
  wide_tree_ms=$(ms_of build/tovaro-gen --tree "$wide_mnt" -s "$wide_mnt" -o "$work/e.htm")
  # The same entries: the share's listings may come in another order than find saw them.
  entries() { grep -o "^ *\(urls\|tits\)\[[0-9]*\]=.*" "$1" | sed 's/\[[0-9]*\]//' | sort; }
  same="different entries"
  cmp -s <(entries "$work/d.htm") <(entries "$work/e.htm") && same="the same entries"
  awk -v t="$wide_tree_ms" -v l="$wide_list_ms" -v s="$same" -v d="$wide_delay" 'BEGIN {
    printf "wide site, %d µs a request: tovaro-gen --tree %d ms; --files-from %d ms; ratio %.2f; %s\n", d, t, l, t / l, s }'
  if [ -x build/bench/selection_bench ]; then
    plus=$(QT_QPA_PLATFORM=offscreen build/bench/selection_bench --tree "$wide_mnt" 2>/dev/null | tail -1)
    echo "wide site, $wide_delay µs a request: $plus; the listing's part of --tree $(( wide_tree_ms - wide_list_ms )) ms"
  fi
  fusermount3 -u "$wide_mnt"
done
