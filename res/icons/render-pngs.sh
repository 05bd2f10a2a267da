#!/usr/bin/env bash
# Renders the committed PNG icons and Windows icon file from trekline.svg; run
# after changing the drawing (needs rsvg-convert from librsvg2-bin and
# ImageMagick). The build never runs this.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" trekline.svg -o "trekline-$size.png"
done
# Windows takes the same sizes in one icon file (ImageMagick's convert stores
# 256 as PNG, which Windows reads since Vista, the rest as bitmaps).
convert trekline-16.png trekline-24.png trekline-32.png trekline-48.png trekline-64.png \
    trekline-128.png trekline-256.png trekline.ico
