#!/usr/bin/env bash
# Runs every test: the core's unit tests natively, then Marlo.exe end to end under Wine.
# Installs what is missing and builds both presets first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== Unit tests (native)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== Fuzzing the list reader and writer, GetPiece, start commands and client paths (15 s each)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

echo "== The release, built twice in two folders: the same bytes"
scripts/release.sh --check

echo "== End-to-end tests (Marlo.exe under Wine)"
cmake --preset windows >/dev/null
cmake --build --preset windows
scripts/wine-session.sh build/windows ctest --preset windows
# The figures the load tests, the held files and the list beyond sense measured.
grep -h -E '^[0-9,]+ (saves|processes|empty lines|entries read anew)|^(app|user)\.txt held' \
  build/windows/Testing/Temporary/LastTest.log || true

echo "== The windows on a screen of 120 dots per inch"
MARLO_WINE_DPI=120 scripts/wine-session.sh build/windows ctest --preset windows -L screen
