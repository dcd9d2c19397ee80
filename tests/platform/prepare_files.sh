#!/usr/bin/env bash
# Prepares the folder the file-system tests search: files, directories and
# last-write times that only the Unix side can set (before 1980, after 2107).
# Times are local to the zone the Windows programs run in.
set -euo pipefail
dir=${1:?usage: prepare_files.sh DIR}
export TZ="${TZ:-Asia/Tokyo}"
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"
mkdir -p dir "Program Files/App" wild/subdir
touch plain.txt run.exe "Program Files/App/app.exe" "ソフト.txt" "a,b.txt" "two  spaces.txt" \
  wild/only-file.txt
# -m: only the last-write time; the access time stays now, so a test sees which one it got.
touch -m -d "1975-06-01 12:00:00" y1975.txt
touch -m -d "1979-12-31 23:59:59" y1979-last.txt
touch -m -d "1980-01-01 00:00:00" y1980-first.txt
touch -m -d "2020-05-05 10:00:00" y2020.txt
touch -m -d "2107-12-31 23:59:58" y2107-last.txt
touch -m -d "2108-01-01 00:00:00" y2108-first.txt
touch -m -d "2110-06-01 12:00:00" y2110.txt
