#!/usr/bin/env bash
# Builds the benchmarks and prints one table: every command at every diary
# size, median time and peak memory, each beside its floor (the least the
# same work can cost) and the ratio. Window figures come from a real dialog
# under Xvfb; "program: ..." from the real program and a bare dialog.
#
# Every GTK client on Xvfb probes GLX and so loads Mesa's software renderer
# (about 54 MB); a desktop's driver is not that, so the probe is turned off
# for the program and its floors alike.
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=(${BENCH_SIZES:-1000 10000 36500 100000})
# Window and start rows also at a size no one's diary reaches, where what
# grows with the diary shows plainly; BENCH_LARGE_SIZES= leaves them out.
large=(${BENCH_LARGE_SIZES-1000000})
build=${BENCH_BUILD:-build-bench}
export GDK_GL=disable

scripts/install-deps.sh test
build_bench() {
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKLINE_BENCH=ON -DTREKLINE_TESTS=OFF >/dev/null
    cmake --build "$2" -j "$(nproc)" --target command_bench window_bench make_diary trekline \
        bare_dialog start_to_map >/dev/null
}
build_bench . "$build"
cmake --build "$build" -j "$(nproc)" --target entry_memory_bench overview_bench >/dev/null
# BENCH_BASE=<commit> times that commit's window and program too, each row
# first "before" (the commit) and then "after" (this tree), in turns, so that
# both meet the same load on the machine.
windows=("$build")
if [ -n "${BENCH_BASE:-}" ]; then
    rm -rf "$build-base" && mkdir -p "$build-base/src"
    git archive "$BENCH_BASE" | tar -x -C "$build-base/src"
    build_bench "$build-base/src" "$build-base"
    windows=("$build-base" "$build")
fi
label() {
    if [ "${#windows[@]}" -gt 1 ]; then
        if [ "$1" = "$build" ]; then echo "-- after"; else echo "-- before ($BENCH_BASE)"; fi
    fi
}

printf '%-34s %10s %12s %10s %10s %8s\n' command entries "median ms" "peak MB" "floor ms" ratio
"$build/bench/command_bench" "${sizes[@]}" | tail -n +2
"$build/bench/overview_bench" "${sizes[@]}" "${large[@]}" | tail -n +2
for n in "${sizes[@]}" "${large[@]}"; do
    for window in "${windows[@]}"; do
        label "$window"
        xvfb-run -a -s "-screen 0 1280x1024x24" "$window/bench/window_bench" "$n" 2>/dev/null
    done
done
for n in 0 "${sizes[@]}" "${large[@]}"; do
    for window in "${windows[@]}"; do
        label "$window"
        xvfb-run -a -s "-screen 0 1280x1024x24" bench/program-start.sh "$window/trekline" \
            "$window/bench/bare_dialog" "$window/bench/start_to_map" "$window/bench/make_diary" "$n"
    done
done
