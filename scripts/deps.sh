#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the benchmarks need,
# and three.js, which the pages' 3-D viewer runs on.
set -euo pipefail
# clang and its runtime libraries serve the sanitizer build and the fuzz targets.
packages=(g++ cmake ninja-build qt6-base-dev libgl1-mesa-dev libgtest-dev libgmock-dev libbenchmark-dev
          libjs-three chromium nodejs
          qt6-svg-dev              # the plot, the level diagram and the spectrum saved as SVG
          libtinygltf-dev          # glTF files of the surfaces
          openbabel assimp-utils   # the tests read the cube, glTF and STL files with them
          dpkg-dev file   # cpack -G DEB finds the shared libraries the package depends on
          fonts-stix      # packaging/make-help-docs.sh prints the help note with them
          lintian appstream  # the package tests check the .deb and its metainfo with them
          librsvg2-bin    # packaging/make-icons.sh renders the PNG icons from the SVG
          python3-numpy python3-scipy  # the numpy/scipy speed peer the benchmarks are compared with
          clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Playwright, at the version the lock file pins, drives Debian's Chromium in the
# browser tests. Debian's nodejs comes without npm; other builds bring their own.
command -v npm >/dev/null || apt-get install -y -qq --no-install-recommends npm
viewer="$(dirname "$0")/../tests/viewer"
npm ls --prefix "$viewer" >/dev/null 2>&1 || npm ci --prefix "$viewer" --no-audit --no-fund
