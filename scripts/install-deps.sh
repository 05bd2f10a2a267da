#!/usr/bin/env bash
# Installs the Debian packages Trekline needs and that are missing.
# Usage: install-deps.sh build|test
set -euo pipefail

build=(cmake g++ make pkg-config libwxgtk3.2-dev wx3.2-headers libgtk-3-dev dpkg-dev
       libfreetype-dev libfontconfig-dev fonts-dejavu-core googletest libgtest-dev
       libexpat1-dev libsqlite3-dev nlohmann-json3-dev libarchive-dev)
test=(xvfb xauth xdotool x11-apps imagemagick chromium desktop-file-utils clang-14 libclang-rt-14-dev
      lintian appstream locales
      dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi python3-pyatspi)

wanted=("${build[@]}")
case "${1:-build}" in
  build) ;;
  test) wanted+=("${test[@]}") ;;
  *) echo "usage: $0 build|test" >&2; exit 2 ;;
esac

# The window tests read dates the German way too.
need_locale() {
  [ "${1:-build}" = test ] && ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'
}

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
if need_locale "${1:-build}"; then
  echo "Generating the de_DE.UTF-8 locale"
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
