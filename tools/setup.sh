#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tarlo and builds it.
#   tools/setup.sh run    install what is missing, build, start the editor
#   tools/setup.sh test   install what is missing, build, run every test headless
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
packages=(
  cmake g++ make pkg-config git
  qt6-base-dev qt6-tools-dev qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
  libqt6opengl6-dev qt6-svg-dev libqt6svg6 libgl1-mesa-dev libx11-dev
  libqscintilla2-qt6-dev libcurl4-openssl-dev libssl-dev
  googletest libgtest-dev libbenchmark-dev
  openssh-server openssh-client
  python3 python3-pyftpdlib python3-openssl tidy highlight poppler-utils fontconfig fonts-liberation
  xvfb xauth openbox x11-utils xdotool desktop-file-utils appstream-util
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Chromium refuses its sandbox to root; only then is it switched off.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
jobs=$(nproc)

case "$mode" in
  run)
    cmake --preset dev >/dev/null
    cmake --build --preset dev -j"$jobs" --target tarlo
    exec ./build/dev/bin/tarlo
    ;;
  test)
    cmake --preset test >/dev/null
    cmake --build --preset test -j"$jobs"
    export QT_QPA_PLATFORM=offscreen
    ctest --preset test -j1
    ;;
  *)
    echo "usage: tools/setup.sh run|test" >&2
    exit 2
    ;;
esac
