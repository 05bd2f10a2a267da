#!/usr/bin/env bash
# Installs the Debian tools for Trekline's Windows (x86_64) build and
# cross-builds, from Debian's own source packages, the static libraries it
# links: wxWidgets (MSW), expat, libpng, FreeType, SQLite, libarchive,
# GoogleTest and nlohmann-json. Prints the prefix they are in on its last line.
#
# The prefix is kept in ${XDG_CACHE_HOME:-~/.cache}/trekline/windows-<key>,
# outside any clone, where <key> digests the source package versions, this
# script (less its comments) and the cross toolchain: a change to any of them
# builds anew (25 to 35 minutes on two shared cores), otherwise the script is
# done in seconds.
#
# Usage: scripts/windows-deps.sh
#   TREKLINE_WINDOWS_JOBS=1   builds with one job instead of two
set -euo pipefail

target=x86_64-w64-mingw32
sources=(wxwidgets3.2 expat libpng1.6 freetype sqlite3 libarchive googletest nlohmann-json3)
tools=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
       wine wine64 nsis cmake make gcc pkg-config dpkg-dev xz-utils tcl wx-common zstd
       xvfb xauth)
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/trekline"
script="$(readlink -f "${BASH_SOURCE[0]}")"

# The machine is shared: never more than two jobs.
jobs="${TREKLINE_WINDOWS_JOBS:-2}"
[ "$jobs" -ge 1 ] 2>/dev/null || jobs=2
[ "$jobs" -le 2 ] || jobs=2

say() { printf 'windows-deps: %s\n' "$*" >&2; }
die() { say "$*"; exit 1; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 "$@"
}

install_tools() {
  local missing=() p
  for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    say "installing: ${missing[*]}"
    apt_get update -qq
    apt_get install -y -qq --no-install-recommends "${missing[@]}" >&2
  fi
  # The win32 thread model has no std::thread or std::mutex; the posix one does.
  local tool current
  for tool in gcc g++; do
    current="$(update-alternatives --query "$target-$tool" 2>/dev/null | awk '/^Value:/ {print $2}')"
    if [ "$current" != "/usr/bin/$target-$tool-posix" ]; then
      $sudo update-alternatives --set "$target-$tool" "/usr/bin/$target-$tool-posix" >&2
    fi
  done
}

# Turns the machine's binary entries for its own release (deb822 or one-line)
# into source entries, leaving other vendors' archives alone: they may
# publish no sources, and a missing index fails apt-get update.
source_entries() {
  local codename f
  codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  [ -n "$codename" ] || die "no VERSION_CODENAME in /etc/os-release"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    awk -v codename="$codename" '
      function flush(   i, types, suites, wanted) {
        if (n == 0) return
        types = ""; suites = ""; wanted = 1
        for (i = 1; i <= n; i++) {
          if (tolower(line[i]) ~ /^types:/) types = line[i]
          if (tolower(line[i]) ~ /^suites:/) suites = line[i]
          if (tolower(line[i]) ~ /^enabled: *no/) wanted = 0
        }
        if (wanted && types ~ /[ :]deb( |$)/ && types !~ /deb-src/ &&
            suites ~ ("[ :]" codename "(-[a-z]+)?( |$)")) {
          for (i = 1; i <= n; i++) {
            if (tolower(line[i]) ~ /^types:/) print "Types: deb-src"
            else if (line[i] !~ /^#/) print line[i]
          }
          print ""
        }
        n = 0
      }
      /^[ \t]*$/ { flush(); next }
      { line[++n] = $0 }
      END { flush() }' "$f" > "$tmp_sources_822"
    cat "$tmp_sources_822" >> "$tmp_sources_822.all"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] || continue
    awk -v codename="$codename" '
      /^deb[ \t]/ {
        rest = $0; sub(/^deb[ \t]+/, "", rest)
        opts = ""
        if (rest ~ /^\[/) { opts = substr(rest, 1, index(rest, "]")); rest = substr(rest, index(rest, "]") + 1) }
        split(rest, field, /[ \t]+/)
        i = (field[1] == "") ? 2 : 1
        if (field[i + 1] ~ ("^" codename "(-[a-z]+)?$")) print "deb-src " opts " " rest
      }' "$f" >> "$tmp_sources_list.all"
  done
}

ensure_deb_src() {
  local updated=""
  if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then
    tmp_sources_822="$(mktemp)"; tmp_sources_list="$(mktemp)"
    : > "$tmp_sources_822.all"; : > "$tmp_sources_list.all"
    source_entries
    [ -s "$tmp_sources_822.all" ] || [ -s "$tmp_sources_list.all" ] ||
      die "found no Debian entry in /etc/apt to add a deb-src entry for"
    if [ -s "$tmp_sources_822.all" ]; then
      say "adding /etc/apt/sources.list.d/trekline-deb-src.sources"
      $sudo install -m 644 "$tmp_sources_822.all" /etc/apt/sources.list.d/trekline-deb-src.sources
    fi
    if [ -s "$tmp_sources_list.all" ]; then
      say "adding /etc/apt/sources.list.d/trekline-deb-src.list"
      $sudo install -m 644 "$tmp_sources_list.all" /etc/apt/sources.list.d/trekline-deb-src.list
    fi
    rm -f "$tmp_sources_822" "$tmp_sources_list" "$tmp_sources_822.all" "$tmp_sources_list.all"
    updated=yes
  fi
  # The entry may be there from an earlier run while its index is not.
  if [ -n "$updated" ] || ! apt-cache showsrc --only-source "${sources[0]}" 2>/dev/null | grep -q '^Package:'; then
    apt_get update -qq
  fi
}

# Versions given, newest first, each once, in Debian's ordering.
newest_first() {
  local sorted=() v i
  for v in "$@"; do
    i=${#sorted[@]}
    sorted+=("$v")
    while [ "$i" -gt 0 ] && dpkg --compare-versions "${sorted[i-1]}" lt "$v"; do
      sorted[i]="${sorted[i-1]}"
      i=$((i - 1))
    done
    sorted[i]="$v"
  done
  [ ${#sorted[@]} -eq 0 ] || printf '%s\n' "${sorted[@]}" | awk '!seen[$0]++'
}

# Whether a .dsc and every file it lists are in its directory.
dsc_complete() {
  [ -f "$1" ] || return 1
  local name
  for name in $(awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on {print $3}' "$1"); do
    [ -f "$(dirname "$1")/$name" ] || return 1
  done
}

# Downloads each source package into the cache, once. The newest version
# first; a mirror may not serve the newest security upload yet, and then an
# older one of the same release is taken. Sets dsc[NAME] to the .dsc file.
declare -A dsc
fetch_sources() {
  local dir="$cache_root/sources" p v newest file out=""
  local -A versions=()
  mkdir -p "$dir"
  while read -r p v; do
    versions[$p]+="$v "
  done < <(apt-cache showsrc --only-source "${sources[@]}" |
           awk '/^Package:/ {p = $2} /^Version:/ {print p, $2}')
  for p in "${sources[@]}"; do
    newest=""
    # shellcheck disable=SC2086 # one word a version
    for v in $(newest_first ${versions[$p]:-}); do
      [ -n "$newest" ] || newest="$v"
      file="$dir/${p}_${v#*:}.dsc"
      if dsc_complete "$file" ||
         { out="$(cd "$dir" && apt-get source --download-only --only-source -qq "$p=$v" 2>&1)" &&
           dsc_complete "$file"; }; then
        dsc[$p]="$file"
        [ "$v" = "$newest" ] || say "$p $newest is not served here; using $v"
        break
      fi
    done
    [ -n "${dsc[$p]:-}" ] || { printf '%s\n' "$out" >&2; die "no source of $p"; }
  done
}

# What the libraries are made from: each .dsc names its tarballs by hash.
key_inputs() {
  local p
  for p in "${sources[@]}"; do
    printf 'source %s %s\n' "$(basename "${dsc[$p]}")" "$(sha256sum < "${dsc[$p]}" | cut -c1-64)"
  done
  # Comments and blank lines make no other library.
  printf 'script %s\n' "$(grep -Ev '^[[:space:]]*(#|$)' "$script" | sha256sum | cut -c1-64)"
  printf 'compiler %s\n' "$("$target-g++-posix" --version | head -n1)"
  dpkg-query -W g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
    binutils-mingw-w64-x86-64 libz-mingw-w64-dev | sed 's/^/package /'
}

# Runs one step of a library's build with its output in the log, and says how long it took.
step() {
  local name="$1"; shift
  local start=$SECONDS
  if ! "$@" >> "$log" 2>&1; then
    tail -n 40 "$log" >&2
    die "$name failed; the whole log is $log"
  fi
  say "  $name: $((SECONDS - start)) s"
}

unpack() {
  local p="$1" into="$2"
  rm -rf "$into"
  dpkg-source -x "${dsc[$p]}" "$into"
}

build_expat() {
  # Debian's tarball is the git tree, without configure: the library is built with CMake.
  step unpack unpack expat "$work/expat"
  # Debian's security fixes test "#if XML_DTD == 1", as autotools' config.h
  # defines it; CMake's template defines XML_DTD empty, which fails to compile.
  local template="$work/expat/expat/expat_config.h.cmake"
  sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$template"
  grep -q '^#cmakedefine XML_DTD 1$' "$template" || die "XML_DTD is no longer in $template"
  step configure cmake -S "$work/expat/expat" -B "$work/expat-build" "${cmake_cross[@]}" \
    -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF \
    -DEXPAT_BUILD_PKGCONFIG=ON
  step build cmake --build "$work/expat-build" -j "$jobs"
  step install cmake --install "$work/expat-build"
}

build_libpng() {
  step unpack unpack libpng1.6 "$work/libpng"
  cd "$work/libpng"
  step configure ./configure "${autoconf_cross[@]}"
  step build make -j "$jobs"
  step install make install
}

build_freetype() {
  step unpack unpack freetype "$work/freetype"
  cd "$work/freetype"
  # The chart's labels need TrueType outlines only; zlib reads compressed fonts.
  step configure ./configure "${autoconf_cross[@]}" --with-zlib=yes --with-bzip2=no \
    --with-png=no --with-harfbuzz=no --with-brotli=no
  step build make -j "$jobs"
  step install make install
}

build_sqlite() {
  step unpack unpack sqlite3 "$work/sqlite"
  cd "$work/sqlite"
  # Debian's tarball is the whole tree: the amalgamation is generated by host
  # tools (BCC) and tclsh. config_TARGET_EXEEXT=.exe makes it build the Windows
  # file layer, and BEXE= keeps the host tools from getting an .exe suffix.
  # Debian's cross patch builds the parser generator for the host only when
  # CROSS_BUILDING=yes, as its own rules say; otherwise lemon is a Windows .exe.
  step configure env config_TARGET_EXEEXT=.exe BCC=gcc ./configure "${autoconf_cross[@]}" \
    --disable-tcl --disable-readline --disable-editline --enable-threadsafe
  step build make -j "$jobs" BEXE= CROSS_BUILDING=yes libsqlite3.la
  step install make BEXE= CROSS_BUILDING=yes install
}

build_libarchive() {
  step unpack unpack libarchive "$work/libarchive"
  # Zip archives with deflate are all the imports read: every other codec,
  # crypto, iconv, xattr and ACL support is left out, and so are the tools.
  # Without a regex library named as none, 3.6.2 insists on libgcc for PCRE.
  # zlib is named as the static archive: found as libz.dll.a, the checks
  # would choose ZLIB_DLL, whose dllimport calls the static link cannot
  # resolve. Whether zlib wants ZLIB_WINAPI is a check that runs a program,
  # which CMake cannot do here (3.25 crashes trying); x86_64 has one calling
  # convention, so the answer is no.
  step configure cmake -S "$work/libarchive" -B "$work/libarchive-build" "${cmake_cross[@]}" \
    -DENABLE_ZLIB=ON -DENABLE_BZip2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_LZ4=OFF \
    -DENABLE_LZO=OFF -DENABLE_LIBB2=OFF -DENABLE_LIBXML2=OFF -DENABLE_EXPAT=OFF \
    -DENABLE_PCREPOSIX=OFF -DENABLE_LIBGCC=OFF -DPOSIX_REGEX_LIB=NONE -DENABLE_CNG=OFF -DENABLE_OPENSSL=OFF \
    -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_ICONV=OFF -DENABLE_XATTR=OFF \
    -DENABLE_ACL=OFF -DENABLE_TAR=OFF -DENABLE_CPIO=OFF -DENABLE_CAT=OFF -DENABLE_TEST=OFF \
    -DENABLE_WERROR=OFF \
    -DZLIB_LIBRARY="/usr/$target/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$target/include" \
    -DZLIB_WINAPI=0 -DZLIB_WINAPI_WITH_LIB="/usr/$target/lib/libz.a"
  step build cmake --build "$work/libarchive-build" -j "$jobs" --target archive_static
  # Its install rule wants the DLL too: the static library goes in by hand, as
  # libarchive.a so that -larchive finds it. On Windows its header declares
  # every function dllimport unless LIBARCHIVE_STATIC is defined. Its checks
  # look for "Bcrypt.h", which MinGW spells in lower case, so it draws its
  # random numbers and digests from CryptoAPI (advapi32, linked by default)
  # and needs no -lbcrypt.
  install -D -m 644 "$work/libarchive-build/libarchive/libarchive_static.a" "$prefix/lib/libarchive.a"
  install -m 644 "$work/libarchive/libarchive/archive.h" "$work/libarchive/libarchive/archive_entry.h" \
    "$prefix/include/"
  local version
  version="$(sed -En 's/^#define[[:space:]]+ARCHIVE_VERSION_ONLY_STRING[[:space:]]+"(.*)"/\1/p' "$work/libarchive/libarchive/archive.h")"
  [ -n "$version" ] || die "no ARCHIVE_VERSION_ONLY_STRING in archive.h"
  mkdir -p "$prefix/lib/pkgconfig"
  cat > "$prefix/lib/pkgconfig/libarchive.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: libarchive
Description: library that can create and read several streaming archive formats (static, zip and zlib only)
Version: $version
Requires: zlib
Cflags: -I\${includedir} -DLIBARCHIVE_STATIC
Libs: -L\${libdir} -larchive
EOF
}

build_googletest() {
  step unpack unpack googletest "$work/googletest"
  step configure cmake -S "$work/googletest" -B "$work/googletest-build" "${cmake_cross[@]}" \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
  step build cmake --build "$work/googletest-build" -j "$jobs"
  step install cmake --install "$work/googletest-build"
}

build_nlohmann_json() {
  step unpack unpack nlohmann-json3 "$work/json"
  step configure cmake -S "$work/json" -B "$work/json-build" "${cmake_cross[@]}" \
    -DJSON_BuildTests=OFF -DJSON_Install=ON
  step install cmake --install "$work/json-build"
}

build_wxwidgets() {
  step unpack unpack wxwidgets3.2 "$work/wx"
  mkdir -p "$work/wx/build-msw"
  cd "$work/wx/build-msw"
  # The dfsg tarball has no bundled zlib, libpng, expat, libjpeg or libtiff:
  # zlib is Debian's MinGW build, libpng and expat the ones built above, and
  # the program needs no JPEG, TIFF or LZMA. Trekline uses the base, core, xml
  # and xrc libraries; what it does not use is left out to shorten the build.
  # Kept: dialogs, XRC, date picker, spin button, list and dataview controls,
  # check box, text control, static text and box, buttons, menus, the file
  # dialog, the registry config, file drop, timers, gauge and progress dialog,
  # combo control, file system watcher, standard paths and accessibility.
  # Its configure refuses options it does not know, --enable-static among them.
  step configure ../configure "${autoconf_host[@]}" --disable-shared --with-msw --enable-unicode \
    --without-subdirs --disable-tests --enable-accessibility \
    --with-zlib=sys --with-libpng=sys --with-expat=sys \
    --without-libjpeg --without-libtiff --without-liblzma --without-regex \
    --without-opengl --without-libcurl --without-winhttp --without-nanosvg \
    --without-libmspack --without-sdl \
    --disable-html --disable-htmlhelp --disable-mshtmlhelp --disable-webview \
    --disable-webviewie --disable-webviewedge --disable-stc --disable-richtext --disable-aui \
    --disable-propgrid --disable-ribbon --disable-mediactrl --disable-grid \
    --disable-webrequest --disable-sockets --disable-protocols --disable-url \
    --disable-fs_inet --disable-ipc --disable-debugreport --disable-postscript \
    --disable-printarch --disable-svg --disable-sound --disable-joystick \
    --disable-docview --disable-mdi --disable-mdidoc --disable-secretstore \
    --disable-spellcheck --disable-dialupman --disable-wizarddlg --disable-splash \
    --disable-tipdlg --disable-bannerwindow --disable-animatectrl --disable-richtooltip \
    --disable-taskbaricon --disable-notifmsg
  step build make -j "$jobs"
  step install make install
}

# The prefix is static only, and CMake's pkg_check_modules reads Libs and
# Requires alone: the private parts are what a static link needs, so they
# are folded in.
fold_private_pkgconfig() {
  local pc
  for pc in "$prefix"/lib/pkgconfig/*.pc "$prefix"/share/pkgconfig/*.pc; do
    [ -e "$pc" ] || continue
    awk '
      /^Libs:/ { libs = $0; next }
      /^Libs\.private:/ { sub(/^Libs\.private:[ \t]*/, ""); libs_private = $0; next }
      /^Requires:/ { requires = $0; next }
      /^Requires\.private:/ { sub(/^Requires\.private:[ \t]*/, ""); requires_private = $0; next }
      { print }
      END {
        if (requires != "" || requires_private != "") {
          if (requires == "") requires = "Requires:"
          if (requires_private != "") requires = requires (requires ~ /: *$/ ? " " : ", ") requires_private
          print requires
        }
        if (libs_private != "") libs = libs " " libs_private
        if (libs != "") print libs
      }' "$pc" > "$pc.new"
    mv "$pc.new" "$pc"
  done
}

build_all() {
  local stage="$cache_root/windows-$key.partial"
  work="$stage/work"
  log="$stage/build.log"
  rm -rf "$stage" "$prefix"
  mkdir -p "$work" "$stage/prefix"
  # The tools write the prefix's path into wx-config, the .pc files and CMake's
  # package files: they are given the final path, which points into the
  # staging directory until everything is in, and only then is the staging
  # prefix renamed into place. A build that is stopped leaves a link, never a
  # prefix that looks complete.
  ln -s "$stage/prefix" "$prefix"
  : > "$log"
  say "building into $prefix (log: $log)"

  # The build shares two cores with other work: it yields to it.
  [ "$(nice)" -ge 10 ] || renice -n 10 -p $$ > /dev/null

  export CC="$target-gcc-posix" CXX="$target-g++-posix"
  export CFLAGS="-O2" CXXFLAGS="-O2"
  export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
  export PKG_CONFIG=pkg-config
  export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig:$prefix/share/pkgconfig:/usr/$target/lib/pkgconfig"
  export PKG_CONFIG_SYSTEM_INCLUDE_PATH="/usr/$target/include" PKG_CONFIG_SYSTEM_LIBRARY_PATH="/usr/$target/lib"
  unset PKG_CONFIG_PATH PKG_CONFIG_SYSROOT_DIR
  autoconf_host=(--host="$target" --build="$(gcc -dumpmachine)" --prefix="$prefix")
  autoconf_cross=("${autoconf_host[@]}" --disable-shared --enable-static)
  cmake_cross=(-DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64
               -DCMAKE_C_COMPILER="$CC" -DCMAKE_CXX_COMPILER="$CXX"
               -DCMAKE_RC_COMPILER="$target-windres"
               -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/$target"
               -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY
               -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY
               -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
               -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF -G "Unix Makefiles")

  local lib total_start=$SECONDS lib_start
  for lib in expat libpng freetype sqlite libarchive googletest nlohmann_json wxwidgets; do
    say "$lib"
    lib_start=$SECONDS
    (set -e; "build_$lib")
    say "  $lib total: $((SECONDS - lib_start)) s"
  done
  fold_private_pkgconfig
  key_inputs > "$stage/prefix/trekline-key.txt"
  if grep -rlIF --exclude=trekline-key.txt "$stage" "$stage/prefix" >&2; then
    die "the files above name the staging directory instead of $prefix"
  fi

  rm "$prefix"
  mv "$stage/prefix" "$prefix"
  rm -rf "$stage"
  # Written last: its presence is what tells a later run the prefix is whole.
  touch "$prefix/.complete"
  say "all libraries: $((SECONDS - total_start)) s; $(du -sh "$prefix" | cut -f1) in $prefix"
}

# Staging directories of builds that were stopped, of any key: a build still
# running holds its lock.
remove_stopped_builds() {
  local lock partial
  for lock in "$cache_root"/windows-*.lock; do
    [ -e "$lock" ] || continue
    partial="${lock%.lock}.partial"
    if (flock -n 9 || exit 1; rm -rf "$partial"; [ -L "${lock%.lock}" ] && rm -f "${lock%.lock}"
        rm -f "$lock") 9< "$lock"; then
      :
    fi
  done
}

start=$SECONDS
install_tools
ensure_deb_src
fetch_sources
key="$(key_inputs | sha256sum | cut -c1-16)"
prefix="$cache_root/windows-$key"
if [ ! -f "$prefix/.complete" ]; then
  mkdir -p "$cache_root"
  # One build of a key at a time; a second run waits and then finds it done.
  exec 9> "$cache_root/windows-$key.lock"
  flock 9
  [ -f "$prefix/.complete" ] || build_all
  remove_stopped_builds
fi
say "ready in $((SECONDS - start)) s"
printf '%s\n' "$prefix"
