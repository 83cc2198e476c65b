#!/usr/bin/env bash
# Runs one Windows program of a build tree under Wine (CTest's cross-compiling emulator).
# The build tree is found from the program's path; its prefix is made on first use. Without a
# DISPLAY the program gets a private Xvfb for its run. Every run is bounded in time.
set -u
prog="$1"
shift
dir=$(cd "$(dirname "$prog")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
[ -f "$dir/CMakeCache.txt" ] || { echo "wine-run: $prog is not inside a build tree" >&2; exit 2; }
export BRUSHMOTE_WINE_ROOT="$dir/wine"
mkdir -p "$BRUSHMOTE_WINE_ROOT"
. "$(dirname "$0")/wine-env.sh"
brushmote_wine_prefix
limit="${BRUSHMOTE_WINE_TIMEOUT:-300}"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" timeout -k 5 "$limit" "$BRUSHMOTE_WINE" "$prog" "$@"
fi
exec timeout -k 5 "$limit" "$BRUSHMOTE_WINE" "$prog" "$@"
