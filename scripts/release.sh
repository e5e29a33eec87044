#!/usr/bin/env bash
# Builds the release an office copies to its server, build/release/Marlo-<version>.zip: Marlo.exe,
# a sample app.txt, README.txt for the admin (both from release/, with CR LF line ends) and
# Marlo.exe.sha256. The version is the exe's own (src/platform/version.h).
#
#   scripts/release.sh          builds it from the checkout as it is, afresh in build/release/build
#   scripts/release.sh --check  builds it twice, from two copies of the checkout in two folders of
#                               build/release/check, and fails unless the two exes and the two
#                               zips are the same bytes; then keeps that zip
#
# One commit gives the same zip in any folder and at any time: the exe holds no path of its source
# or build folder and no link time (cmake/windows.cmake), and the zip's entries are in a fixed
# order with a fixed time, the commit's (or SOURCE_DATE_EPOCH's, when it is set), and no extra
# fields. Either way the exe must pass the shipped exe's check (tests/e2e/check_exe.sh) and hold
# neither folder's name.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/release

fail() {
  echo "release.sh: $*" >&2
  exit 1
}

check=no
case "${1:-}" in
  "") ;;
  --check) check=yes ;;
  *) fail "usage: scripts/release.sh [--check]" ;;
esac

scripts/install-deps.sh release

version=$(sed -n 's/^#define MARLO_VERSION_TEXT "\([0-9.]*\)"$/\1/p' src/platform/version.h)
[ -n "$version" ] || fail "no MARLO_VERSION_TEXT in src/platform/version.h"
zip_name=Marlo-$version.zip
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
    fail "not a git checkout: set SOURCE_DATE_EPOCH to the release's time (seconds since 1970)"
fi
export SOURCE_DATE_EPOCH
# The project's flags alone reach the compiler and the linker, whatever the caller has set; the
# zip's times are in UTC (zip writes local time), its order is by bytes.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS RCFLAGS
export TZ=UTC0 LC_ALL=C
umask 022

# Builds the release of the tree SOURCE afresh in the folder BUILD: BUILD/bin/Marlo.exe and
# BUILD/$zip_name. Prints how long it took.
build() {
  local source=$1 build=$2 started=$SECONDS
  local stage=$build/release log=$build.log
  rm -rf "$build" "$log"
  mkdir -p "$build"
  # The windows preset's configuration, in a folder of its own.
  if ! (cd "$source" && cmake --preset windows -B "$build" &&
    cmake --build "$build" --target Marlo -j "$(nproc)") >"$log" 2>&1; then
    cat "$log" >&2
    fail "the build of $source failed"
  fi

  mkdir -p "$stage"
  cp "$build/bin/Marlo.exe" "$stage/Marlo.exe"
  # Written as Notepad writes them, CR LF, whatever line ends the checkout has.
  sed -e 's/\r$//' -e 's/$/\r/' "$source/release/app.txt" >"$stage/app.txt"
  sed -e 's/\r$//' -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$source/release/README.txt" \
    >"$stage/README.txt"
  (cd "$stage" && sha256sum Marlo.exe >Marlo.exe.sha256)
  chmod 644 "$stage"/*
  chmod 755 "$stage/Marlo.exe"
  touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
  # -X: no extra fields (times of access and change, owners); -D: no folder entries.
  (cd "$stage" && printf '%s\n' * | sort | zip -X -D -q "$build/$zip_name" -@)
  echo "built $source in $((SECONDS - started)) s"
}

# Fails when the exe holds the name of a folder it was built in (either byte width).
no_folders_in() {
  local exe=$1 folder count
  shift
  for folder in "$@"; do
    count=$(grep -c -a -F -e "$folder" "$exe" || true)
    count=$((count + $(x86_64-w64-mingw32-strings -a -el "$exe" | grep -c -F -e "$folder" || true)))
    [ "$count" = 0 ] || fail "$exe holds the folder name $folder ($count times)"
  done
}

if [ $check = no ]; then
  build "$root" "$out/build"
  release=$out/build
  no_folders_in "$release/bin/Marlo.exe" "$root" "$out/build"
else
  # Two copies of the checkout as it is (the builds and the repository left out), at paths of
  # different lengths, built the one inside its tree and the other beside it.
  base=$out/check
  one=$base/first/marlo
  two=$base/second-copy/source-tree
  rm -rf "$base"
  for copy in "$one" "$two"; do
    mkdir -p "$copy"
    tar -C "$root" --exclude=./build --exclude='./build-*' --exclude=./.git -cf - . |
      tar -C "$copy" -xf -
  done
  build "$one" "$one/build/release"
  build "$two" "$base/second-copy/out"
  release=$one/build/release
  for exe in "$one/build/release/bin/Marlo.exe" "$base/second-copy/out/bin/Marlo.exe"; do
    no_folders_in "$exe" "$root" "$base" first/marlo second-copy source-tree
  done
  sha256sum "$one/build/release/bin/Marlo.exe" "$base/second-copy/out/bin/Marlo.exe" \
    "$one/build/release/$zip_name" "$base/second-copy/out/$zip_name"
  cmp "$one/build/release/bin/Marlo.exe" "$base/second-copy/out/bin/Marlo.exe" ||
    fail "the two builds made different exes (kept in $base)"
  cmp "$one/build/release/$zip_name" "$base/second-copy/out/$zip_name" ||
    fail "the two builds made different zips (kept in $base)"
  echo "the two builds are the same, byte for byte"
fi

tests/e2e/check_exe.sh "$release/bin/Marlo.exe"
cp "$release/$zip_name" "$out/$zip_name"
[ $check = no ] || rm -rf "$base"
echo "$out/$zip_name: $(sha256sum <"$out/$zip_name" | cut -d' ' -f1)"
