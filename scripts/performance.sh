#!/usr/bin/env bash
# Measures Velquin against its floors and writes docs/PERFORMANCE.md:
#   - a resume pass (real file system, real shell) against bare ShellExecuteA calls,
#     10, 100 and 1000 lines, interleaved repetitions, medians;
#   - the directory searches a resume makes, counted, against the expected number;
#   - start-up to the first idle and the working set, against an empty window program;
#   - start-up with 0, 10, 100 and 1000 stored lines (naming a program in a small
#     folder, as a user's tasks are) against the floor program (what the start must
#     do, in raw Win32) and the empty window, and the load per line inside one
#     process, step by step beside the floor's calls;
#   - CPU time and thread wake-ups while waiting in the tray;
#   - the size of the shipped i686 exe and of the x86_64 one, and what makes it up.
# Release builds (the Makefile's settings); the programs run under Wine with the
# shipped i686 build where this machine runs 32-bit code, otherwise with the x86_64
# build, in a fresh private prefix on a private display. Nothing here asserts a
# time: the figures go into the document.
#
# Repetitions and the tray wait can be set: PERF_REPS_10, PERF_REPS_100,
# PERF_REPS_1000, PERF_STARTUP_REPS, PERF_LOAD_REPS, PERF_LOAD_STEP_REPS,
# PERF_TRAY_SECONDS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
jobs=$(nproc)
reps10=${PERF_REPS_10:-15} reps100=${PERF_REPS_100:-3} reps1000=${PERF_REPS_1000:-1}
startupReps=${PERF_STARTUP_REPS:-11} traySeconds=${PERF_TRAY_SECONDS:-60}
loadReps=${PERF_LOAD_REPS:-15} loadStepReps=${PERF_LOAD_STEP_REPS:-7}
out=build/perf
rm -rf "$out"
mkdir -p "$out"
log() { echo "== $*"; }
started=$(date +%s)

log "building the shipped exe (make)"
make dist/Velquin.exe >"$out/make.log" 2>&1 || { tail -n 40 "$out/make.log"; exit 1; }

arch=x86_64
scripts/wine.sh can-run-32 >/dev/null && arch=i686
log "building the $arch Release tree"
win=build/perf-$arch
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$arch-w64-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS=-s >"$out/configure.log" 2>&1
cmake --build "$win" -j "$jobs" --target Velquin velquin_bench_quit velquin_bench_empty_window \
  velquin_bench_load_floor velquin_bench_load_win velquin_bench_resume_win velquin_bench_launch \
  >"$out/build.log" 2>&1 || { tail -n 40 "$out/build.log"; exit 1; }

log "linking size maps"
# The same link as the build's, unstripped and with a map, to see what the bytes are.
size_map() {  # build dir, output name
  local dir=$1/app link
  link=$(sed -n '/-o Velquin.exe/p' "$dir/CMakeFiles/Velquin.dir/link.txt" |
    sed -e 's/ -s / /' -e 's/-o Velquin.exe/-o velquin-size.exe -Wl,-Map=velquin-size.map/' \
        -e 's/-Wl,--out-implib,[^ ]*//')
  (cd "$dir" && eval "$link")
  cp "$dir/velquin-size.map" "$out/$2.map"
  python3 bench/size_breakdown.py "$out/$2.map" 12 >"$out/$2.sizes"
}
size_map build/ship-i686 i686
[ "$arch" = i686 ] || size_map "$win" "$arch"
{
  echo "i686|dist/Velquin.exe|$(stat -c %s dist/Velquin.exe)"
  [ "$arch" = i686 ] || echo "$arch|$win/app/Velquin.exe|$(stat -c %s "$win/app/Velquin.exe")"
  for b in empty_window load_floor; do
    echo "$arch|$win/bench/velquin_bench_$b.exe|$(stat -c %s "$win/bench/velquin_bench_$b.exe")"
  done
} >"$out/sizes.txt"
i686-w64-mingw32-size -A dist/Velquin.exe >"$out/i686.sections"
$arch-w64-mingw32-objdump -p "$win/app/Velquin.exe" | grep 'DLL Name' >"$out/imports.txt"

log "starting Wine"
for n in $(seq 150 199); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
export WINEPREFIX="$root/$out/prefix"
trap 'scripts/wine.sh stop || true; kill $xvfb_pid 2>/dev/null || true' EXIT
scripts/wine.sh start
winpath() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }
run() { scripts/wine.sh run "$@"; }
# The start-up benchmarks copy this program into a small folder of their own and
# store lines naming the copy, as a user's tasks are.
task=$(winpath "$win/bench/velquin_bench_quit.exe")

log "resume passes (repetitions $reps10, $reps100, $reps1000)"
run "$win/bench/velquin_bench_resume_win.exe" "$(winpath "$win/bench/velquin_bench_quit.exe")" \
  "$reps10" "$reps100" "$reps1000" | sed -u 's/\r$//' | tee "$out/resume.txt" | grep -E '^(median|count)' || true

log "start-up and working set ($startupReps repetitions)"
run "$win/bench/velquin_bench_launch.exe" startup "$(winpath "$win/app/Velquin.exe")" \
  "$(winpath "$win/bench/velquin_bench_empty_window.exe")" "$startupReps" "$task" |
  sed -u 's/\r$//' | tee "$out/startup.txt" | grep -E '^(startup|ratio)' || true

log "start-up with 0, 10, 100 and 1000 stored lines ($loadReps repetitions)"
run "$win/bench/velquin_bench_launch.exe" load "$(winpath "$win/app/Velquin.exe")" \
  "$(winpath "$win/bench/velquin_bench_load_floor.exe")" "$(winpath "$win/bench/velquin_bench_empty_window.exe")" \
  "$loadReps" "$task" | sed -u 's/\r$//' | tee "$out/load.txt" | grep -E '^load\|' || true

log "the load's steps ($loadStepReps repetitions)"
run "$win/bench/velquin_bench_load_win.exe" "$task" "$loadStepReps" |
  sed -u 's/\r$//' | tee "$out/loadsteps.txt" | grep -E '^load\|[0-9]+\|[01]\|' || true

log "waiting in the tray (${traySeconds} s)"
# The launcher reads CPU times through GetProcessTimes; alongside, every thread of
# the two Velquin processes is sampled in /proc: a timer or a polling loop would
# wake the main thread, which shows as context switches.
run "$win/bench/velquin_bench_launch.exe" tray "$(winpath "$win/app/Velquin.exe")" "$traySeconds" "$task" \
  >"$out/tray.raw" 2>&1 &
launcher=$!
for _ in $(seq 1 600); do grep -q '^waiting|' "$out/tray.raw" 2>/dev/null && break; sleep 0.1; done
velquin_pids() {
  local p
  for p in $(pgrep -x Velquin.exe || true); do
    { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done
}
sample() {  # label: one line per thread: label|pid|tid|name|switches|cpu ticks
  local p t
  for p in $(velquin_pids); do
    for t in /proc/$p/task/*; do
      local sw cpu
      sw=$(awk '/ctxt_switches/{s+=$2} END{print s+0}' "$t/status" 2>/dev/null || echo 0)
      cpu=$(sed 's/.*) //' "$t/stat" 2>/dev/null | awk '{print $12 + $13}')
      echo "$1|$p|${t##*/}|$(cat "$t/comm" 2>/dev/null)|$sw|$cpu"
    done
  done
}
t0=$(date +%s.%N)
sample before >"$out/tray.threads"
sleep $((traySeconds > 4 ? traySeconds - 3 : 1))
sample after >>"$out/tray.threads"
t1=$(date +%s.%N)
echo "window|$(echo "$t1 - $t0" | bc)|$(getconf CLK_TCK)" >>"$out/tray.threads"
wait "$launcher" || true
tr -d '\r' <"$out/tray.raw" >"$out/tray.txt"
grep '^tray' "$out/tray.txt" || true

scripts/wine.sh stop || true
{
  echo "date|$(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "wine|$(/usr/lib/wine/wine64 --version 2>/dev/null)"
  echo "cpu|$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')|$(nproc)"
  echo "load|$(cut -d' ' -f1-3 /proc/loadavg)"
  echo "gcc|$($arch-w64-mingw32-g++-posix -dumpfullversion)"
  echo "arch|$arch|$win"
  echo "elapsed|$(( $(date +%s) - started ))"
  echo "reps|$reps10|$reps100|$reps1000|$startupReps|$traySeconds|$loadReps|$loadStepReps"
} >"$out/env.txt"

log "writing docs/PERFORMANCE.md"
python3 bench/perf_report.py "$out" >docs/PERFORMANCE.md
log "done in $(( $(date +%s) - started )) s"
