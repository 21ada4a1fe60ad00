#!/usr/bin/env bash
# Writes the window-state fuzz target's seeds into its seeds folder (committed;
# run again when the window's states change): the states the window writes in a
# few arrangements, the states of the saved layouts the repository keeps, and
# states this window never writes.
#   cmake --build build --target dock_state_fuzz_replay
#   bash tests/platform/widgets/fuzz/make_seeds.sh build
set -euo pipefail
root=$(cd "$(dirname "$0")/../../../.." && pwd)
build=${1:?build folder}
out="$root/tests/platform/widgets/fuzz"
mkdir -p "$out/seeds"
FUZZ_SEEDS_OUT="$out/seeds" QT_QPA_PLATFORM=offscreen \
    "$build/tests/platform/widgets/dock_state_fuzz_replay" >/dev/null 2>&1
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
# States this window never writes: splits as deep as the check lets them go,
# a floating tab group (refused), every area at once, floating toolbars larger
# than a screen and off every screen.
python3 - "$out/seeds" <<'PY'
import pathlib, struct, sys
seeds = pathlib.Path(sys.argv[1])
def ints(*v): return b"".join(struct.pack(">i", x) for x in v)
def name(s): e = s.encode("utf-16-be"); return ints(len(e)) + e
def pane(n, flags=1): return b"\xfb" + name(n) + bytes([flags]) + ints(0, 200, 100, 16777215)
def group(items, o=2, front=None):
    head = b"\xfc" if front is None else b"\xfa" + ints(front)
    return head + bytes([o]) + ints(len(items)) + b"".join(items)
def split(g): return b"\xfc" + ints(0, 300, 100, 16777215) + g
def areas(pairs):
    return b"\xfd" + ints(len(pairs)) + b"".join(ints(a, 300, 600) + g for a, g in pairs) + ints(600, 400, 4, 4, 8, 8)
bars = b"\xfc" + ints(2, 2, 1) + name("Bar2:Standard Toolbar") + b"\x01" + ints(0, -1, 0, 0) + \
    ints(2, 1) + name("Bar3:Login Toolbar") + b"\x01" + ints(0, -1, 0, 0)
head = ints(0xff, 2)
deep = group([pane("Pane100002")])
for i in range(32): deep = group([split(deep), pane("Pane%d" % (100100 + i))], 1 + i % 2)
(seeds / "deep").write_bytes(head + areas([(0, deep)]) + bars)
tabs = group([pane("Pane100005"), pane("Pane100037")], 2, 0)
(seeds / "floating-group").write_bytes(head + areas([(1, group([pane("Pane100000")]))]) + b"\xf9" + ints(10, 10, 400, 300) + tabs + bars)
def signed(v): return v - (1 << 32) if v >= 1 << 31 else v
def floating(x, y, w, h):
    return (signed(w << 17 | (x + 0x7fff) << 1 | 1), signed(h << 16 | (y + 0x7fff)))
def floating_bars(a, b):
    return b"\xfc" + ints(1, 2, 2) + name("Bar2:Standard Toolbar") + b"\x01" + ints(0, -1, *a) + \
        name("Bar3:Login Toolbar") + b"\x01" + ints(0, -1, *b)
(seeds / "giant-toolbars").write_bytes(head + areas([(1, group([pane("Pane100000")]))]) +
    floating_bars(floating(0, 0, 16384, 1024), floating(30000, 30000, 200, 40)))
(seeds / "every-area").write_bytes(head + areas([
    (0, group([pane("Pane100002"), pane("Pane100001")], 2, 1)),
    (1, group([split(group([pane("Pane100000"), pane("Pane100038", 3)], 1))])),
    (2, group([pane("Pane100004")], 1)), (3, group([pane("Pane100044"), pane("Pane99", 0)], 1))]) + bars)
PY
ls "$out/seeds" | wc -l
