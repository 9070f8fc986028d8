#!/usr/bin/env bash
# Installs what is needed, builds the sanitizer build with warnings as errors and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-test"

bash "$here/scripts/install-deps.sh"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DQCC_WERROR=ON -DQCC_SANITIZE=ON -DQCC_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# Some tests need an X server (hotkeys, tray, OpenGL); one Xvfb serves the whole run.
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 300
