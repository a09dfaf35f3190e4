#!/usr/bin/env bash
# Builds both Windows programs and packs them, with the player guide (UTF-8 with a byte order
# mark and CRLF line ends, as Notepad expects), into dist/orvane-savefix-1.00-windows.zip.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/ensure-deps.sh all
for preset in windows windows-x86; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)" --target orvane-savefix
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/x64" "$stage/x86" dist
cp build/windows/orvane-savefix.exe "$stage/x64/"
cp build/windows-x86/orvane-savefix.exe "$stage/x86/"
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' docs/player-guide.txt; } > "$stage/README.txt"
zip="$PWD/dist/orvane-savefix-1.00-windows.zip"
rm -f "$zip"
(cd "$stage" && zip -q -X -r "$zip" README.txt x64 x86)
echo "$zip"
