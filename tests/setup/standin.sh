#!/usr/bin/env bash
# Stand-in for the package tools that scripts/setup.sh calls; linked under their
# names. Records every call in $STAGE/calls and answers from the files of $STAGE:
#   installed         packages installed (name or name:arch), one a line
#   update-fails      present: apt-get update fails, as with an index that fails its size check
#   install-fails     extended regexes: an `apt-get install` whose arguments (less
#                     -y -qq --no-install-recommends) match one fails
#   depends           what `apt-cache depends --recurse` prints
#   multiarch         "name version multi-arch" of installed amd64 packages
#   madison-NAME:ARCH the versions offered for that package and architecture, one a line
set -u
tool=$(basename "$0")
echo "$tool $*" >>"$STAGE/calls"
case "$tool" in
  id) echo 0 ;;
  sleep) ;;
  locale) cat "$STAGE/locales" 2>/dev/null ;;
  locale-gen) ;;
  dpkg) ;;
  dpkg-query)
    format=$2; shift 2
    if [[ $format == *Package* ]]; then
      for name in "$@"; do
        grep "^${name%:amd64} " "$STAGE/multiarch" 2>/dev/null | sed 's/^/ii  /'
      done
      exit 0
    fi
    grep -qxF "$1" "$STAGE/installed" 2>/dev/null || exit 1
    printf 'ii ' ;;
  apt-get)
    case "$1" in
      update) [ ! -e "$STAGE/update-fails" ] || { echo "E: Failed to fetch i386/Packages.xz  File has unexpected size"; exit 100; } ;;
      install)
        args="$*"; args=${args// -y -qq --no-install-recommends/}
        while read -r pattern; do
          [ -n "$pattern" ] && [[ $args =~ $pattern ]] && { echo "E: Unable to correct problems, you have held broken packages."; exit 100; }
        done <"$STAGE/install-fails"
        for a in "$@"; do [[ $a == -* ]] || echo "${a%%=*}" >>"$STAGE/installed"; done ;;
    esac ;;
  apt-cache)
    case "$1" in
      depends) cat "$STAGE/depends" 2>/dev/null ;;
      madison)
        f="$STAGE/madison-$2"
        [ -f "$f" ] && sed "s/.*/ ${2%:*} | & | http:\/\/deb.example bookworm\/main ${2#*:} Packages/" "$f" ;;
    esac ;;
esac
exit 0
