#!/usr/bin/env bash
# Renders the committed PNG icons from trekline.svg; run after changing the
# drawing (needs rsvg-convert from librsvg2-bin). The build never runs this.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" trekline.svg -o "trekline-$size.png"
done
