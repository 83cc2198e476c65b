#!/usr/bin/env bash
# Builds both configurations (native with and without sanitizers, and the Windows plug-in) and
# runs every test: the native ones directly, the Windows ones under Wine inside Xvfb. Every
# stage runs even when an earlier one failed; the exit status says whether all passed.
set -uo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh || exit 1
jobs=$(nproc)
failed=()

stage() { # name, then the commands of the stage joined with &&
  local name=$1
  shift
  echo "== $name"
  if ! bash -c "$*"; then
    failed+=("$name")
  fi
}

stage "native build and tests" \
  "cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
   cmake --build build/native -j$jobs &&
   ctest --test-dir build/native --output-on-failure -j$jobs"

stage "native tests with AddressSanitizer and UndefinedBehaviorSanitizer" \
  "cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRUSHMOTE_SANITIZE=ON \
     -DBRUSHMOTE_BENCH=OFF >/dev/null &&
   cmake --build build/asan -j$jobs &&
   ctest --test-dir build/asan --output-on-failure -j$jobs"

stage "Windows build and tests under Wine" \
  "cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
     >/dev/null &&
   cmake --build build/windows -j$jobs &&
   tools/with-wine.sh build/windows ctest --test-dir build/windows --output-on-failure -j2"

if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "All stages passed."
