#!/usr/bin/env bash
# Takes the pictures players see first: the program in Wine's console window under a virtual X
# server, on the demo installation, driven by real key events. Saves the prompt and the
# finished run as docs/screenshot-prompt.png and docs/screenshot-finished.png.
# Uses the 32-bit exe, the one players run, where this kernel runs 32-bit programs, and the
# 64-bit exe elsewhere (it shows the same texts).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/ensure-deps.sh screenshot
for preset in windows windows-x86 native; do
  cmake --preset "$preset" >/dev/null
done
cmake --build --preset native -j"$(nproc)" --target orvane-demo >/dev/null
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  loader=/usr/lib/wine/wine preset=windows-x86
else
  echo "screenshot: this kernel runs no 32-bit programs; taking the 64-bit exe" >&2
  loader=/usr/lib/wine/wine64 preset=windows
fi
cmake --build --preset "$preset" -j"$(nproc)" --target orvane-savefix >/dev/null
exe=$PWD/build/$preset/orvane-savefix.exe

work=$(mktemp -d "${TMPDIR:-/tmp}/orvane-screenshot.XXXXXX")
display=:$((90 + RANDOM % 9))
cleanup() {
  WINEPREFIX=$work/wineprefix wineserver -k >/dev/null 2>&1 || true
  [[ -n ${xvfb:-} ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The demo's game folder, registered in a Wine prefix of its own.
build/native/tools/orvane-demo setup "$work/native-prefix" "$work/Orvane" >/dev/null
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all DISPLAY=$display LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
Xvfb "$display" -screen 0 1600x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
"$loader" wineboot -i >/dev/null 2>&1
"$loader" reg add 'HKCU\Software\Quilmo\Orvane' /v InstallDir /d "Z:${work//\//\\}\\Orvane" /f >/dev/null 2>&1
# A Japanese font for the console window, large enough to read.
"$loader" reg add 'HKCU\Console' /v FaceName /d 'IPAGothic' /f >/dev/null 2>&1
# Cells 16 pixels high (the high word); Wine's console gives every character a cell as wide
# as its widest, so 70 columns hold the longest text. 14 lines are enough for the demo.
"$loader" reg add 'HKCU\Console' /v FontSize /t REG_DWORD /d 0x00100000 /f >/dev/null 2>&1
"$loader" reg add 'HKCU\Console' /v WindowSize /t REG_DWORD /d 0x000e0046 /f >/dev/null 2>&1
"$loader" reg add 'HKCU\Console' /v ScreenBufferSize /t REG_DWORD /d 0x000e0046 /f >/dev/null 2>&1

"$loader" wineconsole "$exe" >/dev/null 2>&1 &
console=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --class conhost.exe 2>/dev/null | head -n 1 || true)
  [[ -n $window ]] && break
  sleep 0.2
done
[[ -n $window ]] || { echo "screenshot: no console window appeared" >&2; exit 1; }
shoot() { sleep 2; xwd -silent -id "$window" | /usr/bin/convert xwd:- "png:$1"; }
# Keys go to the focused window, as when a player types; there is no window manager to focus it.
press() { xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key "$1"; }

shoot docs/screenshot-prompt.png
press y
shoot docs/screenshot-finished.png
press k
for _ in $(seq 50); do kill -0 "$console" 2>/dev/null || break; sleep 0.2; done
echo "docs/screenshot-prompt.png docs/screenshot-finished.png"
