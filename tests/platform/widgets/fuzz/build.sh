#!/usr/bin/env bash
# Builds the window-state fuzz target (not part of the CMake build) and writes
# its seeds: states the window wrote, and the saved layouts the tests keep.
#   bash tests/platform/widgets/fuzz/build.sh OUT
#   QT_QPA_PLATFORM=offscreen OUT/dock_state_fuzz OUT/corpus OUT/seeds -detect_leaks=0 -max_total_time=600
set -euo pipefail
root=$(cd "$(dirname "$0")/../../../.." && pwd)
out=${1:?output folder}
mkdir -p "$out/corpus" "$out/seeds"
qt=$(pkg-config --cflags --libs Qt6Widgets)
clang++-14 -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -DQT_NO_KEYWORDS -fPIC -I"$root" \
    "$root/tests/platform/widgets/fuzz/dock_state_fuzz.cpp" \
    "$root/platform/widgets/DockStateCheck.cpp" "$root/platform/widgets/DockingPanes.cpp" \
    $qt -o "$out/dock_state_fuzz"
FUZZ_SEEDS_OUT="$out/seeds" QT_QPA_PLATFORM=offscreen "$out/dock_state_fuzz" -runs=0 \
    >/dev/null 2>&1 || true
# The states of the layout lines the repository holds (the shipped default, the
# tests' saved layouts, their string literals joined).
python3 - "$root" "$out/seeds" <<'PY'
import base64, hashlib, pathlib, re, sys
root, seeds = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
files = list((root / "assets").rglob("*.vfx")) + list((root / "tests").rglob("*.cpp"))
for f in files:
    text = re.sub(r'"\s*\n\s*"', "", f.read_text(errors="ignore"))
    for b64 in re.findall(r"DP[12]:[0-9:]+:([A-Za-z0-9+/]+=*)", text):
        try:
            state = base64.b64decode(b64, validate=True)
        except Exception:
            continue
        (seeds / ("line-" + hashlib.md5(state).hexdigest()[:12])).write_bytes(state)
PY
ls "$out/seeds" | wc -l
