#!/usr/bin/env bash
# Runs the real program on a display of the given depth, presses Save HTML
# Report with the keyboard and checks that the chart was drawn at the bits per
# pixel that display keeps its pixels in.
# Usage: chart-at-display-depth.sh PROGRAM DEPTH BITS FILE_SIZE
set -euo pipefail
program=$1 depth=$2 bits=$3 size=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# Settings of its own, none of the user's.
export XDG_CONFIG_HOME="$work"
# No browser: the page is only recorded as opened.
mkdir bin
printf '#!/bin/sh\necho "$@" >> "%s/opened"\n' "$work" > bin/xdg-open
chmod +x bin/xdg-open
# Two entries, 1 and 5 March 2006.
printf '\xe8\x03\x00\x00\xd6\x07\x03\x00\x03\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00' > data.steps
printf '\xd0\x07\x00\x00\xd6\x07\x03\x00\x00\x00\x05\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x00\x00' >> data.steps

PATH="$work/bin:$PATH" xvfb-run -a -s "-screen 0 1280x1024x$depth" bash -c '
  "$1" & pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid $pid --name "^Trekline from " | head -1)
  xdotool windowfocus --sync "$window"
  # From the date field: steps, Add, the list, Delete, Save HTML Report.
  xdotool key Tab Tab Tab Tab Tab space
  for _ in $(seq 100); do [ -s opened ] && break; sleep 0.1; done
  kill $pid' _ "$program"

[ -s opened ] || { echo "the report page was never opened" >&2; exit 1; }
actual_bits=$(od -An -tu2 -j28 -N2 data_steps.bmp | tr -d ' ')
actual_size=$(stat -c %s data_steps.bmp)
dimensions=$(identify -format '%w %h' data_steps.bmp)
echo "display depth $depth: $actual_bits bits per pixel, $actual_size bytes, $dimensions"
[ "$actual_bits" = "$bits" ] && [ "$actual_size" = "$size" ] && [ "$dimensions" = "500 300" ]
