#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those that are missing.
#   tools/ensure-deps.sh native    the Linux build (the demo)
#   tools/ensure-deps.sh all       everything the tests use: the Windows build and Wine too
# Never installs wine32: on these 64-bit machines it breaks wine for 64-bit programs.
set -euo pipefail

packages=(cmake make g++ googletest libgtest-dev)
if [[ "${1:-native}" == all ]]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 clang
             libclang-rt-14-dev libbenchmark-dev strace e2fsprogs util-linux zip)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >&2
