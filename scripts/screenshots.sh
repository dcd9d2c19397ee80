#!/usr/bin/env bash
# Retakes the README's screenshots (docs/screenshots/) under Wine with the shipped
# program: the main window with three tasks (one marked missing), the task input
# dialog, the close question and the about box. Each is cropped to its window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
make --no-print-directory dist/Velquin.exe >/dev/null
cmake --build build/ship-i686 --target WindowRects >/dev/null
rects=build/ship-i686/tools/WindowRects.exe
out=${VELQUIN_SCREENSHOTS:-docs/screenshots}
mkdir -p "$out"

export WINEPREFIX=$root/build/screenshots-prefix
for n in $(seq 160 190); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
trap 'scripts/wine.sh stop; kill $xvfb 2>/dev/null' EXIT
scripts/wine.sh start

wine() { scripts/wine.sh run "$@" </dev/null 2>/dev/null; }
drive_c=$WINEPREFIX/drive_c
mkdir -p "$drive_c/Tools" "$drive_c/Docs"
: >"$drive_c/Tools/backup.exe"; : >"$drive_c/Docs/メモ.txt"
key='HKCU\SOFTWARE\HALVERN\Velquin'
wine reg add "$key" /v Count /t REG_DWORD /d 3 /f >/dev/null
wine reg add "$key" /v APP0 /d '"C:\Tools\backup.exe" /quiet' /f >/dev/null
wine reg add "$key" /v APP1 /d 'C:\Docs\メモ.txt' /f >/dev/null
wine reg add "$key" /v APP2 /d 'C:\Tools\missing.exe' /f >/dev/null

# The rectangle of the window whose caption is $1, as "left top width height".
rect_of() { wine "$rects" | tr -d '\r' | awk -v c="$1" '{ n = $1 " " $2 " " $3 " " $4; $1 = $2 = $3 = $4 = ""; sub(/^ +/, ""); if ($0 == c) { print n; exit } }'; }
wait_for() {  # caption
  local r i
  for i in $(seq 1 50); do r=$(rect_of "$1"); [ -n "$r" ] && { echo "$r"; return; }; sleep 0.2; done
  echo "screenshots: no window \"$1\" appeared" >&2; exit 1
}
shoot() {  # caption, file
  local r; r=$(wait_for "$1"); sleep 0.5
  read -r x y w h <<<"$r"
  import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$2"
  echo "screenshots: $out/$2 (${w}x${h})"
}
desktop=$(xdotool search --name 'Wine desktop' | head -n 1)
press() { xdotool windowfocus --sync "$desktop" key "$@"; sleep 0.3; }

scripts/wine.sh run dist/Velquin.exe </dev/null >/dev/null 2>&1 &
main="ヴェルキン Ver, 1,1"
shoot "$main" main-window.png
press alt+a; shoot "タスク入力" input-dialog.png; press Escape
press alt+F4; shoot "確認" close-question.png; press Escape
# "About .." has no access key: click its middle (left 289, top 239, 80 x 25 in
# the client area, which begins 3 pixels in and 25 down from the window's corner).
read -r x y w h <<<"$(wait_for "$main")"
xdotool mousemove --sync $((x + 3 + 289 + 40)) $((y + 25 + 239 + 12)) click 1
shoot "ヴェルキン のバージョン情報" about-box.png; press Escape
