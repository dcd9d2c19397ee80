#!/usr/bin/env bash
# CI's check of the packages that make dist writes:
#   reproducible  two make dist runs from a clean build of the same commit give the
#                 same SHA256SUMS (and so the same files);
#   signed        with a throw-away certificate made here by openssl (a root, and a
#                 code-signing certificate under it), dist.sh signs Velquin.exe, both
#                 parts of the uninstaller and the installer; every signature is
#                 checked with osslsigncode verify against that root as it is made,
#                 the packaged ones again here, and signing twice gives the same bytes.
# Prints the packages' sizes and how long each make dist took. Leaves dist/ as the
# second, unsigned make dist wrote it.
#   check-dist.sh [reproducible] [signed]      (both when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
checks=("$@")
[ ${#checks[@]} -gt 0 ] || checks=(reproducible signed)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ship=build/ship-i686

timed_dist() {  # label
  local start end
  start=$(date +%s)
  make dist >"$work/$1.log" 2>&1 || { tail -n 40 "$work/$1.log" >&2; echo "check-dist: make dist ($1) failed" >&2; exit 1; }
  end=$(date +%s)
  echo "check-dist: make dist ($1) took $((end - start)) s"
}

reproducible() {
  rm -rf "$ship" dist
  timed_dist "first, from a clean build"
  cp dist/SHA256SUMS "$work/SHA256SUMS.first"
  rm -rf "$ship" dist
  timed_dist "second, from a clean build"
  if ! cmp -s "$work/SHA256SUMS.first" dist/SHA256SUMS; then
    diff "$work/SHA256SUMS.first" dist/SHA256SUMS >&2 || true
    echo "check-dist: FAILED: two builds of the same commit differ" >&2
    exit 1
  fi
  echo "check-dist: reproducible: both builds give the same SHA256SUMS"
  (cd dist && ls -l Velquin.exe Velquin-*-setup.exe Velquin-*.zip | awk '{ print "check-dist: size", $5, $9 }')
}

signed() {
  [ -f "$ship/app/Velquin.exe" ] || timed_dist "for signing"
  local ca="$work/ca"
  mkdir -p "$ca"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velquin throw-away root" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
    -keyout "$ca/root.key" -out "$ca/root.pem" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -subj "/CN=Velquin throw-away signer" \
    -keyout "$ca/signer.key" -out "$ca/signer.csr" 2>/dev/null
  printf '%s\n' 'basicConstraints=CA:FALSE' 'keyUsage=critical,digitalSignature' 'extendedKeyUsage=codeSigning' \
    >"$ca/signer.ext"
  openssl x509 -req -in "$ca/signer.csr" -CA "$ca/root.pem" -CAkey "$ca/root.key" -CAcreateserial -days 2 \
    -extfile "$ca/signer.ext" -out "$ca/signer.pem" 2>/dev/null
  openssl pkcs12 -export -inkey "$ca/signer.key" -in "$ca/signer.pem" -certfile "$ca/root.pem" \
    -passout pass:throw-away -out "$ca/signer.pfx"

  local run
  for run in 1 2; do
    VELQUIN_SIGN_PFX="$ca/signer.pfx" VELQUIN_SIGN_PASSWORD=throw-away VELQUIN_SIGN_VERIFY_CAFILE="$ca/root.pem" \
      bash scripts/dist.sh "$ship/app/Velquin.exe" "$ship/app/VelquinUninstall.exe" "$work/signed$run" \
      >"$work/signed$run.log" 2>&1 || { cat "$work/signed$run.log" >&2; echo "check-dist: FAILED: signed make dist" >&2; exit 1; }
  done
  grep '^sign: signed' "$work/signed1.log" | sed 's/^/check-dist: /'
  local file
  python3 -c 'import sys, zipfile; open(sys.argv[2], "wb").write(zipfile.ZipFile(sys.argv[1]).read("Velquin.exe"))' \
    "$(ls "$work"/signed1/Velquin-*.zip)" "$work/zipped-Velquin.exe"
  for file in "$work/signed1/Velquin.exe" "$work"/signed1/Velquin-*-setup.exe "$work/zipped-Velquin.exe"; do
    if ! osslsigncode verify -CAfile "$ca/root.pem" -in "$file" >"$work/verify.log" 2>&1; then
      cat "$work/verify.log" >&2
      echo "check-dist: FAILED: $(basename "$file") does not verify" >&2
      exit 1
    fi
    echo "check-dist: verified $(basename "$file")"
  done
  if ! cmp -s "$work/signed1/SHA256SUMS" "$work/signed2/SHA256SUMS"; then
    echo "check-dist: FAILED: signing the same files twice gives different bytes" >&2
    exit 1
  fi
  echo "check-dist: signed: every signature verifies; signing twice gives the same SHA256SUMS"
}

for check in "${checks[@]}"; do
  case "$check" in
    reproducible) reproducible ;;
    signed) signed ;;
    *) echo "usage: $0 [reproducible] [signed]" >&2; exit 2 ;;
  esac
done
