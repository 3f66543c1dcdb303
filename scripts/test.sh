#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer; then fuzzes the rule file reader briefly.
# FUZZ_SECONDS=0 skips the fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test

scripts/build.sh build
(cd build && ctest --output-on-failure -j2)

scripts/build.sh build-sanitize -DRINVO_SANITIZE=ON
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2)

fuzz_seconds="${FUZZ_SECONDS:-30}"
if [ "$fuzz_seconds" -gt 0 ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRINVO_FUZZ=ON -DRINVO_SANITIZE=ON -DRINVO_WITH_WINDOW=OFF -DRINVO_BUILD_BENCH=OFF >/dev/null
  cmake --build build-fuzz --target rule_file_fuzzer
  corpus=$(mktemp -d)
  trap 'rm -rf "$corpus"' EXIT
  build-fuzz/tests/rule_file_fuzzer -max_total_time="$fuzz_seconds" -max_len=8192 \
    -artifact_prefix=build-fuzz/ "$corpus" tests/fuzz/corpus
  echo "rule file fuzzer: no failure in $fuzz_seconds s"
fi
