#!/usr/bin/env bash
# Usage: program-start.sh PROGRAM MAKE_DIARY N
# Starts the real program on a diary of N entries and measures the time until
# its window is shown, median of five starts, and the program's peak memory;
# then the processor time a window left alone uses over 10 seconds, as ps
# reports it and in milliseconds from /proc.
set -euo pipefail
program=$(realpath "$1")
make_diary=$(realpath "$2")
entries=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$make_diary" "$entries"

times=()
peak=0
for round in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$program" &
    pid=$!
    xdotool search --sync --all --onlyvisible --pid "$pid" --name '^Trekline from ' >/dev/null
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
    hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    (( hwm > peak )) && peak=$hwm
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
awk -v n="$entries" -v ms="$median" -v kb="$peak" \
    'BEGIN { printf "%-28s %10u %12.1f %12.1f\n", "program: start to window", n, ms, kb / 1024 }'

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
    'BEGIN { printf "%-28s %10u %12.1f %12s   (ps -o time %s, then %s)\n", "program: idle CPU over 10 s", n, t * 1000 / hz, "-", a, b }'
