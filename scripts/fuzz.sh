#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a while.
#   bash scripts/fuzz.sh [SECONDS] [TARGET ...]
# SECONDS per target (default 60). The seeds under fuzz/corpus stay as they are; what a run
# learns goes to build-fuzz/corpus, and a crash is kept as build-fuzz/crash-<target>-*.
set -euo pipefail
# A bare machine has no locale set; file names such as the manual's are UTF-8.
if [ "$(locale charmap 2>/dev/null)" != "UTF-8" ]; then export LC_ALL=C.UTF-8; fi
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="$root/build-fuzz"

bash "$root/scripts/setup.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTAVREL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j"$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$root"/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
# use_tls=0: LeakSanitizer (GCC 12 and clang 14) crashes reading thread-local blocks that
# the system's libraries leave behind on some Debian installations ("Tracer caught signal
# 11"); without thread-local roots it still finds every leak from the heap and stacks.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0:use_tls=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
failed=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: ${seconds} s"
  if ! "$build/fuzz/$target" "$corpus" "$root/fuzz/corpus/$target" -max_total_time="$seconds" \
       -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
       -artifact_prefix="$build/crash-$target-" 2> "$build/$target.log"; then
    failed=1
    echo "!! $target failed; the input is kept as $build/crash-$target-*"
    tail -n 40 "$build/$target.log"
  fi
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$build/$target.log" | tail -n 2 || true
done
exit $failed
