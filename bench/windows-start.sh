#!/usr/bin/env bash
# Usage: bench/windows-start.sh [N] [ROUNDS]
# Times the Windows program's start under Wine until its window is mapped,
# on a diary of N entries (100,000 unless given) and on an empty diary, one
# start of each in turn, ROUNDS times (15 unless given), so that both meet
# the same load on the machine; prints each start, then the medians and
# their ratio. The diaries
# are made and the map is watched by this machine's own build of the
# benches; the program is build-windows/trekline.exe. Needs DISPLAY (Xvfb)
# and Wine's prefix ready (scripts/wine-run.sh makes it); each start
# includes wine-run.sh's look at the prefix, the same for both diaries.
set -euo pipefail
cd "$(dirname "$0")/.."
entries=${1:-100000}
rounds=${2:-15}
build=${BENCH_BUILD:-build-bench}
program=$(realpath build-windows/trekline.exe)
wine_run=$(realpath scripts/wine-run.sh)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKLINE_BENCH=ON -DTREKLINE_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target make_diary start_to_map >/dev/null
start_to_map=$(realpath "$build/bench/start_to_map")
make_diary=$(realpath "$build/bench/make_diary")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/empty" "$work/full"
(cd "$work/full" && "$make_diary" "$entries")
# start_to_map waits for a window of the process it started: the script
# must become Wine itself, which it does with exec.
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$wine_run" "$program" > "$work/trekline"
chmod +x "$work/trekline"
# The first start of a Wine session also starts Wine's own services.
(cd "$work/empty" && "$start_to_map" 1 "$work/trekline" >/dev/null)

printf '%-34s %10s %12s %10s\n' "windows: start to window" entries "ms" "peak MB"
: > "$work/empty.ms"
: > "$work/full.ms"
for _ in $(seq "$rounds"); do
    for size in empty full; do
        if ! read -r ms mb < <(cd "$work/$size" && "$start_to_map" 1 "$work/trekline"); then
            echo "windows-start: a start on the $size diary did not map its window" >&2
            exit 1
        fi
        n=$([ "$size" = full ] && echo "$entries" || echo 0)
        printf '%-34s %10u %12.2f %10.1f\n' "windows: start to window" "$n" "$ms" "$mb"
        echo "$ms" >> "$work/$size.ms"
    done
done
median() { sort -g "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
empty_ms=$(median "$work/empty.ms")
full_ms=$(median "$work/full.ms")
printf '%-34s %10u %12.2f\n' "windows: median start, empty" 0 "$empty_ms"
printf '%-34s %10u %12.2f\n' "windows: median start, full" "$entries" "$full_ms"
awk -v f="$full_ms" -v e="$empty_ms" 'BEGIN { printf "%-34s %10s %12.2fx\n", "windows: full against empty", "", f / e }'
