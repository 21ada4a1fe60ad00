#!/usr/bin/env bash
# desk.sh's own logic, without building or starting anything: the home each book
# gets, whatever the options' order, and the line naming a home's other server,
# whose current server is compared as the desk reads its server file.
set -uo pipefail
# shellcheck source=../../scripts/desk.sh
source "$(dirname "$0")/../../scripts/desk.sh"
failed=0
expect() {  # what, got, expected
    [ "$2" = "$3" ] && return
    printf 'FAILED %s\n  got:      %s\n  expected: %s\n' "$1" "$2" "$3"
    failed=1
}

home_of() { (read_options "$@" 2>/dev/null && echo "$HOME_DIR") || echo "refused"; }
while IFS='|' read -r options home; do
    # shellcheck disable=SC2086  # the options are words
    expect "home of '$options'" "$(home_of $options)" "$home"
done <<'TABLE'
|build/demo-home
--accounts 50 --positions 5|build/demo-home-a50-p5
--positions 5 --accounts 50|build/demo-home-a50-p5
--accounts 5 --accounts 6|build/demo-home-a6
--positions 1 --accounts 050 --positions 5 --server 10.0.0.1:4401|build/demo-home-a50-p5
--accounts 5 --positions 0|build/demo-home-a5
--accounts 5 --home /tmp/h|/tmp/h
--positions 5|refused
--accounts 5x|refused
--accounts|refused
TABLE

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir "$home/Manage"
while IFS='|' read -r current wanted note; do
    printf 'Local&&127.0.0.1&&4401\r\n%s\r\n0\r\n\r\n' "$current" >"$home/Manage/server.buf"
    expect "'$current' against $wanted" "$(note_other_server "$home" "$wanted")" \
        "${note:+desk.sh: the desk in $home ${note//FILE/$home/Manage/server.buf} (another --home starts afresh)}"
done <<'TABLE'
127.0.0.1:4401|127.0.0.1:4401|
 127.0.0.1:4401|127.0.0.1:4401|
127.0.0.1 :4401|127.0.0.1:4401|
127.0.0.1:04401|127.0.0.1:4401|
127.0.0.1: +4,401.0 |127.0.0.1:4401|
127.0.0.1:4400.5|127.0.0.1:4400|
127.0.0.1:44.01e2|127.0.0.1:4401|
127.0.0.1:&H1131|127.0.0.1:4401|
127.0.0.1:4401|127.0.0.1:04401|
10.0.0.1:4401|127.0.0.1:4401|logs in to 10.0.0.1:4401, its current server, not to 127.0.0.1:4401
127.0.0.1:4401.5|127.0.0.1:4401|logs in to 127.0.0.1:4402, its current server, not to 127.0.0.1:4401
127.0.0.1:&HFFFF|127.0.0.1:4401|logs in to 127.0.0.1:-1, its current server, not to 127.0.0.1:4401
127.0.0.1:4401 1|127.0.0.1:4401|reads no current server from FILE, so it does not log in to 127.0.0.1:4401
127.0.0.1:1e10|127.0.0.1:4401|reads no current server from FILE, so it does not log in to 127.0.0.1:4401
:4401|127.0.0.1:4401|reads no current server from FILE, so it does not log in to 127.0.0.1:4401
TABLE
exit $failed
