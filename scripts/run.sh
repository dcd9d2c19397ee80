#!/usr/bin/env bash
# Builds Velquin and starts it under Wine with a Japanese locale, in the prefix
# $VELQUIN_WINEPREFIX (default ~/.velquin-wine, kept between runs so the task list
# persists). Uses the shipped 32-bit build, or the 64-bit one where 32-bit Windows
# programs cannot run (scripts/wine.sh can-run-32 says why). Without a display it starts a virtual one and leaves a
# screenshot of the window in build/run-screenshot.png.
# While it runs, `bash scripts/resume.sh` simulates a resume from standby.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

if why=$(scripts/wine.sh can-run-32); then
  make --no-print-directory dist/Velquin.exe >/dev/null
  exe=dist/Velquin.exe
else
  echo "The 32-bit build cannot run here ($why); starting the 64-bit build instead."
  build=build/ship-x86_64
  cmake -S . -B $build -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release -DVELQUIN_BENCH=OFF >/dev/null
  cmake --build $build --target Velquin VelquinResume -j "$(nproc)" >/dev/null
  exe=$build/app/Velquin.exe
fi

export WINEPREFIX="${VELQUIN_WINEPREFIX:-$HOME/.velquin-wine}"
scripts/wine.sh init

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 50 89); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  export DISPLAY=":$n"
  echo "No display: Velquin runs on the virtual display $DISPLAY."
  (sleep 6 && import -display "$DISPLAY" -window root build/run-screenshot.png 2>/dev/null &&
     echo "A screenshot of the window is in $root/build/run-screenshot.png") &
fi
echo "$DISPLAY" > "$WINEPREFIX/velquin-display"  # for scripts/resume.sh
echo "Velquin is starting (prefix $WINEPREFIX). Simulate a resume: bash scripts/resume.sh"
scripts/wine.sh run "$exe"
