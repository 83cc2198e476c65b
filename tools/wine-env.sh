# Sourced by the Wine scripts: the environment for running the Windows build under Wine with a
# prefix kept inside the build tree (nothing is written to the user's home).
# Needs BRUSHMOTE_WINE_ROOT, a folder of the build tree.
export WINEPREFIX="$BRUSHMOTE_WINE_ROOT/prefix"
export HOME="$BRUSHMOTE_WINE_ROOT/home"
export WINEDEBUG="${BRUSHMOTE_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export XDG_CACHE_HOME="$HOME/.cache" XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
BRUSHMOTE_WINE=/usr/lib/wine/wine64
[ -x "$BRUSHMOTE_WINE" ] || BRUSHMOTE_WINE=wine

# Creates the prefix once, without prompts, with the settings that keep Wine from hanging under a
# bare X server: unmanaged windows (no 2 s wait on each destroy) and no crash dialog.
brushmote_wine_prefix() {
  mkdir -p "$HOME"
  [ -f "$WINEPREFIX/.brushmote-ready" ] && return 0
  (
    flock 9
    [ -f "$WINEPREFIX/.brushmote-ready" ] && exit 0
    "$BRUSHMOTE_WINE" wineboot -i >/dev/null 2>&1
    "$BRUSHMOTE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$BRUSHMOTE_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$WINEPREFIX/.brushmote-ready"
  ) 9>"$BRUSHMOTE_WINE_ROOT/.prefix.lock"
}
