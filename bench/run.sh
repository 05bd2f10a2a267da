#!/usr/bin/env bash
# Builds the benchmarks and prints one table: every command at every diary
# size, median time and peak memory. Window figures come from a real dialog
# under Xvfb; "program: start to window" from the real program.
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=(${BENCH_SIZES:-1000 10000 36500 100000})
build=build-bench

scripts/install-deps.sh test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKLINE_BENCH=ON -DTREKLINE_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target command_bench window_bench make_diary trekline >/dev/null

printf '%-28s %10s %12s %12s\n' command entries "median ms" "peak MB"
"$build/bench/command_bench" "${sizes[@]}" | tail -n +2
for n in "${sizes[@]}"; do
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/window_bench" "$n" 2>/dev/null
done
for n in "${sizes[@]}"; do
    xvfb-run -a -s "-screen 0 1280x1024x24" bench/program-start.sh "$build/trekline" "$build/bench/make_diary" "$n"
done
