#!/usr/bin/env bash
# Installs everything the build and the tests need, with apt-get.
# Quick when everything is already there: it only checks package states.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config locales
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev
  clang libclang-rt-14-dev
  mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-tools
  wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick
  libreoffice-writer-nogui libreoffice-dev libreoffice-script-provider-python fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
have_locale() { locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; }
[ ${#missing[@]} -eq 0 ] && have_locale && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
[ ${#missing[@]} -gt 0 ] && echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Wine takes its ANSI code page from the locale, so zh_CN.UTF-8 must exist.
if ! have_locale; then
  "${sudo_cmd[@]}" sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
