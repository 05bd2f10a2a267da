#!/usr/bin/env bash
# Installs the build into a throwaway DESTDIR, twice with different prefixes,
# and checks that a desktop finds everything Trekline ships: the program, a
# valid desktop entry naming it and its icon, the icon at every size, the
# help page where the program looks for it, the software-centre listing, the
# manual page and the copyright and changelog of the package.
# Usage: check-install-tree.sh <cmake> <build dir>
set -euo pipefail
cmake=$1
build=$2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
expect_file() {
    [ -f "$1" ] || fail "missing $1"
}

# Width and height from a PNG's IHDR chunk, which always follows the signature.
png_size() {
    local w h
    read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$1")
    echo "${w}x${h}"
}

check_prefix() {
    local prefix=$1
    local root=$dest$prefix
    DESTDIR=$dest "$cmake" --install "$build" --prefix "$prefix" >/dev/null

    [ -x "$root/bin/trekline" ] || fail "$root/bin/trekline is not an executable"
    local desktop=$root/share/applications/org.example.trekline.desktop
    expect_file "$desktop"
    if [ -f "$desktop" ]; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
        grep -qx 'Icon=trekline' "$desktop" || fail "desktop entry does not name the icon trekline"
        grep -qx 'TryExec=trekline' "$desktop" || fail "desktop entry does not try the program"
        # Started from the menu, the files go to the user's data directory,
        # not wherever the menu happens to run.
        grep -qx 'Exec=trekline --data-home' "$desktop" ||
            fail "desktop entry does not start trekline in its data directory"
    fi

    # The listing names the desktop entry it belongs to.
    local metainfo=$root/share/metainfo/org.example.trekline.metainfo.xml
    expect_file "$metainfo"
    if [ -f "$metainfo" ]; then
        appstreamcli validate --no-net "$metainfo" >/dev/null ||
            fail "appstreamcli rejects $metainfo"
        grep -qF '<launchable type="desktop-id">org.example.trekline.desktop</launchable>' \
            "$metainfo" || fail "metainfo does not launch the desktop entry"
    fi

    local man=$root/share/man/man1/trekline.1.gz
    expect_file "$man"
    if [ -f "$man" ]; then
        # Compressed without a name or time stamp, and free of roff mistakes.
        [ "$(od -An -tu1 -j3 -N1 "$man" | tr -d ' ')" = 0 ] || fail "$man keeps a file name"
        local page warnings
        page=$(zcat "$man" | LC_ALL=C.UTF-8 MANWIDTH=200 man -l - 2>/dev/null)
        warnings=$(zcat "$man" | LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l - 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man reports: $warnings"
        local option
        for option in --help --version --data-home XDG_DATA_HOME data.steps; do
            grep -qF -- "$option" <<<"$page" || fail "man page does not explain $option"
        done
    fi

    local doc=$root/share/doc/trekline
    expect_file "$doc/copyright"
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
        "$doc/copyright" 2>/dev/null || fail "copyright file is not machine-readable"
    expect_file "$doc/changelog.gz"
    if [ -f "$doc/changelog.gz" ]; then
        zcat "$doc/changelog.gz" >"$dest/changelog"
        [ "$(dpkg-parsechangelog -l "$dest/changelog" -S Version)" = "$version" ] ||
            fail "changelog does not describe version $version"
    fi

    local icons=$root/share/icons/hicolor
    expect_file "$icons/scalable/apps/trekline.svg"
    grep -q '<svg' "$icons/scalable/apps/trekline.svg" 2>/dev/null || fail "scalable icon is not SVG"
    local size png
    for size in 16 24 32 48 64 128 256; do
        png=$icons/${size}x${size}/apps/trekline.png
        expect_file "$png"
        [ -f "$png" ] && [ "$(png_size "$png")" = "${size}x${size}" ] ||
            fail "$png is not a ${size}x${size} PNG"
    done

    # The program finds its page from its own directory (ui/HelpPage.h).
    local help=$root/bin/../share/trekline/help/index.html
    expect_file "$help"
    local name
    for name in data.steps data.tmp data_steps.bmp out.html XDG_DATA_HOME; do
        grep -qF "$name" "$help" 2>/dev/null || fail "help page does not explain $name"
    done
    grep -qi '<script' "$help" 2>/dev/null && fail "help page has a script"

    local unexpected
    unexpected=$(cd "$root" && find . -type f | sort | grep -v -e '^./bin/trekline$' \
        -e '^./share/applications/org.example.trekline.desktop$' -e '^./share/icons/hicolor/' \
        -e '^./share/trekline/help/index.html$' -e '^./share/metainfo/org.example.trekline.metainfo.xml$' \
        -e '^./share/man/man1/trekline.1.gz$' -e '^./share/doc/trekline/copyright$' \
        -e '^./share/doc/trekline/changelog.gz$' -e '^./share/lintian/overrides/trekline$' || true)
    [ -z "$unexpected" ] || fail "unexpected files installed: $unexpected"
}

check_prefix /usr
check_prefix /opt/trekline

[ "$failures" -eq 0 ] || exit 1
echo "install tree complete"
