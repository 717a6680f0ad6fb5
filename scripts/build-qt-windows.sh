#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (MinGW-w64) from Debian's own qt6-base source, once, into a cache
# folder outside the work tree: ${TOVARO_QT_CACHE:-~/.cache/tovaro}/qt-<version>-<options hash>.
# Prints the install prefix. Debian's host tools (moc, rcc, uic) of the same version do the
# host's part. The system's apt configuration is left alone: the source comes through a
# private copy of the machine's own package sources (its "deb" entries as "deb-src"), so a
# mirror or a proxy set up on the machine is used. Two builds at once (two checkouts, or a test
# command and a build by hand) take turns: the second waits for the first and uses its build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
version=6.4.2
options=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF
  -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_opengl=ON -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DINPUT_openssl=no -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_libpng=OFF
  -DFEATURE_system_jpeg=OFF -DFEATURE_sql_sqlite=OFF)
# The key: Qt's version, the options and the compiler, so that a change of any builds Qt again;
# not where the work tree lies, so that every checkout finds the same build.
key=$( (echo "$version"; printf '%s\n' "${options[@]}" | sed "s|$root/||"
  grep -E 'COMPILER|LINKER' cmake/mingw-w64.cmake
  x86_64-w64-mingw32-g++-posix --version 2>/dev/null | head -1) | sha256sum | cut -c1-12)
cache="${TOVARO_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tovaro}"
prefix="$cache/qt-$version-mingw-$key"
# --prefix: only tell where the build goes.
if [ "${1:-}" = "--prefix" ]; then
  echo "$prefix"
  exit 0
fi
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi
mkdir -p "$cache"
exec 9>"$cache/qt-$version-mingw-$key.lock"
if ! flock -n 9; then
  echo "Qt für Windows wird gerade von einem anderen Aufruf gebaut; warte darauf ..." >&2
  flock 9
fi
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

packages=(dpkg-dev qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64 mingw-w64-tools cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

work="$cache/qt-work-$key"
mkdir -p "$work"
if [ ! -d "$work/src" ]; then
  apt_dir="$work/apt"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
  : >"$apt_dir/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$apt_dir/sources.list"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/${f##*/}"
  done
  apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list"
    -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
    -o APT::Sandbox::User=root)
  apt-get "${apt_opts[@]}" update -qq >&2
  (cd "$work" && apt-get "${apt_opts[@]}" source -qq qt6-base >&2)
  src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
  mv "$src" "$work/src"
fi
echo "Qt $version für Windows wird gebaut (einmal, etwa 15 bis 25 Minuten): $prefix" >&2
log="$work/build.log"
if ! { cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" \
  && cmake --build "$work/build" --parallel "$(nproc)" && cmake --install "$work/build"; } >"$log" 2>&1; then
  tail -n 60 "$log" >&2
  exit 1
fi
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
