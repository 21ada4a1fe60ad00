#!/usr/bin/env bash
# Installs, builds and runs every test. SANITIZE=ON builds with address and
# undefined-behaviour sanitizers in a separate folder; JOBS=N builds and tests
# with N jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
SANITIZE=${SANITIZE:-OFF}
BUILD=build
[ "$SANITIZE" = "ON" ] && BUILD=build-asan
# The plain pass needs no debug information: a third less build time.
TYPE=Release
[ "$SANITIZE" = "ON" ] && TYPE=RelWithDebInfo
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=$TYPE -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DSANITIZE="$SANITIZE" -DBUILD_BENCHMARKS=$([ "$SANITIZE" = "ON" ] && echo OFF || echo ON)
JOBS=${JOBS:-$(nproc)}
cmake --build "$BUILD" --parallel "$JOBS"
ctest --test-dir "$BUILD" --output-on-failure --parallel "$JOBS" --timeout 300
