#!/usr/bin/env bash
# Installs what is needed, builds the program and starts quivra-cc with the given arguments
# (--simulate: the simulated tracker and indicator, with the simulator's panel).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"

bash "$here/scripts/install-deps.sh" >&2
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQCC_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "quivra-cc needs a desktop session (no DISPLAY or WAYLAND_DISPLAY is set)." >&2
    echo "Without one, try: xvfb-run -a bash scripts/run.sh --simulate" >&2
    exit 1
fi
exec "$build/bin/quivra-cc" "$@"
