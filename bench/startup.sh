#!/usr/bin/env bash
# Start-up time of the desktop program: from process start to its main window mapped on an
# X display, against an empty Qt main window with one Chinese label measured the same way
# in the same run. Runs under Xvfb; prints the medians and their ratio.
#   bash bench/startup.sh [BUILD_FOLDER] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-test-release}"
runs="${2:-11}"

if [ -z "${DISPLAY:-}" ]; then
  # -noreset: by default the server starts over when its last client goes, and a program
  # started meanwhile cannot open the display.
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$build" "$runs"
fi

export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

# Milliseconds from start to a visible window of the process.
once() {
  local start end pid
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      status=0; wait "$pid" || status=$?
      echo "$* ended before showing a window (status $status)" >&2
      exit 1
    fi
  done
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo $(((end - start) / 1000000))
}

# xvfb-run can hand over before the server takes connections; a program started then
# fails to open the display.
for ((k = 0; k < 100; k++)); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.05
done

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

program=() reference=()
for ((k = 0; k < runs; k++)); do
  # Alternated, so both see the same machine.
  reference+=("$(once "$build/bench/startup_reference")")
  program+=("$(once "$build/src/tavrel")")
done
p=$(printf '%s\n' "${program[@]}" | median)
r=$(printf '%s\n' "${reference[@]}" | median)
echo "tavrel: ${p} ms, empty window with a Chinese label: ${r} ms (median of $runs), ratio $(awk -v p="$p" -v r="$r" 'BEGIN { printf "%.2f", p / r }')"
