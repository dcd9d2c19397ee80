#!/usr/bin/env bash
# Simulates a resume from standby for a Velquin started with scripts/run.sh: sends
# WM_POWERBROADCAST with event code 7 (or the code given) to its window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
export WINEPREFIX="${VELQUIN_WINEPREFIX:-$HOME/.velquin-wine}"
if [ -z "${DISPLAY:-}" ] && [ -f "$WINEPREFIX/velquin-display" ]; then
  export DISPLAY=$(cat "$WINEPREFIX/velquin-display")
fi
# The build scripts/run.sh used: the 32-bit one where 32-bit Windows programs run.
if scripts/wine.sh can-run-32 >/dev/null; then
  tool=build/ship-i686/tools/VelquinResume.exe
else
  tool=build/ship-x86_64/tools/VelquinResume.exe
fi
[ -f "$tool" ] || tool=""
if [ -z "$tool" ]; then
  echo "Start Velquin with scripts/run.sh first." >&2
  exit 1
fi
scripts/wine.sh run "$tool" "$@"
