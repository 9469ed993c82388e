#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing,
# then configures and builds into build/ (or $KANVO_BUILD_DIR). Sourced by run.sh and test.sh.
set -euo pipefail

KANVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KANVO_BUILD_DIR="${KANVO_BUILD_DIR:-$KANVO_ROOT/build}"

KANVO_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n qt6-tools-dev qt6-l10n-tools
  googletest libgtest-dev libbenchmark-dev
  fonts-wqy-microhei fonts-liberation2
  xvfb xauth imagemagick python3-pil python3-pdfminer poppler-utils
  clang libclang-rt-14-dev
  libfontconfig-dev desktop-file-utils appstream shared-mime-info
  libpugixml-dev zlib1g-dev
  dpkg-dev file
)

kanvo_install_packages() {
  local missing=()
  local pkg
  for pkg in "${KANVO_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# kanvo_build [extra cmake arguments...]
kanvo_build() {
  cmake -S "$KANVO_ROOT" -B "$KANVO_BUILD_DIR" "$@" >/dev/null
  cmake --build "$KANVO_BUILD_DIR" -j"$(nproc)"
}
