#!/usr/bin/env bash
# Usage: program-start.sh PROGRAM BARE_DIALOG START_TO_MAP MAKE_DIARY N
# Starts the real program on a diary of N entries and times each start until
# the X server maps its window, median of five, beside the floor: the bare
# dialog with the same controls, started the same way, and beside that
# dialog with N blank rows in its list. Peak memory of both a moment after
# the map. Then the processor time a window left alone uses over
# 10 seconds, as ps reports it and in milliseconds from /proc.
set -euo pipefail
program=$(realpath "$1")
bare=$(realpath "$2")
start_to_map=$(realpath "$3")
make_diary=$(realpath "$4")
entries=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$make_diary" "$entries"

read -r ms mb < <("$start_to_map" 5 "$program")
read -r floor_ms floor_mb < <("$start_to_map" 5 "$bare")
awk -v n="$entries" -v ms="$ms" -v mb="$mb" -v fms="$floor_ms" -v fmb="$floor_mb" 'BEGIN {
    printf "%-34s %10u %12.2f %10.1f %10.2f %8.2f\n", "program: start to window", n, ms, mb, fms, ms / fms
    printf "%-34s %10u %12s %10.1f %10.1f %8.2f\n", "program: peak MB at window", n, "-", mb, fmb, mb / fmb }'
# A second floor: the bare dialog with as many rows of a blank entry in its
# list and no diary read; what it adds to the first is what GTK's tree view
# alone costs for a list that long.
if [ "$entries" -gt 0 ]; then
    read -r rows_ms _ < <("$start_to_map" 5 "$bare" "$entries")
    awk -v n="$entries" -v ms="$ms" -v fms="$rows_ms" 'BEGIN {
        printf "%-34s %10u %12.2f %10s %10.2f %8.2f\n", "program: start, floor bare + rows", n, ms, "-", fms, ms / fms }'
fi

"$program" &
pid=$!
xdotool search --sync --all --onlyvisible --pid "$pid" --name '^Trekline from ' >/dev/null
sleep 1
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before=$(ticks)
ps_before=$(ps -o time= -p "$pid")
sleep 10
after=$(ticks)
ps_after=$(ps -o time= -p "$pid")
kill "$pid"
wait "$pid" 2>/dev/null || true
awk -v n="$entries" -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v a="$ps_before" -v b="$ps_after" \
    'BEGIN { printf "%-34s %10u %12.1f   (ps -o time %s, then %s)\n", "program: idle CPU ms over 10 s", n, t * 1000 / hz, a, b }'
