#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer, the copy engine's also under
# ThreadSanitizer; then the Windows program and its tests built with MinGW-w64 and run
# under Wine in an X server; then fuzzes the rule file
# reader briefly.
# FUZZ_SECONDS=0 skips the fuzzing; WINDOWS_TESTS=0 skips the Windows build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test --windows

scripts/build.sh build
(cd build && ctest --output-on-failure -j2)
# The .deb and what a packager and an installed user meet.
scripts/check-linux-package.sh build

scripts/build.sh build-sanitize -DRINVO_SANITIZE=ON
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2)

# The engine's tests once more under ThreadSanitizer: the walk is where threads meet.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRINVO_THREAD_SANITIZE=ON \
  -DRINVO_WITH_WINDOW=OFF -DRINVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan --target copy_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/copy_tests

if [ "${WINDOWS_TESTS:-1}" != 0 ]; then
  cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DRINVO_BUILD_BENCH=OFF >/dev/null
  cmake --build build-windows
  # A Wine prefix of the build's own (fonts, virtual desktop, Japanese locale, nothing in the
  # host's home), with an empty folder mapped as drive R: for the tests that copy from a
  # drive's root.
  while IFS= read -r setting; do export "$setting"; done < <(scripts/wine-prefix.sh build-windows/wine-prefix)
  rm -rf build-windows/empty-drive && mkdir -p build-windows/empty-drive
  ln -sfn "$PWD/build-windows/empty-drive" "$WINEPREFIX/dosdevices/r:"
  # The window tests need an X server; Wine's helpers are started first with their output
  # elsewhere, so they do not hold ctest's pipe open.
  (cd build-windows && RINVO_TEST_EMPTY_DRIVE=r: xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    sh -c '/usr/lib/wine/wineserver -p; /usr/lib/wine/wine64 tests/forms_tests.exe >/dev/null 2>&1 </dev/null;
           ctest --output-on-failure; status=$?; /usr/lib/wine/wineserver -k; exit $status')
  # The portable zip and the installer, and the installer's round trip under Wine.
  scripts/package-windows.sh
  scripts/check-windows-package.sh
fi

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
