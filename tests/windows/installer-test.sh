#!/usr/bin/env bash
# The Windows installer, as a user meets it, in a Wine prefix made afresh:
# a silent install puts the program, its font, its help page, a Start-menu
# shortcut and an uninstall entry in place; the installed program, driven by
# real keys, adds an entry, writes the same report page and picture as the
# Linux program and hands the page to the opener; a silent uninstall takes
# away what was installed and leaves the diary and the settings.
# Usage: installer-test.sh SETUP_EXE LINUX_PROGRAM HELP_PAGE FONT VERSION [CHECK.exe ARGS...]
# A CHECK program, when given, runs under Wine in the test's prefix while the
# installed program's window is open, with the installed trekline.exe as its
# last argument; it fails the test by failing.
# Needs DISPLAY (an X server without a window manager will do).
set -uo pipefail
setup=$(readlink -f "$1") linux=$(readlink -f "$2") help_page=$(readlink -f "$3")
font=$(readlink -f "$4") version=$5
shift 5
window_check=("$@")

# The test's own prefix and server, in its build directory: the installer
# must meet a Windows that has never seen Trekline.
work="$PWD/installer-test"
rm -rf "$work" && mkdir -p "$work"
export WINEPREFIX="$work/wine-prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
# Wine takes the local time zone from the host's.
export TZ=UTC0
unset XDG_CONFIG_HOME
program_pid=
failures=0
end() {
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2> /dev/null
  wineserver -k < /dev/null > /dev/null 2>&1
  wineserver -w < /dev/null > /dev/null 2>&1
  # The prefix takes some 700 MB: kept only to look into a failure.
  [ "$failures" -eq 0 ] && rm -rf "$WINEPREFIX"
}
trap end EXIT

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
stop() { fail "$*"; exit 1; }
now() { date +%s.%N; }
seconds_since() { echo "$(now) $1" | awk '{ printf "%.2f", $1 - $2 }'; }

# Polls COMMAND until it succeeds, for at most SECONDS.
wait_for() {
  local seconds=$1 tries
  shift
  for ((tries = seconds * 10; tries > 0; tries--)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Wine's service processes keep whatever output they start with, and the
# test runner would wait on it: they get none.
quiet_wine() { wine "$@" < /dev/null > /dev/null 2>&1; }
# A Windows environment variable of the prefix, as a Linux path.
windows_folder() { winepath -u "$(wine cmd /c echo "%$1%" < /dev/null 2> /dev/null | tr -d '\r')"; }

[ -n "${DISPLAY:-}" ] || stop "no DISPLAY: Wine's first process needs one"
mkdir -p "$WINEPREFIX"
started=$(now)
wineserver -p < /dev/null > /dev/null 2>&1
quiet_wine wineboot -i || stop "wineboot could not make the prefix"
# A crash is told in the program's output, not in Wine's crash dialog, which
# would keep the process, and the program file, for as long as it is open.
quiet_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f ||
  stop "could not turn Wine's crash dialog off"
# Windows gives .html pages to the browser; Wine registers the type only
# with its own HTML engine, which the prefix is made without. Its browser
# bridge (winebrowser) stands in, and hands the page to the host's xdg-open.
quiet_wine reg add 'HKLM\Software\Classes\.html' /ve /d htmlfile /f ||
  stop "could not register .html pages with Wine's browser bridge"
echo "fresh prefix: $(seconds_since "$started") s"

# --- Silent install ---------------------------------------------------------
started=$(now)
quiet_wine "$setup" /S || stop "the silent install ended with status $?"
echo "silent install: $(seconds_since "$started") s ($(stat -c %s "$setup") bytes of installer)"

local_app_data=$(windows_folder LOCALAPPDATA)
menu="$(windows_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
installed="$local_app_data/Programs/Trekline"
[ -x "$installed/trekline.exe" ] || stop "no trekline.exe in $installed ($(ls -A "$installed" 2>&1))"
cmp -s "$installed/DejaVuSans.ttf" "$font" || fail "DejaVuSans.ttf is not installed beside the program"
cmp -s "$installed/help/index.html" "$help_page" || fail "the help page is not installed as help\\index.html"
[ -f "$installed/uninstall.exe" ] || fail "no uninstaller"
said=$(wine "$installed/trekline.exe" --version < /dev/null 2>&1 | tr -d '\r')
[[ "$said" == *"$version"* ]] || fail "the installed program says '$said' for --version, not $version"

shortcut="$menu/Trekline.lnk"
if [ -f "$shortcut" ]; then
  # A shell link keeps its target and arguments as UTF-16 text.
  link_text=$(iconv -f UTF-16LE -t UTF-8 -c < "$shortcut" | tr -c '[:print:]' '\n')
  grep -qi 'Programs\\Trekline\\trekline.exe' <<< "$link_text" || fail "the shortcut does not start the installed program"
  grep -qx -e '--data-home' <<< "$link_text" || fail "the shortcut does not pass --data-home"
else
  fail "no Start-menu shortcut at $shortcut"
fi

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trekline'
entry=$(wine reg query "$uninstall_key" < /dev/null 2> /dev/null | tr -d '\r')
windows_installed=$(winepath -w "$installed" 2> /dev/null)
# Each value of the entry as `reg query` prints it: name, type, data.
value() { awk -v name="$1" '$1 == name { $1 = ""; $2 = ""; sub(/^  /, ""); print }' <<< "$entry"; }
[ "$(value DisplayName)" = Trekline ] || fail "uninstall entry: DisplayName '$(value DisplayName)'"
[ "$(value DisplayVersion)" = "$version" ] || fail "uninstall entry: DisplayVersion '$(value DisplayVersion)'"
[ -n "$(value Publisher)" ] || fail "uninstall entry: no Publisher"
[ "$(value DisplayIcon)" = "$windows_installed\\trekline.exe,0" ] || fail "uninstall entry: DisplayIcon '$(value DisplayIcon)'"
[ "$(value InstallLocation)" = "$windows_installed" ] || fail "uninstall entry: InstallLocation '$(value InstallLocation)'"
[ "$(value UninstallString)" = "\"$windows_installed\\uninstall.exe\"" ] ||
  fail "uninstall entry: UninstallString '$(value UninstallString)'"
[ "$(value QuietUninstallString)" = "\"$windows_installed\\uninstall.exe\" /S" ] ||
  fail "uninstall entry: QuietUninstallString '$(value QuietUninstallString)'"
[ "$(value NoModify)" = 0x1 ] && [ "$(value NoRepair)" = 0x1 ] || fail "uninstall entry: NoModify, NoRepair not 1"
estimated=$(($(value EstimatedSize)))
actual=$(du -sk --apparent-size "$installed" | cut -f1)
((estimated > 0 && estimated >= actual * 9 / 10 && estimated <= actual * 11 / 10)) ||
  fail "uninstall entry: EstimatedSize $estimated KB for $actual KB installed"

# --- The installed program, driven by keys -----------------------------------
# A small diary, made by the Linux program, in a directory of its own.
diary="$work/diary"
mkdir -p "$diary"
printf 'date,steps\n2024-01-01,1000\n2024-01-02,2000\n2024-02-29,2900\n' > "$diary/days.csv"
(cd "$diary" && "$linux" --import days.csv > /dev/null) || stop "the Linux program could not make the diary"
rm "$diary/days.csv"
size_before=$(stat -c %s "$diary/data.steps")

# An opener in place of the browser, first on the PATH of both programs.
opener_bin="$work/opener"
mkdir -p "$opener_bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "$(dirname "$0")/opened"\n' > "$opener_bin/xdg-open"
chmod +x "$opener_bin/xdg-open"
opened="$opener_bin/opened"
: > "$opened"

# Finds the visible Trekline window of the process, focuses it and prints its id.
focus_window() {
  local pid=$1 window
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --name '^Trekline' | head -1)
  [ -n "$window" ] || return 1
  xdotool windowfocus --sync "$window" && echo "$window"
}

grown() { [ "$(stat -c %s "$diary/data.steps")" -eq $((size_before + 24)) ]; }
reported() { [ -s "$1/out.html" ] && [ -s "$1/data_steps.bmp" ] && [ -s "$opened" ]; }
gone() { ! kill -0 "$1" 2> /dev/null; }

(cd "$diary" && PATH="$opener_bin:$PATH" exec wine "$installed/trekline.exe" < /dev/null > "$work/program.out" 2>&1) &
program_pid=$!
window=$(focus_window "$program_pid") || stop "the installed program's window did not show ($(cat "$work/program.out"))"
# Keys reach the dialog only once Wine has made it the active window, a
# moment after it shows: a report asked for until one is written tells when.
report_written() { xdotool key alt+s && wait_for 5 reported "$diary"; }
for tries in 1 2 3 4 0; do
  [ "$tries" -eq 0 ] && fail "Alt+S wrote no report in a freshly started program"
  report_written && break
done
rm -f "$diary/out.html" "$diary/data_steps.bmp"
: > "$opened"
# Alt+N selects the field's count, which the one typed replaces.
xdotool key alt+n && xdotool type --delay 50 4321 && xdotool key alt+a
wait_for 20 grown || fail "data.steps did not grow by one record after Alt+N, 4321, Alt+A"
xdotool key alt+s
wait_for 20 reported "$diary" || fail "Alt+S did not write out.html and data_steps.bmp and open the page"
if [ "${#window_check[@]}" -gt 0 ]; then
  wine "${window_check[@]}" "$installed/trekline.exe" < /dev/null > "$work/window-check.out" 2>&1 ||
    fail "the check of the open window failed: $(cat "$work/window-check.out")"
fi
gone "$program_pid" && fail "the program ended before it was closed: $(cat "$work/program.out")"
xdotool windowfocus --sync "$window" && xdotool key alt+F4
if ! wait_for 20 gone "$program_pid"; then
  fail "the program did not close on Alt+F4 ($(cat "$work/program.out"))"
  # Ended, so that the uninstall is still tried.
  kill -KILL "$program_pid"
  wait_for 10 gone "$program_pid"
fi
program_pid=
grep -q 'Unhandled' "$work/program.out" && fail "the program crashed: $(head -3 "$work/program.out")"

# The new record holds the count typed, and only one was added.
added=$(cd "$diary" && "$linux" --export-csv - | tr -d '\r' | grep -c ',4321$')
[ "$added" -eq 1 ] ||
  fail "the diary has $added entries of 4321 steps, not 1; it ends: $(cd "$diary" && "$linux" --export-csv - | tail -2 | tr '\r\n' '  ')"
# The page reached the opener, and it names the page written.
[ "$(grep -c . "$opened")" -eq 1 ] || fail "the opener was asked $(grep -c . "$opened") times: $(cat "$opened")"
opened_page=$(head -1 "$opened" | sed 's|^file://||')
[ "$(readlink -f "$opened_page")" = "$(readlink -f "$diary/out.html")" ] ||
  fail "the opener was given '$(head -1 "$opened")', not $diary/out.html"
[ "$(identify -format '%w %h' "$diary/data_steps.bmp" 2>&1)" = "500 300" ] ||
  fail "data_steps.bmp is not a 500x300 bitmap: $(identify "$diary/data_steps.bmp" 2>&1)"

# The Linux program's page for the same diary, by the same key, with the
# settings it starts with.
linux_side="$work/linux"
mkdir -p "$linux_side/config"
cp "$diary/data.steps" "$linux_side/"
: > "$opened"
(cd "$linux_side" && LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$linux_side/config" PATH="$opener_bin:$PATH" exec "$linux" \
  < /dev/null > "$work/linux.out" 2>&1) &
linux_pid=$!
if focus_window "$linux_pid" > /dev/null; then
  xdotool key alt+s
  wait_for 20 reported "$linux_side" || fail "the Linux program wrote no page ($(cat "$work/linux.out"))"
else
  fail "the Linux program's window did not show ($(cat "$work/linux.out"))"
fi
kill "$linux_pid" 2> /dev/null
wait "$linux_pid" 2> /dev/null
cmp "$diary/out.html" "$linux_side/out.html" || fail "out.html differs from the Linux program's"
# Drawn on the same display, so at the same depth, the picture is the Linux
# one to the byte.
bits() { od -An -tu2 -j28 -N2 "$1" | tr -d ' '; }
cmp "$diary/data_steps.bmp" "$linux_side/data_steps.bmp" ||
  fail "data_steps.bmp ($(bits "$diary/data_steps.bmp") bits per pixel) differs from the Linux program's ($(bits "$linux_side/data_steps.bmp"))"

# --- Silent uninstall --------------------------------------------------------
# A diary in the per-user data folder, as the shortcut's program keeps it.
printf 'date,steps\n2024-03-01,3100\n' > "$work/later.csv"
quiet_wine "$installed/trekline.exe" --data-home --import "$(winepath -w "$work/later.csv")"
data_home="$local_app_data/Trekline"
[ -s "$data_home/data.steps" ] || fail "no diary in $data_home after --data-home --import"
cp "$data_home/data.steps" "$work/data-home.steps"
settings_key='HKCU\Software\Trekline'
quiet_wine reg query "$settings_key" && had_settings=yes || had_settings=no

uninstalled() { [ ! -e "$installed" ] || [ -z "$(ls -A "$installed")" ]; }
started=$(now)
# The uninstaller runs on from a copy of itself, so the files are watched.
quiet_wine "$installed/uninstall.exe" /S || fail "the silent uninstall ended with status $?"
wait_for 30 uninstalled || fail "after uninstalling, $installed still holds: $(ls -A "$installed")"
echo "silent uninstall: $(seconds_since "$started") s"
[ ! -e "$shortcut" ] || fail "the shortcut is still there after uninstalling"
quiet_wine reg query "$uninstall_key" && fail "the uninstall entry is still there after uninstalling"
cmp -s "$data_home/data.steps" "$work/data-home.steps" || fail "uninstalling changed or removed the diary in $data_home"
if [ "$had_settings" = yes ]; then
  quiet_wine reg query "$settings_key" || fail "uninstalling removed the settings ($settings_key)"
fi

[ "$failures" -eq 0 ] && echo "installed, used and uninstalled (settings key before uninstalling: $had_settings)"
exit $((failures > 0))
