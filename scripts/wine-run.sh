#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, with the DLLs of the Windows
# libraries (scripts/windows.sh's cache) and of the MinGW runtime on its path, in a Wine
# prefix of its own that reports Windows 10. CTest runs the test programs through this.
set -euo pipefail
cache="${TAVREL_WINDOWS_CACHE:-$HOME/.cache/tavrel-windows}"
export WINEPREFIX="${WINEPREFIX:-$cache/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"   # no Mono or Gecko prompts
wine=/usr/lib/wine/wine64
windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }
WINEPATH="$(windows_path "$cache/prefix/bin");$(windows_path /usr/lib/gcc/x86_64-w64-mingw32/12-posix)"
WINEPATH+=";$(windows_path /usr/x86_64-w64-mingw32/lib)"
export WINEPATH
if [ ! -f "$WINEPREFIX/.tavrel-ready" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  "$wine" winecfg /v win10 >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w || true
  touch "$WINEPREFIX/.tavrel-ready"
fi
exec "$wine" "$@"
