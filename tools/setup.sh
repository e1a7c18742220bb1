#!/usr/bin/env bash
# Installs what the build, the program and the tests need, then configures and builds.
# Usage: tools/setup.sh [build-dir]   (default: build)
#        tools/setup.sh --packages-only
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"

packages=(g++ cmake ninja-build pkg-config qtbase5-dev qttools5-dev qttools5-dev-tools
          qttranslations5-l10n libxlsxwriter-dev libusb-1.0-0-dev
          xvfb xauth x11-utils imagemagick fonts-wqy-microhei fonts-noto-cjk fonts-noto-cjk-extra fonts-dejavu-core poppler-utils python3-openpyxl
          g++-mingw-w64-x86-64-posix clang-14 libclang-rt-14-dev
          libqt5charts5-dev libqt5sql5-sqlite libqt5sql5-psql postgresql libminizip-dev libreoffice-calc-nogui
          umockdev libumockdev-dev
          dpkg-dev lintian desktop-file-utils appstream xdotool ccache)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

[ "$build" = "--packages-only" ] && exit 0
# CI turns warnings into errors.
werror=OFF; [ "${CI:-}" = true ] && werror=ON
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESTER_WERROR="$werror"
cmake --build "$build" -j"$(nproc)"
