#!/usr/bin/env bash
# Signs Windows programs in place with the certificate in VELQUIN_SIGN_PFX (a PKCS#12
# file; its password in VELQUIN_SIGN_PASSWORD, handed to osslsigncode on its standard
# input, never on a command line):
#   sign.sh FILE…
# The signing time is SOURCE_DATE_EPOCH, so that signing the same bytes twice gives
# the same bytes; a time stamp from VELQUIN_SIGN_TIMESTAMP_URL (RFC 3161) is added only
# when that is set, and makes the result differ from run to run. With
# VELQUIN_SIGN_VERIFY_CAFILE (the root the certificate chains to), each signature
# is checked with osslsigncode verify as soon as it is made.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 FILE…" >&2; exit 2; }
: "${VELQUIN_SIGN_PFX:?sign: VELQUIN_SIGN_PFX is not set}"
[ -r "$VELQUIN_SIGN_PFX" ] || { echo "sign: cannot read $VELQUIN_SIGN_PFX" >&2; exit 1; }
command -v osslsigncode >/dev/null ||
  { echo "sign: osslsigncode is missing (Debian package osslsigncode; scripts/setup.sh installs it)" >&2; exit 1; }
: "${SOURCE_DATE_EPOCH:?sign: SOURCE_DATE_EPOCH is not set}"

stamp=()
[ -z "${VELQUIN_SIGN_TIMESTAMP_URL:-}" ] || stamp=(-ts "$VELQUIN_SIGN_TIMESTAMP_URL")
for file in "$@"; do
  signed="$file.signing"
  rm -f "$signed"
  if ! printf '%s' "${VELQUIN_SIGN_PASSWORD:-}" |
       osslsigncode sign -pkcs12 "$VELQUIN_SIGN_PFX" -readpass - -h sha256 \
         -n "Velquin" -time "$SOURCE_DATE_EPOCH" "${stamp[@]}" \
         -in "$file" -out "$signed" >"$signed.log" 2>&1; then
    cat "$signed.log" >&2
    rm -f "$signed" "$signed.log"
    echo "sign: could not sign $file" >&2
    exit 1
  fi
  rm -f "$signed.log"
  mv -f "$signed" "$file"
  if [ -n "${VELQUIN_SIGN_VERIFY_CAFILE:-}" ] &&
     ! osslsigncode verify -CAfile "$VELQUIN_SIGN_VERIFY_CAFILE" -in "$file" >"$signed.log" 2>&1; then
    cat "$signed.log" >&2
    rm -f "$signed.log"
    echo "sign: the signature of $file does not verify" >&2
    exit 1
  fi
  rm -f "$signed.log"
  echo "sign: signed $(basename "$file")"
done
