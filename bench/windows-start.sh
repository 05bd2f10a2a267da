#!/usr/bin/env bash
# Usage: bench/windows-start.sh [N] [ROUNDS]
# Times the Windows program's start under Wine until its window is mapped,
# on a diary of N entries (100,000 unless given) and on an empty diary, in
# turns within one run so that both meet the same load on the machine:
# median of ROUNDS starts each (3 unless given), three turns. The diaries
# are made and the map is watched by this machine's own build of the
# benches; the program is build-windows/trekline.exe. Needs DISPLAY (Xvfb)
# and Wine's prefix ready (scripts/wine-run.sh makes it); each start
# includes wine-run.sh's look at the prefix, the same for both diaries.
set -euo pipefail
cd "$(dirname "$0")/.."
entries=${1:-100000}
rounds=${2:-3}
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

printf '%-34s %10s %12s %10s\n' "windows: start to window" entries "median ms" "peak MB"
for _ in 1 2 3; do
    for size in empty full; do
        read -r ms mb < <(cd "$work/$size" && "$start_to_map" "$rounds" "$work/trekline")
        n=$([ "$size" = full ] && echo "$entries" || echo 0)
        printf '%-34s %10u %12.2f %10.1f\n' "windows: start to window" "$n" "$ms" "$mb"
    done
done
