#!/usr/bin/env bash
# Set up and run Pellucar on Debian 12.
#   ./pellucar.sh play   install what is missing, build, build the market database, start the game
#   ./pellucar.sh test   install what is missing, build everything and run every test
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-play}
packages=(build-essential cmake pkg-config qt6-base-dev qt6-charts-dev qt6-qpa-plugins libgl-dev
          libsqlite3-dev googletest libgtest-dev libbenchmark-dev fonts-dejavu-core fonts-liberation2
          clang libclang-rt-14-dev clang-format-14 desktop-file-utils appstream
          xvfb dbus at-spi2-core python3-pyatspi poppler-utils)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

case "$mode" in
  play)
    install_missing
    cmake --preset release -DPELLUCAR_BUILD_TESTS=OFF
    cmake --build --preset release -j"$(nproc)"
    exec ./build/release/bin/pellucar
    ;;
  test)
    install_missing
    # Every source file keeps the project's layout (.clang-format).
    find src tools tests \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format-14 --dry-run --Werror
    cmake --preset ci
    cmake --build --preset ci -j"$(nproc)"
    export QT_QPA_PLATFORM=offscreen
    ctest --preset ci -j"$(nproc)"
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
