#!/usr/bin/env bash
# Usage: tools/with-wine.sh BUILD_DIR COMMAND [ARGS...]
# Runs COMMAND (for example ctest) with one Xvfb display and one persistent wineserver for the
# whole run, so that each Windows test program starts in a fraction of a second.
set -u
build=$(cd "$1" && pwd)
shift
export BRUSHMOTE_WINE_ROOT="$build/wine"
mkdir -p "$BRUSHMOTE_WINE_ROOT"
. "$(dirname "$0")/wine-env.sh"

xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      break
    fi
    xvfb_pid=
  done
  [ -n "${DISPLAY:-}" ] || { echo "with-wine: could not start Xvfb" >&2; exit 2; }
fi
brushmote_wine_prefix
/usr/lib/wine/wineserver -p 2>/dev/null || wineserver -p
"$BRUSHMOTE_WINE" wineboot >/dev/null 2>&1
"$@"
status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || wineserver -k 2>/dev/null
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit $status
