#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12 or 13 (run as root).
# Idempotent: returns at once when every package and locale is already present.
#
# The package mirrors are not always consistent. An index may fail its size check
# while a mirror syncs, and the i386 twins of a suite's updates may be missing while
# their amd64 halves are there. So:
#   - a failed index is a warning: the install decides whether anything is missing;
#   - the amd64 set is installed first, then the 32-bit Wine layer (needed only to
#     run the shipped 32-bit program's tests): from the default candidates, else
#     once more from one consistent suite, else it is left out;
#   - the last line says what was installed and what was left out, and why.
set -uo pipefail

AMD64_PACKAGES=(
  build-essential cmake clang libclang-rt-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine wine64 fonts-wine nsis osslsigncode
  xvfb xauth x11-apps xdotool imagemagick locales fonts-ipafont-gothic python3 git openssl
  libgtest-dev libgmock-dev googletest libbenchmark-dev
)
I386_PACKAGES=(wine32:i386)
LOCALES=(ja_JP.UTF-8 en_US.UTF-8)
LOCALE_GEN=${VELQUIN_LOCALE_GEN:-/etc/locale.gen}
LOG=${VELQUIN_SETUP_LOG:-${TMPDIR:-/tmp}/velquin-setup.log}
OS_RELEASE=${VELQUIN_OS_RELEASE:-/etc/os-release}

installed() { dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null | grep -q '^ii'; }
missing_of() { local p; for p in "$@"; do installed "$p" || printf '%s\n' "$p"; done; }
has_locale() {  # ja_JP.UTF-8 is listed as ja_JP.utf8
  local want=${1%%.*}.utf8
  locale -a 2>/dev/null | sed 's/UTF-8$/utf8/I' | grep -qix "$want"
}

mapfile -t missing_amd64 < <(missing_of "${AMD64_PACKAGES[@]}")
mapfile -t missing_i386 < <(missing_of "${I386_PACKAGES[@]}")
missing_locales=()
for l in "${LOCALES[@]}"; do has_locale "$l" || missing_locales+=("$l"); done
if [ ${#missing_amd64[@]} = 0 ] && [ ${#missing_i386[@]} = 0 ] && [ ${#missing_locales[@]} = 0 ]; then
  exit 0
fi

if [ "$(id -u)" != 0 ]; then
  echo "setup: packages are missing (${missing_amd64[*]} ${missing_i386[*]}); run this script as root: $0" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
: >"$LOG"
done_list=() left_out=()
say_failed() {  # what, then the log's tail
  echo "setup: $1 failed; the end of $LOG:" >&2
  tail -n 20 "$LOG" >&2
}

# An interrupted earlier run may have left packages unpacked but not configured.
dpkg --configure -a >>"$LOG" 2>&1 || echo "setup: warning: dpkg --configure -a failed (see $LOG)" >&2

if [ ${#missing_amd64[@]} -gt 0 ] || [ ${#missing_i386[@]} -gt 0 ]; then
  dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386 || dpkg --add-architecture i386
  updated=0
  for try in 1 2 3; do
    if apt-get update -qq >>"$LOG" 2>&1; then updated=1; break; fi
    [ "$try" = 3 ] || sleep "$try"
  done
  if [ "$updated" = 0 ]; then
    echo "setup: warning: some package indexes failed to download; installing from those that did:" >&2
    grep -E '^(E|W): Failed to fetch' "$LOG" | sort -u | tail -n 5 | sed 's/^/  /' >&2
  fi
fi

if [ ${#missing_amd64[@]} -gt 0 ]; then
  if apt-get install -y -qq --no-install-recommends "${missing_amd64[@]}" >>"$LOG" 2>&1; then
    done_list+=("${missing_amd64[@]}")
  else
    say_failed "installing ${missing_amd64[*]}"
    dpkg --configure -a >>"$LOG" 2>&1
    echo "setup: failed: could not install ${missing_amd64[*]}"
    exit 1
  fi
fi

# The versions a package is offered at for one architecture, from `apt-cache madison`.
offered() {  # name arch
  apt-cache madison "$1:$2" 2>/dev/null | awk -F'|' '{ gsub(/ /, "", $2); print $2 }'
}
# Multi-arch packages need equal versions on both architectures. For every
# installed amd64 package in the i386 layer's dependencies whose version the suite
# does not offer for i386, name both halves at the newest version both offer.
consistent_pins() {  # packages…
  local names name ver ma common
  names=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
            --no-breaks --no-replaces --no-enhances "$@" 2>/dev/null |
          sed -n 's/^\([a-z0-9][^ <>]*\):i386$/\1/p' | sort -u)
  [ -n "$names" ] || return 0
  # shellcheck disable=SC2086
  dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Version} ${Multi-Arch}\n' \
      $(sed 's/$/:amd64/' <<<"$names") 2>/dev/null |
  while read -r status name ver ma; do
    [ "$status" = ii ] && [ "$ma" = same ] || continue
    offered "$name" i386 | grep -qxF "$ver" && continue
    common=$(comm -12 <(offered "$name" amd64 | sort -u) <(offered "$name" i386 | sort -u) |
             sort -V | tail -n 1)
    [ -n "$common" ] && printf '%s:i386=%s %s:amd64=%s\n' "$name" "$common" "$name" "$common"
  done
}

if [ ${#missing_i386[@]} -gt 0 ]; then
  if apt-get install -y -qq --no-install-recommends "${missing_i386[@]}" >>"$LOG" 2>&1; then
    done_list+=("${missing_i386[@]}")
  else
    suite=$(. "$OS_RELEASE" 2>/dev/null; echo "${VERSION_CODENAME:-bookworm}")
    mapfile -t pins < <(consistent_pins "${missing_i386[@]}" | tr ' ' '\n')
    if apt-get install -y -qq --no-install-recommends -t "$suite" --allow-downgrades \
         "${missing_i386[@]}" "${pins[@]}" >>"$LOG" 2>&1; then
      done_list+=("${missing_i386[@]} (from $suite${pins[*]:+, with ${pins[*]}})")
    else
      dpkg --configure -a >>"$LOG" 2>&1
      left_out+=("wine32 not installed: i386 packages unavailable (the 32-bit tests will not run)")
    fi
  fi
fi

if [ ${#missing_locales[@]} -gt 0 ]; then
  for l in "${missing_locales[@]}"; do
    sed -i "s/^# *\($l UTF-8\)/\1/" "$LOCALE_GEN"
    grep -q "^$l UTF-8" "$LOCALE_GEN" || echo "$l UTF-8" >>"$LOCALE_GEN"
  done
  if locale-gen >>"$LOG" 2>&1; then
    done_list+=("locales ${missing_locales[*]}")
  else
    left_out+=("locales ${missing_locales[*]} not generated (see $LOG)")
  fi
fi

line="setup: installed ${done_list[*]:-nothing}"
for reason in "${left_out[@]}"; do line+="; $reason"; done
echo "$line"
exit 0
