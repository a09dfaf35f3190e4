#!/usr/bin/env bash
# Builds the Windows program players run, the 32-bit exe, and packs it with the player guide
# (UTF-8 with a byte order mark and CRLF line ends, as Notepad expects) and the screenshot of
# a finished run into dist/orvane-savefix-VERSION-windows.zip. Fails if the exe carries a
# manifest: a 32-bit program without one sees a legacy game's saves in the UAC VirtualStore,
# as the game does.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/ensure-deps.sh all
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j"$(nproc)" --target orvane-savefix
exe=build/windows-x86/orvane-savefix.exe
if python3 tools/has-manifest.py "$exe"; then
  echo "release: $exe carries a manifest; players' saves in the VirtualStore would not be seen" >&2
  exit 1
fi
version=$(cat build/windows-x86/version.txt)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p dist
cp "$exe" "$stage/"
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' docs/player-guide.txt; } > "$stage/README.txt"
[[ -f docs/screenshot-finished.png ]] && cp docs/screenshot-finished.png "$stage/screenshot.png"
zip="$PWD/dist/orvane-savefix-$version-windows.zip"
rm -f "$zip"
(cd "$stage" && zip -q -X -r "$zip" .)
echo "$zip"
