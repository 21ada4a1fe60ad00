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
# core). Sourced, it only defines its functions (its test reads them).

usage() {
    echo "usage: bash scripts/desk.sh [--server HOST:PORT] [--home DIR] [--accounts N [--positions K]]" >&2
    exit 2
}

# Sets SERVER, HOME_DIR, ACCOUNTS and POSITIONS from the options; the last of a
# repeated option wins.
read_options() {
    SERVER="" HOME_DIR="" ACCOUNTS="" POSITIONS=""
    while [ $# -gt 0 ]; do
        case "$1" in
            --server) [ $# -ge 2 ] || usage; SERVER="$2"; shift 2 ;;
            --home) [ $# -ge 2 ] || usage; HOME_DIR="$2"; shift 2 ;;
            --accounts) [ $# -ge 2 ] || usage; ACCOUNTS=$(whole_number "$2") || usage; shift 2 ;;
            --positions) [ $# -ge 2 ] || usage; POSITIONS=$(whole_number "$2") || usage; shift 2 ;;
            -h|--help) usage ;;
            *) echo "desk.sh: unknown argument: $1" >&2; usage ;;
        esac
    done
    [ -z "$POSITIONS" ] || [ -n "$ACCOUNTS" ] || usage
    # A home seeded for one book never logs in to another's accounts;
    # --positions 0 is the book without positions.
    if [ -z "$HOME_DIR" ]; then
        HOME_DIR="build/demo-home"
        [ -z "$ACCOUNTS" ] || HOME_DIR+="-a$ACCOUNTS"
        [ "${POSITIONS:-0}" = 0 ] || HOME_DIR+="-p$POSITIONS"
    fi
}

# Digits, written without leading zeros; fails on anything else.
whole_number() {
    [[ $1 =~ ^0*([0-9]+)$ ]] || return 1
    echo "${BASH_REMATCH[1]}"
}

# "IP:PORT" as the desk reads it from its server file's current line: the text
# before the first ":" with its spaces trimmed, the rest as a number rounded
# half to even (blanks, a sign, "," grouping, a fraction, an exponent, or &H/&O
# digits of 16 or 32 bits); nothing where the desk reads no server.
desk_server() {
    [[ $1 == *:* ]] || return 0
    local ip=${1%%:*} rest=${1#*:} b=$' \t\r\n' port
    ip=${ip#"${ip%%[! ]*}"}
    ip=${ip%"${ip##*[! ]}"}
    [ -n "$ip" ] || return 0
    if [[ $rest =~ ^[$b]*\&([Hh]0*([0-9A-Fa-f]{1,8})|[Oo]0*([0-7]{1,11}))[$b]*$ ]]; then
        local digits=${BASH_REMATCH[2]:-${BASH_REMATCH[3]}} base=16
        [ -n "${BASH_REMATCH[2]}" ] || base=8
        port=$((${base}#${digits}))
        ((port <= 0xFFFFFFFF)) || return 0
        if ((port <= 0xFFFF)); then
            ((port < 0x8000)) || port=$((port - 0x10000))
        elif ((port >= 0x80000000)); then
            port=$((port - 0x100000000))
        fi
    elif [[ $rest =~ ^[$b]*([+-]?)[$b]*(([0-9][0-9,]*)?(\.[0-9]*)?)([EeDd][+-]?[0-9]+)?[$b]*$ ]] &&
        [[ ${BASH_REMATCH[2]} == *[0-9]* ]]; then
        local number="${BASH_REMATCH[1]}${BASH_REMATCH[2]//,/}${BASH_REMATCH[5]/[Dd]/e}"
        port=$(LC_ALL=C awk -v x="$number" 'BEGIN {
            x += 0; f = int(x); if (f > x) f -= 1; d = x - f
            r = d > 0.5 || (d == 0.5 && f % 2 != 0) ? f + 1 : f
            if (r < -2147483648 || r > 2147483647) exit 1
            printf "%.0f\n", r + 0 }') || return 0
    else
        return 0
    fi
    printf '%s:%s\n' "$ip" "$port"
}

# Seeding keeps an existing server list, whose current server may be another:
# names it when the desk in HOME would log in elsewhere than to WANTED.
note_other_server() {
    local home=$1 wanted current file
    wanted=$(desk_server "$2")
    file=$(find "$home" -maxdepth 2 -mindepth 2 -ipath "*/manage/server.buf" -print -quit 2>/dev/null || true)
    [ -n "$file" ] || return 0
    current=$(desk_server "$(sed -n '2{s/\r$//;p}' "$file")")
    [ "$current" != "$wanted" ] || return 0
    if [ -n "$current" ]; then
        echo "desk.sh: the desk in $home logs in to $current, its current server, not to $wanted (another --home starts afresh)"
    else
        echo "desk.sh: the desk in $home reads no current server from $file, so it does not log in to $wanted (another --home starts afresh)"
    fi
}

[ "${BASH_SOURCE[0]}" = "$0" ] || return 0
set -euo pipefail
cd "$(dirname "$0")/.."

read_options "$@"
BOOK_ARGS=()
[ -z "$ACCOUNTS" ] || BOOK_ARGS+=(--accounts "$ACCOUNTS")
[ -z "$POSITIONS" ] || BOOK_ARGS+=(--positions "$POSITIONS")

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

note_other_server "$HOME_DIR" "${SERVER:-$DEMO_ADDRESS}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "desk.sh: no display found: running the desk offscreen (QT_QPA_PLATFORM=offscreen)"
    export QT_QPA_PLATFORM=offscreen
fi
"$DESK" --home "$HOME_DIR"
