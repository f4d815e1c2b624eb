#!/usr/bin/env bash
# Cross-builds bmp2spr.exe and tests the real program under Wine: its PE
# header and imports, the ZIP package, and runs in prepared folders, each
# reading back and pressing the message box and checking every byte written.
# Prints one line per check and ends with "N passed, M failed".
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh wine

build=$root/build-win
exe=$build/bmp2spr.exe
helper=$build/tests/wine/winhelper.exe
cases_dir=$build/wine-cases
mkdir -p "$build"

# Two runs at once would share the prefix and the case folders.
exec 9>"$build/wine-tests.lock"
flock -w 300 9 || { echo "test-windows.sh: another run holds $build/wine-tests.lock" >&2; exit 1; }

jobs=$(nproc 2>/dev/null || echo 2)
timeout 300 cmake -S . -B "$build" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
timeout 300 cmake --build "$build" -j "$jobs" --target bmp2spr winhelper >/dev/null

export WINEPREFIX=$build/wineprefix WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko: their installers would ask in a window.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

xvfb_pid=
cleanup() {
  timeout 20 wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1: $2"; }
flat() { printf '%s' "$1" | tr '\n' ' '; }

# --- the executable itself -------------------------------------------------

# Little-endian unsigned field of the given width at the given offset.
field() { od -An -tu"$3" -j"$2" -N"$3" "$1" | tr -d ' '; }

check_pe() {
  local pe size imports dlls dll name
  pe=$(field "$exe" 60 4)
  [ "$(od -An -c -j"$pe" -N4 "$exe" | tr -d ' ')" = 'PE\0\0' ] || { echo "no PE signature"; return 1; }
  [ "$(field "$exe" $((pe + 4)) 2)" = 332 ] || { echo "machine is not i386 (0x14c)"; return 1; }
  [ "$(field "$exe" $((pe + 24)) 2)" = 267 ] || { echo "optional header is not PE32 (0x10b)"; return 1; }
  [ "$(field "$exe" $((pe + 24 + 68)) 2)" = 2 ] || { echo "subsystem is not Windows GUI (2)"; return 1; }
  size=$(stat -c %s "$exe")
  [ "$size" -le 65536 ] || { echo "$size bytes, more than 64 KiB"; return 1; }
  # Read once: grep -q leaving a pipe early would fail the pipeline.
  imports=$(i686-w64-mingw32-objdump -p "$exe") || { echo "objdump cannot read it"; return 1; }
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$imports")
  [ -n "$dlls" ] || { echo "no imports read"; return 1; }
  for dll in $dlls; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | msvcrt.dll) ;;
      *) echo "imports $dll"; return 1 ;;
    esac
  done
  for name in FindFirstFileA FindNextFileA FindClose MessageBoxW MessageBoxA MultiByteToWideChar \
    MoveFileExA; do
    grep -qw "$name" <<<"$imports" || { echo "does not import $name"; return 1; }
  done
  echo "$size bytes; imports $(flat "$dlls")"
}

if report=$(check_pe); then
  pass "exe: PE32 i386 GUI, $report"
else
  fail "exe" "$report"
fi

# --- the ZIP package --------------------------------------------------------

check_package() {
  local zip unpacked=$build/package-check
  rm -f "$build"/bmp2spr-*-win32.zip
  timeout 120 cmake --build "$build" --target package >/dev/null || { echo "package target failed"; return 1; }
  zip=$(ls "$build"/bmp2spr-*-win32.zip 2>/dev/null) || { echo "no ZIP made"; return 1; }
  rm -rf "$unpacked" && mkdir -p "$unpacked"
  [ "$(cd "$unpacked" && cmake -E tar tf "$zip" | sort | tr '\n' ' ')" = 'README.txt bmp2spr.exe ' ] ||
    { echo "ZIP holds other than README.txt and bmp2spr.exe"; return 1; }
  (cd "$unpacked" && cmake -E tar xf "$zip") || { echo "ZIP does not unpack"; return 1; }
  cmp -s "$unpacked/bmp2spr.exe" "$exe" || { echo "packaged bmp2spr.exe differs from the build"; return 1; }
  # Notepad-friendly: UTF-8 mark first and CRLF line ends.
  [ "$(od -An -tx1 -N3 "$unpacked/README.txt" | tr -d ' ')" = efbbbf ] || { echo "README.txt has no UTF-8 mark"; return 1; }
  ! grep -q $'[^\r]$' "$unpacked/README.txt" || { echo "README.txt has bare LF line ends"; return 1; }
  grep -q 'bmp2spr.exe' "$unpacked/README.txt" || { echo "README.txt does not name the program"; return 1; }
  echo "$(basename "$zip")"
}

if report=$(check_package); then
  pass "package: $report holds bmp2spr.exe and README.txt"
else
  fail "package" "$report"
fi

# --- Wine: prefix, display, font ------------------------------------------

# The display comes first: Wine's desktop process, started with the prefix,
# keeps the display it found, and without one no box would ever show.
rm -f "$build/xvfb.display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$build/xvfb.display" 2>"$build/xvfb.log" 9>&- &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$build/xvfb.display" ] && break
  sleep 0.1
done
[ -s "$build/xvfb.display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$build/xvfb.display")

# One server for every run below, instead of one started per program; it
# lingers at most 30 s after its last client, should this script be killed.
# Neither it nor Xvfb may hold the lock. A server left by a killed run goes
# first: its desktop would be on a display now gone.
mkdir -p "$WINEPREFIX"
timeout 20 wineserver -k 2>/dev/null || true
timeout 20 wineserver -p30 9>&- || { echo "wineserver did not start" >&2; exit 1; }
if [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
  timeout 180 wine wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
fi

# The Korean font, the dialog fonts mapped onto it, Wine's own title bars
# (there is no window manager) and no crash dialog to wait on.
cp /usr/share/fonts/truetype/nanum/NanumGothic.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
printf '%s\r\n' 'REGEDIT4' '' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
  '"MS Shell Dlg"="NanumGothic"' '"MS Shell Dlg 2"="NanumGothic"' '"Tahoma"="NanumGothic"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
  >"$build/wine-settings.reg"
timeout 60 wine regedit /S "$build/wine-settings.reg" || { echo "regedit failed" >&2; exit 1; }

# --- Wine: the runs ---------------------------------------------------------

caption='[VEK] BMP -> SPR 변환툴'

# Writes size deterministic bytes to file: every byte value first (CR, LF and
# ^Z would betray a text-mode stream), then pseudo-random ones from the seed.
make_bytes() {
  perl -e 'my ($seed, $n) = @ARGV; srand($seed);
           my $s = join "", map { chr } 0 .. 255;
           $s .= chr(int rand 256) while length $s < $n;
           print substr($s, 0, $n)' "$1" "$2" >"$3"
}

# The SPR image of a source, computed here on its own.
expected_spr() {
  perl -0777 -e 'binmode STDIN; binmode STDOUT; local $/; my $b = <STDIN> // "";
                 print "GXXBKI", $b ^ ("\xA7" x length $b)' <"$1"
}

setup_none() { echo notes >notes.txt; make_bytes 1 300 picture.png; echo x >bmp.txt; }
setup_three() { make_bytes 2 1 a.bmp; make_bytes 3 1300 b.bmp; make_bytes 4 150000 c.bmp; }
setup_capitals() { make_bytes 5 700 PHOTO.BMP; }
setup_directory() { mkdir x.bmp; make_bytes 6 40 x.bmp/inner.bmp; make_bytes 7 90 y.bmp; }
setup_short_name() { make_bytes 8 64 .bmp; make_bytes 9 65 a.bmp; }
setup_existing_target() { make_bytes 10 100 old.bmp; make_bytes 11 5000 old.spr; }
setup_empty_source() { : >empty.bmp; }
setup_alias() { make_bytes 12 333 abc.bmpspr; make_bytes 13 20 d.bmp; }
setup_alias_case() { make_bytes 14 333 xyz.BMPSPR; make_bytes 15 20 d.bmp; }

# name|setup|files converted, as source>target|names FindFirstFileA must yield
# first (so that a case cannot pass for want of Wine listing them)|screenshot
cases=(
  "no BMP|setup_none|||"
  "three BMPs|setup_three|a.bmp>a.spr b.bmp>b.spr c.bmp>c.spr||messagebox.png"
  "capital .BMP|setup_capitals|PHOTO.BMP>PHOTO.spr||"
  "directory x.bmp passed over|setup_directory|y.bmp>y.spr|x.bmp|"
  "4-character .bmp passed over|setup_short_name|a.bmp>a.spr|.bmp|"
  "existing target replaced|setup_existing_target|old.bmp>old.spr||"
  "empty source|setup_empty_source|empty.bmp>empty.spr||"
  "8.3 alias abc.bmpspr passed over|setup_alias|d.bmp>d.spr|abc.bmpspr|messagebox-none.png"
  "8.3 alias xyz.BMPSPR passed over|setup_alias_case|d.bmp>d.spr|xyz.BMPSPR|"
)

# Runs bmp2spr.exe in dir; reads the box into $dir.box (taking a screenshot
# when named) and presses OK; leaves the exit status in $dir.status.
run_program() {
  local dir=$1 shot=$2 pid rc=0
  (cd "$dir" && exec timeout 60 wine "$exe") >"$dir.out" 2>&1 &
  pid=$!
  if [ -n "$shot" ]; then
    timeout 60 wine "$helper" box 20000 keep >"$dir.box" 2>>"$dir.out" || rc=$?
    if [ "$rc" -eq 0 ]; then
      take_screenshot "$dir.box" "$build/$shot" || rc=3
      timeout 60 wine "$helper" press 10000 2>>"$dir.out" || rc=$?
    fi
  else
    timeout 60 wine "$helper" box 20000 >"$dir.box" 2>>"$dir.out" || rc=$?
  fi
  [ "$rc" -eq 0 ] || kill "$pid" 2>/dev/null || true
  local status=0
  wait "$pid" || status=$?
  echo "$status" >"$dir.status"
  return "$rc"
}

# The whole screen, and the box alone from the rectangle the helper read.
take_screenshot() {
  local x y w h
  read -r x y w h < <(sed -n 's/^rect=//p' "$1")
  [ -n "$h" ] || return 1
  timeout 30 import -window root "${2%.png}-screen.png" || return 1
  timeout 30 convert "${2%.png}-screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$2"
}

run_case() {
  local name=$1 setup=$2 converted=$3 listed=$4 shot=$5
  local dir=$cases_dir/case$6 before=$cases_dir/case$6.before pair src dst count entry
  rm -rf "$dir" "$before" "$dir".*
  mkdir -p "$dir"
  (cd "$dir" && "$setup")
  cp -a "$dir" "$before"

  local names
  if [ -n "$listed" ]; then
    names=$(cd "$dir" && timeout 60 wine "$helper" find '*.bmp' | cut -f1) ||
      { echo "the helper could not list *.bmp"; return 1; }
  fi
  for entry in $listed; do
    grep -qxF -- "$entry" <<<"$names" ||
      { echo "Wine does not list $entry for *.bmp, so the case proves nothing"; return 1; }
  done

  run_program "$dir" "$shot" || { echo "no message box read and pressed (helper status $?)"; return 1; }

  count=$(wc -w <<<"$converted")
  local want
  if [ "$count" -eq 0 ]; then
    want=$(printf 'caption=%s\ntext=%s\nbuttons=1\nok=1' "$caption" '변환된 파일이 없습니다.')
  else
    want=$(printf 'caption=%s\ntext=%s\nbuttons=1\nok=1' "$caption" "$count 개의 파일이 변환되었습니다.")
  fi
  local got
  got=$(grep -v '^rect=' "$dir.box")
  [ "$got" = "$want" ] || { echo "box read: $(flat "$got") / wanted: $(flat "$want")"; return 1; }
  [ "$(cat "$dir.status")" = 0 ] || { echo "exit status $(cat "$dir.status")"; return 1; }

  # Every target holds the image of its source, byte for byte.
  local targets=
  for pair in $converted; do
    src=${pair%>*}
    dst=${pair#*>}
    targets="$targets $dst"
    [ -f "$dir/$dst" ] || { echo "$dst not written"; return 1; }
    cmp -s <(expected_spr "$before/$src") "$dir/$dst" || { echo "$dst differs from the image of $src"; return 1; }
  done
  # Everything else is as it was, and nothing else appeared (no temp file).
  local now expected_names
  now=$(cd "$dir" && ls -A | sort)
  expected_names=$( (cd "$before" && ls -A; for entry in $targets; do echo "$entry"; done) | sort -u)
  [ "$now" = "$expected_names" ] || { echo "folder holds: $(flat "$now") / wanted: $(flat "$expected_names")"; return 1; }
  for entry in $(cd "$before" && ls -A); do
    case " $targets " in *" $entry "*) continue ;; esac
    diff -r "$before/$entry" "$dir/$entry" >/dev/null || { echo "$entry was changed"; return 1; }
  done
}

number=0
for row in "${cases[@]}"; do
  IFS='|' read -r name setup converted listed shot <<<"$row"
  number=$((number + 1))
  if report=$(run_case "$name" "$setup" "$converted" "$listed" "$shot" "$number"); then
    pass "wine: $name"
  else
    fail "wine: $name" "$report"
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
