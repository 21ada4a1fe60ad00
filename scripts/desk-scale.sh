#!/usr/bin/env bash
# Builds desk-scale (optimised, in build-bench unless BUILD_DIR says otherwise) and
# runs the real desk offscreen against a simulated server of N accounts x M
# positions quoting every T ms; one line a second, then a summary:
#   bash scripts/desk-scale.sh [--accounts 500] [--positions 10] [--tick-ms 50]
#                              [--seconds 60] [--warmup 10] [--buy-at S | --no-buy]
#                              [--home DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR="${BUILD_DIR:-build-bench}"
bash scripts/setup.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCHMARKS=ON \
    "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" --parallel "${JOBS:-$(nproc)}" --target desk-scale
if [ ! -x "$BUILD_DIR/bench/desk-scale" ]; then
    echo "desk-scale.sh: $BUILD_DIR/bench/desk-scale was not built (no desk program in this tree?)" >&2
    exit 1
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# The offscreen platform's notice for every window shown says nothing here.
"$BUILD_DIR/bench/desk-scale" "$@" 2> >(grep --line-buffered -v 'propagateSizeHints' >&2)
