#!/usr/bin/env bash
# Builds the import benchmarks and runs them on generated files kept in
# BENCH_DIR between runs: an Apple Health export (5 million step records,
# about 1 GB, and its zip), then hostile exports (deep nesting, millions of
# names or JSON fields, a 16 TiB hole of NUL bytes); a CSV file of a million
# rows into a diary of 36,500 entries, then the hostile CSV files
# (BENCH_HOSTILE=no to skip the hostile files of both).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
dir=${BENCH_DIR:-/var/tmp/trekline-import-bench}
mkdir -p "$dir"

scripts/install-deps.sh build
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKLINE_BENCH=ON -DTREKLINE_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target import_bench csv_import_bench >/dev/null
"$build/bench/import_bench" "${BENCH_RECORDS:-5000000}" "$dir" "${BENCH_ROUNDS:-3}" \
    "$( [ "${BENCH_HOSTILE:-yes}" = no ] && echo no-hostile || echo hostile )"
"$build/bench/csv_import_bench" "$dir" "${BENCH_CSV_ROWS:-1000000}" 36500 "${BENCH_ROUNDS:-5}" \
    "$( [ "${BENCH_HOSTILE:-yes}" = no ] && echo no-hostile || echo hostile )"
