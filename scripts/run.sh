#!/usr/bin/env bash
# Installs what is needed, builds the program and runs it with the given arguments.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"

bash "$here/scripts/install-deps.sh" >&2
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQCC_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

exec "$build/bin/quivractl" "$@"
