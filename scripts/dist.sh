#!/usr/bin/env bash
# Packages a built Velquin.exe for Windows users:
#   dist.sh EXE OUTDIR
# writes into OUTDIR the installer Velquin-<version>-setup.exe (NSIS), the portable
# Velquin-<version>.zip (Velquin.exe, readme.txt, LICENSE.txt), a copy of EXE as
# Velquin.exe, and SHA256SUMS for those three.
# readme.txt is kept as UTF-8 in installer/; Windows users get code page 932 with
# CR LF, and LICENSE.txt with CR LF.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || { echo "usage: $0 EXE OUTDIR" >&2; exit 2; }
exe=$(realpath "$1")
mkdir -p "$2"
out=$(realpath "$2")
command -v makensis >/dev/null || { echo "dist: makensis is missing (Debian package nsis; scripts/setup.sh installs it)" >&2; exit 1; }

# 1.1.0 in CMakeLists.txt: the product version is 1.1, the file version 1.1.0.0.
full=$(sed -nE 's/^project\(Velquin VERSION ([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' "$root/CMakeLists.txt")
version=${full%.*}
setup="Velquin-$version-setup.exe" zip="Velquin-$version.zip"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
crlf() { sed -e 's/\r$//' -e 's/$/\r/'; }
iconv -f UTF-8 -t CP932 "$root/installer/readme.txt" | crlf >"$stage/readme.txt"
crlf <"$root/LICENSE" >"$stage/LICENSE.txt"
cp "$exe" "$stage/Velquin.exe"

rm -f "$out/$setup" "$out/$zip" "$out/SHA256SUMS"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$full.0" -DSTAGE="$stage" \
  -DICON="$root/app/res/Velquin.ico" -DOUTFILE="$out/$setup" "$root/installer/Velquin.nsi"

python3 - "$out/$zip" "$stage" Velquin.exe readme.txt LICENSE.txt <<'PY'
import sys, zipfile
path, stage, *names = sys.argv[1:]
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name in names:
        z.write(f"{stage}/{name}", arcname=name)
PY

[ "$exe" = "$out/Velquin.exe" ] || cp "$exe" "$out/Velquin.exe"
(cd "$out" && sha256sum Velquin.exe "$setup" "$zip" >SHA256SUMS)
(cd "$out" && ls -l Velquin.exe "$setup" "$zip" SHA256SUMS)
