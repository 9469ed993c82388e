#!/usr/bin/env bash
# Builds the Debian package build/kanvo_<version>_amd64.deb (or in $KANVO_BUILD_DIR): installs
# what is missing, builds, then packs with CPack everything "cmake --install" puts in place.
#   scripts/package.sh [extra cmake arguments...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
kanvo_install_packages
kanvo_build "$@"
(cd "$KANVO_BUILD_DIR" && cpack -G DEB)
ls "$KANVO_BUILD_DIR"/kanvo_*.deb
