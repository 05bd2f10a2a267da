#!/usr/bin/env bash
# The Windows program under Wine gives byte for byte what the Linux program
# gives on the same inputs: the diary after each import (every sample export
# and CSV file, hostile ones included, and an import that replaces), the
# exported CSV, the summary and the version, with the same exit status and no
# scratch file left behind. Then two imports started at once both land.
# Usage: same-as-linux.sh LINUX_PROGRAM WINDOWS_PROGRAM SAMPLES_DIR...
set -uo pipefail
linux=$(readlink -f "$1") windows=$(readlink -f "$2")
shift 2
wine_run=$(readlink -f "$(dirname "$0")/../../scripts/wine-run.sh")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TZ=UTC0 LC_ALL=C.UTF-8
failures=0

fail() { echo "DIFFERS: $*"; failures=$((failures + 1)); }

# Runs the same command in two directories seeded alike, one per program, and
# compares what each leaves: status, standard output, the diary, the names.
compare() {
  local name=$1 seed=$2
  shift 2
  local dir side
  for side in linux windows; do
    dir="$work/$name/$side"
    mkdir -p "$dir"
    [ -n "$seed" ] && cp "$seed" "$dir/data.steps"
    (
      cd "$dir" || exit
      if [ "$side" = linux ]; then "$linux" "$@"; else "$wine_run" "$windows" "$@"; fi \
        > ../"$side".out 2> ../"$side".err
      echo $? > ../"$side".status
      ls -A > ../"$side".names
    )
  done
  dir="$work/$name"
  local part
  for part in status out names; do
    cmp -s "$dir/linux.$part" "$dir/windows.$part" ||
      fail "$name: $part ($(head -c 200 "$dir/linux.$part" | tr '\n' ' ') / $(head -c 200 "$dir/windows.$part" | tr '\n' ' '))"
  done
  if [ -f "$dir/linux/data.steps" ] || [ -f "$dir/windows/data.steps" ]; then
    cmp -s "$dir/linux/data.steps" "$dir/windows/data.steps" || fail "$name: data.steps"
  fi
}

# A diary to import into: a CSV file's entries, as the Linux program writes them.
seed_dir="$work/seed"
mkdir -p "$seed_dir"
printf 'date,steps\n2024-01-01,1000\n2024-01-02,2000\n2024-02-29,2900\n' > "$seed_dir/seed.csv"
(cd "$seed_dir" && "$linux" --import seed.csv > /dev/null) || fail "seed import"
seed="$seed_dir/data.steps"

compare version "" --version
compare summary "$seed" --summary --json --as-of 2024-03-01
compare summary-text "$seed" --summary --as-of 2024-03-01 --goal 1500
compare export "$seed" --export-csv -
compare refused-date "$seed" --summary --as-of 2025-02-30
for samples in "$@"; do
  for sample in "$(readlink -f "$samples")"/*; do
    base=$(basename "$sample")
    compare "import-$base" "$seed" --import "$sample"
    compare "replace-$base" "$seed" --import --replace "$sample"
    compare "fresh-$base" "" --import "$sample"
  done
done

# Two imports at once into one diary, each of its own days: both land.
both="$work/both"
mkdir -p "$both"
for half in 1 2; do
  {
    echo "date,steps"
    for day in $(seq 1 28); do printf '20%02d-02-%02d,%d\n' $((10 + half)) "$day" "$day"; done
  } > "$both/half$half.csv"
done
(
  cd "$both" || exit
  "$wine_run" "$windows" --import half1.csv > one.out 2>&1 &
  "$wine_run" "$windows" --import half2.csv > two.out 2>&1 &
  wait
)
landed=$(cd "$both" && "$linux" --export-csv - | tail -n +2 | wc -l)
[ "$landed" -eq 56 ] || fail "two imports at once: $landed of 56 entries landed ($(cat "$both"/*.out | tr '\n' ' '))"
[ "$(cd "$both" && ls -A | tr '\n' ' ')" = "data.steps half1.csv half2.csv one.out two.out " ] ||
  fail "two imports at once left: $(cd "$both" && ls -A | tr '\n' ' ')"

# An import killed at any moment (SIGKILL to the process Wine runs it in ends
# it as abruptly as TerminateProcess) leaves the diary it found or the one it
# makes, whole, and the next change works.
killed="$work/killed"
mkdir -p "$killed"
python3 -c '
import datetime
first = datetime.date(1200, 1, 1)
print("date,steps")
for day in range(1000000):
    print(f"{first + datetime.timedelta(days=day)},{day % 20000 + 1}")
' > "$killed/many.csv"
printf 'date,steps\n2030-01-01,3000\n' > "$seed_dir/later.csv"
(cd "$killed" && cp "$seed" data.steps && "$linux" --import many.csv > /dev/null && mv data.steps imported.steps)
for delay in 0.05 0.1 0.15 0.2 0.25 0.3 0.35 0.4 0.45 0.5; do
  (
    cd "$killed" || exit
    cp "$seed" data.steps
    "$wine_run" "$windows" --import many.csv > said 2>&1 &
    sleep "$delay"
    # The Windows process itself, not the Wine client that waits for it.
    pkill -KILL -f 'trekline.exe --import many.csv'
    wait
    if cmp -s data.steps "$seed"; then
      grep -q added said || echo old >> kills
    elif cmp -s data.steps imported.steps; then
      grep -q added said || echo new >> kills
    else
      echo "DIFFERS: an import killed after $delay s left a diary neither old nor new"
      exit 1
    fi
    # What it left is a scratch file under its own name, which the next
    # change steps round and no one reads as the diary.
    left=$(ls -A | grep -v -x -e data.steps -e many.csv -e imported.steps -e kills -e said |
           grep -v '^data\.tmp' | tr '\n' ' ')
    [ -z "$left" ] || { echo "DIFFERS: after a killed import, left: $left"; exit 1; }
    "$wine_run" "$windows" --import "$seed_dir/later.csv" > /dev/null 2>&1 ||
      { echo "DIFFERS: the change after a killed import failed"; exit 1; }
  ) || failures=$((failures + 1))
done
echo "imports killed midway: $(grep -c old "$killed/kills") left the old diary," \
  "$(grep -c new "$killed/kills") the new one, of 10"

[ "$failures" -eq 0 ] && echo "same on both: $(find "$work" -name linux.status | wc -l) commands"
exit $((failures > 0))
