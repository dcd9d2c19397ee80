#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12 (run as root).
# Idempotent: returns at once when every tool is already present.
set -euo pipefail

need=0
for tool in cmake make g++ clang i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix \
            i686-w64-mingw32-windres Xvfb xauth import python3; do
  command -v "$tool" >/dev/null 2>&1 || need=1
done
[ -x /usr/lib/wine/wine ] && [ -x /usr/lib/wine/wine64 ] || need=1
[ -f /usr/src/googletest/CMakeLists.txt ] || need=1
[ -f /usr/include/benchmark/benchmark.h ] || need=1
[ -d /usr/share/fonts/opentype/ipafont-gothic ] || need=1
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || need=1
[ "$need" = 0 ] && exit 0

if [ "$(id -u)" != 0 ]; then
  echo "setup: packages are missing; run this script as root: $0" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  build-essential cmake clang libclang-rt-14-dev \
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64 \
  wine wine32:i386 wine64 \
  xvfb xauth x11-apps imagemagick locales fonts-ipafont-gothic python3 \
  libgtest-dev googletest libbenchmark-dev >/dev/null

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
echo "setup: done"
