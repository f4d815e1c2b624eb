#!/usr/bin/env bash
# Installs the Debian packages that are missing for the named parts:
#   build  compiler, CMake, GoogleTest
#   wine   the i686 MinGW-w64 cross toolchain, Wine with wine32, Xvfb, a Korean font
#   bench  what the benchmark needs
# Does nothing when all are there, so it is cheap to call every time.
set -euo pipefail

want=()
for part in "$@"; do
  case "$part" in
    build) want+=(g++ cmake make libgtest-dev libgmock-dev) ;;
    wine) want+=(g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb fonts-nanum fonts-wine
                 imagemagick zip) ;;
    bench) want+=(gnuplot-nox time coreutils binutils) ;;
    *) echo "setup.sh: unknown part '$part'" >&2; exit 2 ;;
  esac
done

missing=()
for pkg in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
for pkg in "${missing[@]}"; do
  case "$pkg" in
    *:i386)
      dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386 ;;
  esac
done
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q >/dev/null
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
