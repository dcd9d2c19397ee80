#!/usr/bin/env bash
# Runs Windows programs under Wine in a private prefix ($WINEPREFIX), with the
# Japanese locale (ANSI code page 932), a pinned time zone and no debug noise.
#   VELQUIN_WINE_LANG  another locale for the programs, e.g. en_US.UTF-8 (code page 1252)
#   VELQUIN_WINE_DPI   the prefix's display scale in dots per inch (start/init; 96 if unset)
#
#   wine.sh start            a fresh prefix and a persistent wineserver (CTest fixture)
#   wine.sh init             the same prefix settings, but keeps an existing prefix
#   wine.sh stop             ends that wineserver
#   wine.sh run EXE [ARG…]   runs EXE (the CTest emulator of the Windows builds)
#   wine.sh can-run-32       exit 0 when this machine can run 32-bit Windows programs;
#                            otherwise prints what is missing and exits 1
#
# The Wine daemons must never hold the caller's output pipe (ctest would wait for
# them), so everything that may start one runs with all three streams on /dev/null.
set -euo pipefail

export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
locale="${VELQUIN_WINE_LANG:-ja_JP.UTF-8}"
export LANG="$locale" LC_ALL="$locale"
export TZ="${TZ:-Asia/Tokyo}"
# Debian 12 (Wine 8) and Debian 13 (Wine 10) install the loaders at the same paths.
WINE=/usr/lib/wine/wine64        # runs 64-bit programs, and 32-bit ones where the
WINESERVER=/usr/lib/wine/wineserver  # kernel can run the 32-bit loader

quiet() { "$@" </dev/null >/dev/null 2>&1; }

case "${1:-}" in
  start|init)
    : "${WINEPREFIX:?WINEPREFIX must name the prefix}"
    if [ "$1" = start ]; then
      quiet "$WINESERVER" -k || true
      rm -rf "$WINEPREFIX"
    elif [ -f "$WINEPREFIX/system.reg" ]; then
      exit 0
    fi
    mkdir -p "$WINEPREFIX"
    # Tests keep one server for the whole run; a user's session lets it end.
    if [ "$1" = start ]; then quiet "$WINESERVER" -p; fi
    quiet "$WINE" wineboot -i
    settings=$(mktemp --suffix=.reg)
    # 800x600 at 96 DPI; as large in inches at another display scale.
    dpi=${VELQUIN_WINE_DPI:-96}
    desktop="$((800 * dpi / 96))x$((600 * dpi / 96))"
    # No crash dialog (it would block a test); a virtual desktop with a tray, so
    # hiding windows does not wait for a window manager that is not there.
    printf '%s\r\n' 'REGEDIT4' '' \
      '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"Default\"=\"$desktop\"" '' > "$settings"
    quiet "$WINE" regedit /S "Z:${settings//\//\\}"
    rm -f "$settings"
    # The Japanese UI font by name: the proportional IPA Gothic stands in for it.
    quiet "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f
    # Title bars and message boxes use Tahoma, which has no Japanese. Wine 8 found
    # the missing characters anyway; Wine 10 takes them only from the fonts linked
    # to Tahoma (else draws boxes), so IPA P Gothic is linked first.
    quiet "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic\0MSGOTHIC.TTC,MS UI Gothic' /f
    if [ -n "${VELQUIN_WINE_DPI:-}" ]; then
      quiet "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$VELQUIN_WINE_DPI" /f
    fi
    # Wine's symbol font draws the title-bar buttons; Wine does not find it in
    # its data folder here, but does in the prefix's font folder.
    cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # The desktop that wineboot started predates these settings: restart the
    # server so that the next program starts a desktop that reads them.
    quiet "$WINESERVER" -k || true
    if [ "$1" = start ]; then quiet "$WINESERVER" -p; quiet "$WINE" wineboot; fi
    ;;
  stop)
    : "${WINEPREFIX:?WINEPREFIX must name the prefix}"
    quiet "$WINESERVER" -k || true
    ;;
  run)
    shift
    : "${WINEPREFIX:?WINEPREFIX must name the prefix}"
    exec "$WINE" "$@"
    ;;
  can-run-32)
    # Two things are needed: a kernel that executes 32-bit x86 code, and Wine's
    # 32-bit loader (package wine32:i386). A 93-byte ELF32 program that exits
    # with 42 through int 0x80 tells the first without any 32-bit package.
    missing=()
    probe=$(mktemp)
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80' >"$probe"
    chmod +x "$probe"
    rc=0; "$probe" </dev/null >/dev/null 2>&1 || rc=$?
    rm -f "$probe"
    [ "$rc" = 42 ] || missing+=("the kernel cannot run 32-bit programs")
    loader=${VELQUIN_WINE32_LOADER:-/usr/lib/wine/wine}
    if [ ! -x "$loader" ]; then
      missing+=("the 32-bit Wine loader is not installed (wine32:i386)")
    elif [ "$rc" = 42 ] && ! quiet "$loader" --version; then
      missing+=("the 32-bit Wine loader does not start")
    fi
    [ ${#missing[@]} = 0 ] && exit 0
    why=""; for m in "${missing[@]}"; do why+="${why:+; }$m"; done
    echo "$why"
    exit 1
    ;;
  *)
    echo "usage: $0 start|init|stop|run EXE [ARG…]|can-run-32" >&2
    exit 2
    ;;
esac
