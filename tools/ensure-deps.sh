#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those that are missing.
#   tools/ensure-deps.sh native      the Linux build (the demo)
#   tools/ensure-deps.sh all         everything the tests and benchmarks use: the Windows builds,
#                                    Wine for both the 64-bit and the 32-bit exe, the ja_JP locale
#   tools/ensure-deps.sh screenshot  all, and an X server, xdotool and a Japanese font
# Order matters: wine32 upgrades libc6, which drops locales, so the locale comes after it; and a
# Wine prefix made before wine32 is installed cannot run any exe, so callers make theirs after.
# wine32 comes only where the kernel runs 32-bit programs (tools/runs-32bit.sh): elsewhere it
# cannot start, and /usr/bin/wine would pick it even for 64-bit programs.
set -euo pipefail

kind=${1:-native}
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

updated=false
install() {
  local missing=() package
  for package in "$@"; do installed "$package" || missing+=("$package"); done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  echo "Installing: ${missing[*]}" >&2
  if ! $updated; then
    "${sudo[@]}" apt-get update -qq
    updated=true
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >&2
}

install cmake make g++ googletest libgtest-dev
[[ $kind == native ]] && exit 0

wine32=()
if bash "$(dirname "$0")/runs-32bit.sh"; then
  wine32=(wine32:i386)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
    updated=false
  fi
fi
install clang
# The sanitizer runtime of the clang that is installed, whatever its version.
clang_major=$(clang -dumpversion | cut -d. -f1)
install g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 "${wine32[@]}" \
  "libclang-rt-${clang_major}-dev" libbenchmark-dev strace e2fsprogs util-linux zip python3 \
  binutils-mingw-w64-i686 locales

# Wine runs with code page 932 only where this locale exists.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen >/dev/null
fi

[[ $kind == screenshot ]] && install xvfb xdotool x11-apps imagemagick fonts-ipafont-gothic
exit 0
