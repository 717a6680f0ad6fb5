#!/usr/bin/env bash
# Cross-builds Tovaro Wizard for 64-bit Windows into build-windows/: tovaro-gen.exe (self-
# contained), the wizard tovaro.exe over Qt for Windows (built once from Debian's source and
# cached outside the work tree, see scripts/build-qt-windows.sh), the setup program
# TovaroWizard-Setup-<version>.exe, and the tests, which run under Wine.
# TOVARO_WINDOWS_WIZARD=0 builds tovaro-gen and its tests only.
set -euo pipefail
cd "$(dirname "$0")/.."
wizard=${TOVARO_WINDOWS_WIZARD:-1}
packages=(g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 libgtest-dev cmake icoutils)
[ "$wizard" = 1 ] && packages+=(nsis qt6-base-dev qt6-base-dev-tools)
bash scripts/install-deps.sh "${packages[@]}"
# The "windows" preset gives the compiler; the options add Qt for Windows or leave the wizard out.
options=()
if [ "$wizard" = 1 ]; then
  qt=$(bash scripts/build-qt-windows.sh)
  options+=(-DTOVARO_GUI=ON -DTOVARO_QT_PREFIX="$qt" -DCMAKE_PREFIX_PATH="$qt"
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
else
  options+=(-DTOVARO_GUI=OFF)
fi
cmake --preset windows "${options[@]}" >/dev/null
cmake --build build-windows -j"$(nproc)"
echo "build-windows/tovaro-gen.exe"
if [ "$wizard" = 1 ]; then
  version=$(sed -n 's/^project(TovaroWizard VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  stage=build-windows/setup-files
  rm -rf "$stage"
  mkdir -p "$stage"
  x86_64-w64-mingw32-strip -o "$stage/tovaro.exe" build-windows/tovaro.exe
  x86_64-w64-mingw32-strip -o "$stage/tovaro-gen.exe" build-windows/tovaro-gen.exe
  cp -r help "$stage/help"
  # The uninstaller removes the help files by name and their folders only when empty.
  (cd help && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\help\\&"|'
   find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\help\\&"|'
   echo '  RMDir "$INSTDIR\help"') >"$stage/help-files.nsh"
  sed "s/@VERSION@/$version/" packaging/windows/resources/setup.manifest >"$stage/setup.manifest"
  makensis -V2 -DVERSION="$version" -DSOURCE="$PWD/$stage" -DICON="$PWD/build-windows/tovaro.ico" \
    -DMANIFEST="$PWD/$stage/setup.manifest" \
    -DOUTFILE="$PWD/build-windows/TovaroWizard-Setup-$version.exe" packaging/windows/tovaro.nsi
  echo "build-windows/tovaro.exe"
  echo "build-windows/TovaroWizard-Setup-$version.exe"
fi
