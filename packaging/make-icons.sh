#!/usr/bin/env bash
# Renders the icon packaging/vantrel.svg into the PNG sizes of the hicolor
# theme: packaging/icons/vantrel-SIZE.png for 48, 64 and 128 px, and
# packaging/vantrel.png at 256 px (also the window icon).
#
# Needs Debian's librsvg2-bin. The PNGs are committed, so an ordinary build
# needs no SVG renderer and every build packs the same pixels; run this
# again after a change to the SVG.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
svg=$root/packaging/vantrel.svg
if ! command -v rsvg-convert >/dev/null; then
  echo "make-icons: rsvg-convert is needed (apt-get install librsvg2-bin)" >&2
  exit 1
fi
mkdir -p "$root/packaging/icons"
for size in 48 64 128; do
  rsvg-convert --width "$size" --height "$size" "$svg" -o "$root/packaging/icons/vantrel-$size.png"
done
rsvg-convert --width 256 --height 256 "$svg" -o "$root/packaging/vantrel.png"
