#!/usr/bin/env bash
# Builds and starts the desk on the demo book:
#   bash scripts/desk.sh [--server HOST:PORT] [--home DIR] [--accounts N [--positions K]]
# Without --server it starts the simulated server on 127.0.0.1:4401 and seeds the
# desk's home with its server and demo accounts (--accounts adds N numbered ones,
# each with K positions); with --server it starts no server and seeds only the
# server list. Unless --home is given, each book has a home of its own:
# build/demo-home, or build/demo-home-aN[-pK] with --accounts. Files already in the
# home are kept; a home whose current server is another one is named so. Closing
# the desk stops the simulated server. JOBS=N builds with N jobs (default: every
# core).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: bash scripts/desk.sh [--server HOST:PORT] [--home DIR] [--accounts N [--positions K]]" >&2
    exit 2
}

SERVER=""
HOME_DIR=""
BOOK_ARGS=()
while [ $# -gt 0 ]; do
    case "$1" in
        --server) [ $# -ge 2 ] || usage; SERVER="$2"; shift 2 ;;
        --home) [ $# -ge 2 ] || usage; HOME_DIR="$2"; shift 2 ;;
        --accounts|--positions) [ $# -ge 2 ] || usage; BOOK_ARGS+=("$1" "$2"); shift 2 ;;
        -h|--help) usage ;;
        *) echo "desk.sh: unknown argument: $1" >&2; usage ;;
    esac
done

# A home seeded for one book never logs in to another's accounts.
if [ -z "$HOME_DIR" ]; then
    HOME_DIR="build/demo-home"
    for ((i = 0; i < ${#BOOK_ARGS[@]}; i += 2)); do
        HOME_DIR+="-${BOOK_ARGS[i]:2:1}${BOOK_ARGS[i + 1]}"
    done
fi

DEMO_ADDRESS="127.0.0.1:4401"
DESK=build/desk/OrbanexDesk
SIMSERVER=build/simserver/orbanex-simserver
SEED=build/desk/accounts/orbanex-demo-home

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DBUILD_BENCHMARKS=OFF >/dev/null
cmake --build build --parallel "${JOBS:-$(nproc)}" --target orbanex-simserver orbanex-demo-home OrbanexDesk

SIM_PID=""
WORK=$(mktemp -d)
cleanup() {
    if [ -n "$SIM_PID" ] && kill -0 "$SIM_PID" 2>/dev/null; then
        kill "$SIM_PID" 2>/dev/null || true
        wait "$SIM_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -n "$SERVER" ]; then
    "$SEED" "$HOME_DIR" "$SERVER"
else
    "$SIMSERVER" --demo --listen "$DEMO_ADDRESS" "${BOOK_ARGS[@]}" >"$WORK/sim.out" 2>"$WORK/sim.err" &
    SIM_PID=$!
    # Its first line is "listening on ...", then one "USER PASSWORD ACCOUNT" line each.
    for _ in $(seq 100); do
        grep -q '^listening on ' "$WORK/sim.out" 2>/dev/null && break
        if ! kill -0 "$SIM_PID" 2>/dev/null; then
            echo "desk.sh: the simulated server could not start on $DEMO_ADDRESS (is the port busy?):" >&2
            cat "$WORK/sim.err" >&2
            echo >&2
            SIM_PID=""
            exit 1
        fi
        sleep 0.1
    done
    if ! grep -q '^listening on ' "$WORK/sim.out"; then
        echo "desk.sh: the simulated server did not answer within 10 seconds" >&2
        exit 1
    fi
    sleep 0.2  # the credential lines follow the address at once
    mapfile -t accounts < <(grep -v '^listening on ' "$WORK/sim.out")
    credentials=()
    for line in "${accounts[@]}"; do
        read -r user password account <<<"$line"
        credentials+=("$user" "$password" "$account")
    done
    "$SEED" "$HOME_DIR" "$DEMO_ADDRESS" "${credentials[@]}"
    echo "Simulated server on $DEMO_ADDRESS; demo accounts (user password account):"
    printf '  %s\n' "${accounts[@]}"
fi

# Seeding keeps an existing server list, whose current server may be another.
wanted="${SERVER:-$DEMO_ADDRESS}"
server_file=$(find "$HOME_DIR" -maxdepth 2 -mindepth 2 -ipath "*/manage/server.buf" -print -quit 2>/dev/null || true)
current=""
if [ -n "$server_file" ]; then current=$(sed -n '2{s/\r$//;p}' "$server_file"); fi
if [ -n "$current" ] && [ "$current" != "$wanted" ]; then
    echo "desk.sh: the desk in $HOME_DIR logs in to $current, its current server, not to $wanted (another --home starts afresh)"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "desk.sh: no display found: running the desk offscreen (QT_QPA_PLATFORM=offscreen)"
    export QT_QPA_PLATFORM=offscreen
fi
"$DESK" --home "$HOME_DIR"
