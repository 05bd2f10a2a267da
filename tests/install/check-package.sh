#!/usr/bin/env bash
# Builds the Debian package into a throwaway directory and holds it to
# Debian's checker and AppStream's validator: any error or warning fails,
# the informational tags that remain are printed for the log.
# Usage: check-package.sh <cpack> <build dir>
set -euo pipefail
cpack=$1
build=$2

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$cpack" --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; exit 1; }
deb=$(find "$out" -maxdepth 1 -name 'trekline_*.deb')
[ -n "$deb" ] || { echo "FAIL: cpack made no package" >&2; exit 1; }

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# lintian says that it would rather not run as root; it still checks.
lintian --info --display-info --fail-on error,warning "$deb" 2>/dev/null |
    tee "$out/lintian.log" || fail "lintian reports errors or warnings"

tree=$out/tree
dpkg-deb -x "$deb" "$tree"
metainfo=$tree/usr/share/metainfo/org.example.trekline.metainfo.xml
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli rejects $metainfo"

# What the hardening and Debian's strip leave in the program itself, which
# lintian reports only as information: no symbol table or compiler notes,
# relocations bound at start, the stack protector.
sections=$(readelf -S "$tree/usr/bin/trekline")
dynamic=$(readelf -d "$tree/usr/bin/trekline")
symbols=$(readelf -W --dyn-syms "$tree/usr/bin/trekline")
grep -qE ' \.(symtab|comment|note) ' <<<"$sections" && fail "the program is not stripped"
grep -q 'BIND_NOW' <<<"$dynamic" || fail "the program is not bound at start"
grep -q ' __stack_chk_fail@' <<<"$symbols" || fail "the program is built without the stack protector"

long=$(dpkg-deb -f "$deb" Description | awk 'length > 80')
[ -z "$long" ] || fail "description lines longer than 80 columns: $long"

[ "$failures" -eq 0 ] || exit 1
echo "package clean"
