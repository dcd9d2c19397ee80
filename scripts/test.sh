#!/usr/bin/env bash
# Builds everything and runs every test:
#   host     the portable core with GoogleTest
#   asan     the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   fuzz     each libFuzzer target for a short while (clang)
#   x86_64   the Windows build, its tests under Wine (Japanese locale, fresh prefix)
#   i686     the shipped Windows build; its tests run under Wine where the kernel runs
#            32-bit code and the 32-bit Wine loader is installed, otherwise it is built
#            and the summary says which of the two is missing
# Ends with one line: "N passed, N failed" (tests counted over all suites).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" || exit 1
cd "$root"
jobs=$(nproc)
suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(host asan fuzz x86_64 i686)

# A private display for the window tests, never the user's.
for n in $(seq 90 140); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null' EXIT
export DISPLAY=":$n"

passed=0 failed=0 summary=() logs=()
configure_and_build() {  # dir, cmake args…
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$dir.configure.log" 2>&1 &&
    cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1
}
run_suite() {  # name, dir, cmake args…
  local name=$1 dir=$2; shift 2
  mkdir -p build
  echo "== $name: building in $dir"
  if ! configure_and_build "$dir" "$@"; then
    tail -n 40 "$dir.configure.log" "$dir.build.log" 2>/dev/null
    summary+=("$name: BUILD FAILED (see $dir.build.log)")
    failed=$((failed + 1))
    return
  fi
  local why
  if [ "$name" = i686 ] && ! why=$(scripts/wine.sh can-run-32); then
    summary+=("$name: built; tests not run: $why")
    return
  fi
  echo "== $name: testing"
  local log="$dir.ctest.log"
  logs+=("$log")
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 900) 2>&1 | tee "$log" | grep -vE '^ *[0-9]+/[0-9]+ Test' || true
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    summary+=("$name: NO RESULT (see $log)")
    failed=$((failed + 1))
    return
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
  summary+=("$name: $line")
}

for suite in "${suites[@]}"; do
  case "$suite" in
    host)   run_suite host build/host ;;
    asan)   run_suite asan build/asan -DVELQUIN_SANITIZE=ON -DVELQUIN_BENCH=OFF ;;
    fuzz)   run_suite fuzz build/fuzz -DVELQUIN_FUZZ=ON -DVELQUIN_BENCH=OFF \
              -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ ;;
    x86_64) run_suite x86_64 build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake ;;
    i686)   run_suite i686 build/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake ;;
    *) echo "unknown suite: $suite" >&2; exit 2 ;;
  esac
done

# What the failed tests printed, again at the end, where a short tail of the
# output still shows it.
failures=$(for log in "${logs[@]}"; do
  awk '/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: .*(Failed|Timeout|Exception|Not Run)/ { show = 1; n = 0 }
       /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: .*Passed/ || /^ +Start +[0-9]+:/ { show = 0 }
       show && n++ < 80' "$log" | sed "s|^|${log%.ctest.log}: |"
done)
[ -z "$failures" ] || printf '\n== What the failed tests printed\n%s\n' "$failures"

echo
echo "== Summary"
printf '  %s\n' "${summary[@]}"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
