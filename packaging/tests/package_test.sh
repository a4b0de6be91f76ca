#!/usr/bin/env bash
# package_test.sh <build directory> <version>: builds the Debian package, unpacks it into a
# scratch root and checks what a user gets: the files, the dependencies, a valid desktop
# entry, a manual page that renders, and an installed wizard that answers --help and
# --version without a display and shows its window on an X server.
set -uo pipefail

build=$1
version=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" >/dev/null 2>&1 || fail "$what"; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/obflash-package.XXXXXX")
xvfb_pid=
wizard_pid=
cleanup() {
  [[ -n $wizard_pid ]] && kill "$wizard_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# The package, built into the scratch directory so that `make package` is left alone.
(cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 || {
  cat "$scratch/cpack.log" >&2
  echo "FAIL: cpack -G DEB" >&2
  exit 1
}
deb=$(ls "$scratch"/out/obflash_"$version"_*.deb 2>/dev/null | head -n 1)
[[ -f $deb ]] || { echo "FAIL: no obflash_${version}_*.deb was built" >&2; exit 1; }
root=$scratch/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x $deb" >&2; exit 1; }

echo "== files"
for program in obflash obsim; do
  [[ -x $root/usr/bin/$program ]] || fail "usr/bin/$program is missing or not executable"
done
desktop=$root/usr/share/applications/obflash.desktop
[[ -f $desktop ]] || fail "the desktop entry is missing"
for side in 16 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${side}x${side}/apps/obflash.png
  file -b "$icon" 2>/dev/null | grep -q "^PNG image data, $side x $side," ||
    fail "no $side x $side PNG at ${icon#"$root"/}"
done
manual=$root/usr/share/man/man1/obflash.1.gz
[[ -f $manual ]] || fail "the manual page is missing"

echo "== control fields"
field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == obflash ]] || fail "Package is \"$(field Package)\""
[[ $(field Version) == "$version" ]] || fail "Version is \"$(field Version)\", not $version"
depends=$(field Depends)
for runtime in libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo libserialport0; do
  grep -Eq "(^|, )$runtime( |,|$)" <<<"$depends" || fail "Depends lacks $runtime: $depends"
done
description=$(dpkg-deb --info "$deb" | sed -n '/^ Description:/,/^ [A-Z][a-z-]*:/p')
[[ $(wc -l <<<"$description") -ge 3 ]] || fail "no long description: $description"

echo "== desktop entry"
validation=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $validation"
[[ -z $validation ]] || fail "desktop-file-validate says: $validation"
grep -qx "Exec=obflash" "$desktop" || fail "the desktop entry does not start obflash"
grep -qx "Icon=obflash" "$desktop" || fail "the desktop entry does not name the obflash icon"
grep -q "release $version " "$desktop" || fail "the desktop entry does not name release $version"

echo "== manual page"
groff_warnings=$(zcat "$manual" | groff -man -ww -z 2>&1)
[[ -z $groff_warnings ]] || fail "groff warns: $groff_warnings"
rendered=$(MANWIDTH=80 man -l -Tutf8 "$manual" 2>"$scratch/man.err" | col -b)
[[ -s $scratch/man.err ]] && fail "man -l says: $(cat "$scratch/man.err")"
for topic in "OBFLASH(1)" /COMn /FORCE /LOG OBFLASH_PORTS dialout obsim --help --version \
  "obflash $version"; do
  grep -qF -- "$topic" <<<"$rendered" || fail "the manual page does not mention $topic"
done

echo "== --help and --version without a display"
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
reported=$("${no_display[@]}" timeout 10 "$root/usr/bin/obflash" --version 2>&1) ||
  fail "obflash --version failed: $reported"
[[ $reported == "obflash $version" ]] || fail "obflash --version printed \"$reported\""
usage=$("${no_display[@]}" timeout 10 "$root/usr/bin/obflash" --help 2>&1) ||
  fail "obflash --help failed: $usage"
for topic in "usage: obflash" "/COM<n>" /FORCE /LOG OBFLASH_PORTS; do
  grep -qF -- "$topic" <<<"$usage" || fail "obflash --help does not mention $topic"
done
check "obsim --help" timeout 10 "$root/usr/bin/obsim" --help

echo "== the installed wizard shows its window"
# A private X server; it writes its display number once it accepts clients.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $scratch/display ]] && break
  sleep 0.1
done
display=:$(head -n 1 "$scratch/display")
if [[ $display == : ]]; then
  fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
else
  # No ports at all: the wizard waits on its first page and touches no serial device.
  DISPLAY=$display OBFLASH_PORTS= QT_QPA_PLATFORM=xcb "$root/usr/bin/obflash" \
    2>"$scratch/obflash.err" &
  wizard_pid=$!
  window=
  for _ in $(seq 200); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --pid "$wizard_pid" 2>/dev/null |
      head -n 1)
    [[ -n $window ]] || ! kill -0 "$wizard_pid" 2>/dev/null && break
    sleep 0.1
  done
  if [[ -z $window ]]; then
    fail "no window of the installed obflash appeared: $(cat "$scratch/obflash.err")"
  else
    title=$(DISPLAY=$display xdotool getwindowname "$window")
    [[ $title == "Orbeline OB7300 - Firmware v$version"* ]] || fail "the window is \"$title\""
  fi
  # Still running when asked to end: it did not give up on its own.
  if kill -TERM "$wizard_pid" 2>/dev/null; then
    wait "$wizard_pid"
    status=$?
    [[ $status -eq 143 ]] || fail "obflash ended with status $status, not by SIGTERM"
  else
    wait "$wizard_pid"
    fail "obflash ended by itself with status $?: $(cat "$scratch/obflash.err")"
  fi
  wizard_pid=
fi

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package checks passed: $(basename "$deb")"
