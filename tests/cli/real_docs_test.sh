#!/usr/bin/env bash
# tovaro-gen against the independent reference on the HTML documentation that Debian packages
# install, and on the example site: the same status lines and the same page, byte for byte.
set -u
gen=${TOVARO_GEN:?}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pass=0
fail=0
compare() { # name list site web-root
  "$gen" --files-from "$2" -s "$3" -w "$4" -o "$work/gen.htm" >"$work/gen.out"
  python3 "$here/reference_gen.py" "$2" "$3" "$4" "$work/ref.htm" "$here/../core/fixtures" >"$work/ref.out"
  if cmp -s "$work/gen.htm" "$work/ref.htm" && cmp -s "$work/gen.out" "$work/ref.out"; then
    pass=$((pass + 1)); echo "ok   $1 ($(wc -l <"$2") files, $(grep -c '^     urls\[' "$work/gen.htm") indexed)"
  else
    fail=$((fail + 1)); echo "FAIL $1"
    diff <(tr -d '\r' <"$work/gen.htm") <(tr -d '\r' <"$work/ref.htm") | head -20
    diff "$work/gen.out" "$work/ref.out" | head -10
  fi
}
find /usr/share/doc -type f \( -name '*.htm' -o -name '*.html' \) 2>/dev/null | sort >"$work/docs"
if [ -s "$work/docs" ]; then
  compare "documentation under /usr/share/doc" "$work/docs" /usr/share/doc "https://docs.example.org/"
fi
example=$(cd "$here/../../example/site" && pwd)
find "$example" -type f | sort >"$work/example"
compare "example site" "$work/example" "$example" ""
echo "reference: $pass passed, $fail failed"
[ $fail = 0 ]
