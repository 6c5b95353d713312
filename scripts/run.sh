#!/usr/bin/env bash
# Builds Tavrel and starts it. Without a display it says so and prints the default
# storm's table with the command-line tool instead.
set -euo pipefail
# A bare machine has no locale set; file names such as the manual's are UTF-8.
if [ "$(locale charmap 2>/dev/null)" != "UTF-8" ]; then export LC_ALL=C.UTF-8; fi
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVREL_BENCH=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target tavrel-cli $( [ -f "$root/src/app/main.cpp" ] && echo tavrel ) \
  $( [ -f "$root/packaging/manual/manual.html" ] && echo tavrel-manual )

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/src/tavrel" ]; then
  exec "$build/src/tavrel" "$@"
fi
if [ -x "$build/src/tavrel" ]; then
  echo "没有图形显示（DISPLAY 未设置），无法打开窗口；下面是默认雨型的计算结果。"
  echo "No display (DISPLAY is not set), so no window; here is the default storm's table."
fi
exec "$build/src/tavrel-cli" "$@"
