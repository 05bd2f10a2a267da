#!/usr/bin/env bash
# Builds the import benchmark and runs it on a generated Apple Health export
# (5 million step records, about 1 GB, and its zip), kept in BENCH_DIR between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
dir=${BENCH_DIR:-/var/tmp/trekline-import-bench}
mkdir -p "$dir"

scripts/install-deps.sh build
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKLINE_BENCH=ON -DTREKLINE_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target import_bench >/dev/null
"$build/bench/import_bench" "${BENCH_RECORDS:-5000000}" "$dir" "${BENCH_ROUNDS:-3}"
