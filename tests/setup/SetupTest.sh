#!/usr/bin/env bash
# What scripts/setup.sh decides, against stand-in package tools (standin.sh): what
# it tries to install, in which order, and what its last line says. Installs nothing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
setup="$here/../../scripts/setup.sh"
failures=0

# case name, then the setup of $STAGE in a function named after it
run_case() {
  local name=$1
  STAGE=$(mktemp -d); export STAGE
  mkdir "$STAGE/bin"
  for t in apt-get apt-cache dpkg dpkg-query id locale locale-gen sleep; do
    ln -s "$here/standin.sh" "$STAGE/bin/$t"
  done
  : >"$STAGE/installed"; : >"$STAGE/install-fails"; : >"$STAGE/calls"
  printf 'C\nja_JP.utf8\nen_US.utf8\n' >"$STAGE/locales"
  printf 'ID=debian\nVERSION_ID="12"\nVERSION_CODENAME=bookworm\n' >"$STAGE/os-release"
  "stage_$name"
  PATH="$STAGE/bin:$PATH" VELQUIN_LOCALE_GEN="$STAGE/locale.gen" VELQUIN_SETUP_LOG="$STAGE/log" \
    VELQUIN_OS_RELEASE="$STAGE/os-release" \
    bash "$setup" >"$STAGE/out" 2>"$STAGE/err"
  echo $? >"$STAGE/rc"
  last=$(tail -n 1 "$STAGE/out")
  installs=$(grep '^apt-get install' "$STAGE/calls" | sed 's/ -y -qq --no-install-recommends//')
  "check_$name"
  rm -rf "$STAGE"
}
expect() {  # description, condition…
  local what=$1; shift
  if ! "$@"; then
    echo "FAIL $case_name: $what"
    echo "  last line: $last"; echo "  installs:"; sed 's/^/    /' <<<"$installs"
    failures=$((failures + 1))
  fi
}
has() { grep -qE -- "$2" <<<"$1"; }
count() { grep -cE -- "$2" <<<"$1"; }

# Everything present: no package tool is asked to change anything.
stage_present() {
  eval "$(sed -n '/^AMD64_PACKAGES=(/,/^)/p; /^I386_PACKAGES=/p' "$setup")"
  printf '%s\n' "${AMD64_PACKAGES[@]}" "${I386_PACKAGES[@]}" >"$STAGE/installed"
}
check_present() {
  expect "exit 0" [ "$(cat "$STAGE/rc")" = 0 ]
  expect "no apt-get call" [ -z "$(grep '^apt-get' "$STAGE/calls")" ]
  expect "no output" [ ! -s "$STAGE/out" ]
}

stage_indexes_fine() { :; }
check_indexes_fine() {
  expect "exit 0" [ "$(cat "$STAGE/rc")" = 0 ]
  expect "one update" [ "$(count "$(cat "$STAGE/calls")" '^apt-get update')" = 1 ]
  expect "amd64 set first, then wine32 alone" \
    [ "$(sed -n 1p <<<"$installs" | grep -c 'wine64 fonts-wine nsis')" = 1 -a "$(sed -n 2p <<<"$installs")" = "apt-get install wine32:i386" ]
  expect "last line names both" has "$last" '^setup: installed build-essential .* wine32:i386$'
  expect "no warning" [ ! -s "$STAGE/err" ]
}

stage_index_fails() { touch "$STAGE/update-fails"; }
check_index_fails() {
  expect "exit 0" [ "$(cat "$STAGE/rc")" = 0 ]
  expect "update tried three times" [ "$(count "$(cat "$STAGE/calls")" '^apt-get update')" = 3 ]
  expect "warning names the index" has "$(cat "$STAGE/err")" 'warning: some package indexes failed.*|unexpected size'
  expect "still installs both" [ "$(count "$installs" .)" = 2 ]
  expect "last line" has "$last" '^setup: installed build-essential .* wine32:i386$'
}

# The i386 twin of a security update is missing: libfoo's amd64 half (1.0-2) has no
# i386 twin, so both halves go to 1.0-1, the newest both offer; libbar agrees already.
stage_consistent_suite() {
  echo '^install wine32:i386$' >>"$STAGE/install-fails"
  printf '%s\n' 'wine32:i386' '  Depends: libfoo:i386' 'libfoo:i386' '  Depends: libbar:i386' \
    'libbar:i386' '  Depends: <libvirtual:i386>' >"$STAGE/depends"
  printf '%s\n' 'libfoo 1.0-2 same' 'libbar 2.0 same' >"$STAGE/multiarch"
  printf '1.0-2\n1.0-1\n' >"$STAGE/madison-libfoo:amd64"
  printf '1.0-1\n' >"$STAGE/madison-libfoo:i386"
  printf '2.0\n' >"$STAGE/madison-libbar:amd64"; printf '2.0\n' >"$STAGE/madison-libbar:i386"
}
check_consistent_suite() {
  expect "exit 0" [ "$(cat "$STAGE/rc")" = 0 ]
  expect "retried from one suite with the common version" \
    has "$installs" '^apt-get install -t bookworm --allow-downgrades wine32:i386 libfoo:i386=1.0-1 libfoo:amd64=1.0-1$'
  expect "libbar left alone" [ "$(count "$installs" libbar)" = 0 ]
  expect "last line says from where" has "$last" 'wine32:i386 \(from bookworm, with libfoo:i386=1.0-1 libfoo:amd64=1.0-1\)$'
}

# The same on Debian 13: the one suite is the release the machine runs, trixie.
stage_consistent_suite_trixie() {
  stage_consistent_suite
  printf 'ID=debian\nVERSION_ID="13"\nVERSION_CODENAME=trixie\n' >"$STAGE/os-release"
}
check_consistent_suite_trixie() {
  expect "exit 0" [ "$(cat "$STAGE/rc")" = 0 ]
  expect "retried from trixie" \
    has "$installs" '^apt-get install -t trixie --allow-downgrades wine32:i386 libfoo:i386=1.0-1 libfoo:amd64=1.0-1$'
  expect "last line says from where" has "$last" 'wine32:i386 \(from trixie, with libfoo:i386=1.0-1 libfoo:amd64=1.0-1\)$'
}

stage_i386_unavailable() {
  echo 'wine32:i386' >>"$STAGE/install-fails"
  echo 'wine32:i386' >"$STAGE/depends"
}
check_i386_unavailable() {
  expect "exit 0: the rest is usable" [ "$(cat "$STAGE/rc")" = 0 ]
  expect "two tries for wine32" [ "$(count "$installs" wine32)" = 2 ]
  expect "dpkg mended after the failed try" has "$(tail -n 2 "$STAGE/calls")" '^dpkg --configure -a'
  expect "last line says what was left out" \
    has "$last" '^setup: installed build-essential .*libbenchmark-dev; wine32 not installed: i386 packages unavailable'
}

stage_amd64_fails() { echo 'build-essential' >>"$STAGE/install-fails"; }
check_amd64_fails() {
  expect "exit 1" [ "$(cat "$STAGE/rc")" = 1 ]
  expect "wine32 not tried" [ "$(count "$installs" wine32)" = 0 ]
  expect "last line says it failed" has "$last" '^setup: failed: could not install build-essential'
}

stage_locale_missing() { stage_present; printf 'C\nja_JP.utf8\n' >"$STAGE/locales"; }
check_locale_missing() {
  expect "no install" [ -z "$installs" ]
  expect "en_US added to locale.gen" grep -qx 'en_US.UTF-8 UTF-8' "$STAGE/locale.gen"
  expect "last line" has "$last" '^setup: installed locales en_US.UTF-8$'
}

for case_name in present indexes_fine index_fails consistent_suite consistent_suite_trixie i386_unavailable amd64_fails locale_missing; do
  run_case "$case_name"
done
echo "setup cases: $failures failed"
[ "$failures" = 0 ]
