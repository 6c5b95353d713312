#!/usr/bin/env bash
# Builds Tavrel twice, normally and with AddressSanitizer + UndefinedBehaviorSanitizer,
# and runs the whole test suite in both builds; then gives every fuzz target a short run,
# so an input that once broke a reader keeps being tried.
set -euo pipefail
# A bare machine has no locale set; file names such as the manual's are UTF-8.
if [ "$(locale charmap 2>/dev/null)" != "UTF-8" ]; then export LC_ALL=C.UTF-8; fi
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"

bash "$root/scripts/setup.sh"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
# use_tls=0: LeakSanitizer (GCC 12 and clang 14) crashes reading thread-local blocks that
# the system's libraries leave behind on some Debian installations ("Tracer caught signal
# 11"); without thread-local roots it still finds every leak from the heap and stacks.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0:use_tls=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

for kind in release asan; do
  build="$root/build-test-$kind"
  if [ "$kind" = asan ]; then
    flags=(-DCMAKE_BUILD_TYPE=Debug -DTAVREL_SANITIZE=ON -DTAVREL_BENCH=OFF)
  else
    flags=(-DCMAKE_BUILD_TYPE=Release -DTAVREL_BENCH=ON)
  fi
  echo "== $kind build =="
  cmake -S "$root" -B "$build" "${flags[@]}" > /dev/null
  cmake --build "$build" -j"$jobs"
  echo "== $kind tests =="
  (cd "$build" && ctest --output-on-failure -j"$jobs")
done

echo "== fuzz targets =="
bash "$root/scripts/fuzz.sh" 15
