#!/usr/bin/env bash
# What Windows reads from trekline.exe without running it: the program's icon
# as the file's one icon group, number 128, in every size the icon file has;
# the project's version; and one manifest, with the common controls,
# per-monitor DPI awareness and UTF-8 as the code page.
# Usage: program-resources.sh PROGRAM.exe WINDRES VERSION
set -uo pipefail
program=$1 windres=$2 version=$3
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

resources=$("$windres" -J coff -i "$program" -O rc 2>&1) || { echo "FAILED: $resources"; exit 1; }
# windres heads each resource with its type and name.
listed() { grep -A2 "^/\* Type: $1\$" <<< "$resources" | sed -n 's/^ *Name: \(.*\)\.  \*\/$/\1/p' | tr '\n' ' '; }

[ "$(listed 'group icon')" = "128 " ] || fail "icon groups: '$(listed 'group icon')', not 128 alone"
icons=$(grep -c '^/\* Type: icon$\|^/\* Name: [0-9]*\.  \*/$' <<< "$resources")
[ "$icons" -eq 7 ] || fail "$icons icon images, not the 7 sizes from 16 to 256"
grep -q "VALUE \"FileVersion\", \"$version\"" <<< "$resources" || fail "no FileVersion $version"
[ "$(listed 24)" = "1 " ] || fail "manifests: '$(listed 24)', not one, number 1"
for setting in Microsoft.Windows.Common-Controls 'PerMonitorV2, PerMonitor' \
               '<activeCodePage xmlns=[^>]*>UTF-8<' 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  grep -q -- "$setting" <<< "$resources" || fail "the manifest lacks $setting"
done

[ "$failures" -eq 0 ] && echo "icon 128, version $version, one manifest"
exit $((failures > 0))
