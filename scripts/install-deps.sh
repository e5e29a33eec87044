#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, when any is missing.
# Quiet and quick when everything is there already.
#   scripts/install-deps.sh          what the build and the tests need
#   scripts/install-deps.sh bench    that, and what only the benchmarks need: FUSE and its library
#                                    for the slow share (scripts/slow-share.sh)
#   scripts/install-deps.sh release  what scripts/release.sh needs alone: the cross-build of
#                                    Marlo.exe, and zip for the release's archive
set -euo pipefail

packages=(cmake g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
          g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb imagemagick)
case "${1:-}" in
  bench) packages+=(gcc pkg-config fuse3 libfuse3-dev) ;;
  # The build is configured whole (googletest's sources too), and made with make.
  release) packages=(cmake make g++-mingw-w64-x86-64 googletest zip) ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
