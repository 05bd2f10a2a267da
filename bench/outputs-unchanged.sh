#!/usr/bin/env bash
# Checks that this tree writes what commit BASE wrote, byte for byte: the list
# texts, the charts at 16 and 32 bits, the page, the CSV export and data.steps
# after each command, for a few diaries in four zones (output_snapshot).
#   bench/outputs-unchanged.sh <commit>
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:?usage: bench/outputs-unchanged.sh <commit>}
out=${OUTPUTS_BUILD:-build-outputs}
scripts/install-deps.sh build

build() { # source directory, build directory
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKLINE_BENCH=ON \
        -DTREKLINE_TESTS=OFF >/dev/null
    cmake --build "$2" -j "$(nproc)" --target output_snapshot >/dev/null
}
rm -rf "$out/base-src" && mkdir -p "$out/base-src"
git archive "$base" | tar -x -C "$out/base-src"
# An older commit lacks the snapshot program: it gets this tree's.
if ! grep -q output_snapshot "$out/base-src/bench/CMakeLists.txt"; then
    cp bench/OutputSnapshot.cpp "$out/base-src/bench/"
    printf '\nadd_executable(output_snapshot OutputSnapshot.cpp)\ntarget_link_libraries(output_snapshot PRIVATE trekline_app)\n' \
        >>"$out/base-src/bench/CMakeLists.txt"
fi
build "$out/base-src" "$out/base"
build . "$out/this"

zones=("UTC0" "EST5EDT,M3.2.0,M11.1.0" "CET-1CEST,M3.5.0,M10.5.0/3"
       "<+1245>-12:45<+1345>,M9.5.0/2:45,M4.1.0/3:45")
status=0
for zone in "${zones[@]}"; do
    for tree in base this; do
        rm -rf "$out/snap-$tree" && mkdir "$out/snap-$tree"
        (cd "$out/snap-$tree" && TZ="$zone" "../$tree/bench/output_snapshot")
    done
    files=$(cd "$out/snap-this" && find . -type f | wc -l)
    if diff -r "$out/snap-base" "$out/snap-this" >/dev/null; then
        echo "$zone: $files files alike"
    else
        echo "$zone: outputs differ from $base:"
        diff -rq "$out/snap-base" "$out/snap-this" || true
        status=1
    fi
done
exit $status
