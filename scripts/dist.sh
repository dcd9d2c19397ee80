#!/usr/bin/env bash
# Packages a built Velquin.exe and uninst.exe (the VelquinUninstall target) for
# Windows users:
#   dist.sh EXE UNINST_EXE OUTDIR
# writes into OUTDIR
#   Velquin-<version>-setup.exe  the installer (NSIS), carrying the uninstaller: uninst.exe
#                                and uninst-core.exe (NSIS) which it runs
#   Velquin-<version>.zip        Velquin.exe, readme.txt, LICENSE.txt, for use without it
#   Velquin.exe                  a copy of EXE (signed, when signing)
#   SHA256SUMS                   for those three, written last
#   winget/                      the winget manifest of the installer (scripts/winget.py)
# <version> is the project's (CMakeLists.txt), whole.
#
# Reproducible: every time a package stores is SOURCE_DATE_EPOCH, by default the time
# of the last commit, so that the same commit gives the same bytes.
# Signed when VELQUIN_SIGN_PFX (a PKCS#12 file) and VELQUIN_SIGN_PASSWORD are set:
# Velquin.exe, both parts of the uninstaller and the installer (scripts/sign.sh),
# time-stamped only with VELQUIN_SIGN_TIMESTAMP_URL. Otherwise unsigned, and it
# says so.
# readme.txt is kept as UTF-8 in installer/; Windows users get code page 932 with
# CR LF, and LICENSE.txt with CR LF.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 3 ] || { echo "usage: $0 EXE UNINST_EXE OUTDIR" >&2; exit 2; }
exe=$(realpath "$1")
uninst=$(realpath "$2")
mkdir -p "$3"
out=$(realpath "$3")
command -v makensis >/dev/null || { echo "dist: makensis is missing (Debian package nsis; scripts/setup.sh installs it)" >&2; exit 1; }

# 1.1 → file version 1.1.0.0; 1.1.1 → 1.1.1.0.
version=$(sed -nE 's/^project\(Velquin VERSION ([0-9]+(\.[0-9]+){0,3}).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "dist: no version in CMakeLists.txt's project()" >&2; exit 1; }
IFS=. read -r -a parts <<<"$version"
while [ ${#parts[@]} -lt 4 ]; do parts+=(0); done
version4=$(IFS=.; echo "${parts[*]}")
setup="Velquin-$version-setup.exe" zip="Velquin-$version.zip"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)
  [ -n "$SOURCE_DATE_EPOCH" ] || { echo "dist: set SOURCE_DATE_EPOCH (no git history to take it from)" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH

sign=()
if [ -n "${VELQUIN_SIGN_PFX:-}" ]; then
  sign=(bash "$root/scripts/sign.sh")
  echo "dist: signing with $VELQUIN_SIGN_PFX${VELQUIN_SIGN_TIMESTAMP_URL:+, time stamp from $VELQUIN_SIGN_TIMESTAMP_URL}"
else
  echo "dist: unsigned (set VELQUIN_SIGN_PFX and VELQUIN_SIGN_PASSWORD to sign)"
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
crlf() { sed -e 's/\r$//' -e 's/$/\r/'; }
iconv -f UTF-8 -t CP932 "$root/installer/readme.txt" | crlf >"$stage/readme.txt"
crlf <"$root/LICENSE" >"$stage/LICENSE.txt"
cp "$exe" "$stage/Velquin.exe"
cp "$uninst" "$stage/uninst.exe"
[ ${#sign[@]} = 0 ] || "${sign[@]}" "$stage/Velquin.exe" "$stage/uninst.exe"

nsis() {  # script, output, defines…
  local script=$1 output=$2; shift 2
  local defines=(-DVERSION="$version" -DVERSION4="$version4" -DICON="$root/app/res/Velquin.ico" -DOUTFILE="$output" "$@")
  # makensis runs the signing command through the shell, with the file as "%1".
  [ ${#sign[@]} = 0 ] || defines+=(-DSIGN="bash '$root/scripts/sign.sh'")
  makensis -V2 -INPUTCHARSET UTF8 "${defines[@]}" "$root/installer/$script"
}
nsis Uninstall.nsi "$stage/uninst-core.exe"
# Every file's time, as the installer and the zip store it: the commit's.
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

rm -rf "$out/$setup" "$out/$zip" "$out/SHA256SUMS" "$out/winget"
nsis Velquin.nsi "$out/$setup" -DSTAGE="$stage"

# The zip: members in a fixed order, with fixed times, attributes and compression.
python3 - "$out/$zip" "$stage" "$SOURCE_DATE_EPOCH" Velquin.exe readme.txt LICENSE.txt <<'PY'
import sys, time, zipfile
path, stage, epoch, *names = sys.argv[1:]
when = time.gmtime(max(int(epoch), 315532800))[:6]  # zip times start in 1980
with zipfile.ZipFile(path, "w") as z:
    for name in names:
        info = zipfile.ZipInfo(name, when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0
        info.external_attr = 0x20  # the archive attribute, as Windows sets it
        with open(f"{stage}/{name}", "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
PY

cp "$stage/Velquin.exe" "$out/Velquin.exe"
touch -d "@$SOURCE_DATE_EPOCH" "$out/Velquin.exe" "$out/$setup" "$out/$zip"
python3 "$root/scripts/winget.py" "$out/winget" "$version" "$out/$setup" "$SOURCE_DATE_EPOCH"
# Last, over the signed files.
(cd "$out" && sha256sum Velquin.exe "$setup" "$zip" >SHA256SUMS)
(cd "$out" && ls -l Velquin.exe "$setup" "$zip" SHA256SUMS winget)
