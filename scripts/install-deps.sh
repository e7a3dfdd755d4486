#!/usr/bin/env bash
# Installs what building, running and testing need; does nothing when all is there.
set -euo pipefail

need=()
pkgs=(cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
      binutils-mingw-w64-x86-64 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine wine64 xvfb
      googletest locales fonts-wqy-zenhei imagemagick x11-utils xdotool fonts-wine fonts-liberation)
for p in "${pkgs[@]}" wine32:i386; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # 32-bit Wine lives in the i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync fails one index; the others still serve the install.
  $sudo apt-get update -qq || echo "apt-get update reported errors; installing from the lists it has" >&2
  install() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" "${need[@]}" >/dev/null; }
  # When one architecture's security index is missing, the two architectures' candidates differ
  # and 32-bit Wine cannot be resolved; the release's own versions always match.
  install || install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")"
fi

# Wine chooses the resource language from the locale: both must exist.
if ! locale -a 2>/dev/null | grep -qi '^en_US.utf8$' || ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  for l in 'en_US.UTF-8 UTF-8' 'zh_CN.UTF-8 UTF-8'; do
    grep -qx "$l" /etc/locale.gen 2>/dev/null || echo "$l" | $sudo tee -a /etc/locale.gen >/dev/null
  done
  $sudo locale-gen >/dev/null
fi
