#!/usr/bin/env bash
# Runs the plug-in's main job on the embedded default picture: the host program loads
# brushmote.dll under Wine and hands it the picture, and the stroke renderer paints example
# strokes (Paint, Erase, Blur) on the same picture with the particle engine. The results land
# in out/.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
jobs=$(nproc)
mkdir -p out

cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/windows -j"$jobs" --target brushmote brushmote-host
tools/with-wine.sh build/windows tools/wine-run.sh build/windows/bin/brushmote-host.exe \
  "Z:$PWD/out/demo-host.png"
echo "The plug-in's result: out/demo-host.png"

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$jobs" --target brushmote-render
render=build/native/tools/render/brushmote-render
"$render" examples/strokes/paint.txt out/demo-paint.png
"$render" --picture out/demo-paint.png examples/strokes/erase.txt out/demo-paint-erase.png
"$render" examples/strokes/blur.txt out/demo-blur.png
echo "Strokes painted by the particle engine: out/demo-paint.png, out/demo-paint-erase.png," \
  "out/demo-blur.png"
