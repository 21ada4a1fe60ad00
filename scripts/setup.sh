#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and the format check
# need, naming any that are missing first. As root it installs them; otherwise
# through sudo, asking for a password only on a terminal. Where that cannot be
# done it prints the command to ask an administrator for and exits 1.
set -euo pipefail
PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev
          qt6-multimedia-dev clang-format)
missing=()
for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup.sh: missing Debian packages: ${missing[*]}" >&2
install=(apt-get install -y --no-install-recommends "${missing[@]}")
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo -n)
    if ! command -v sudo >/dev/null || ! { sudo -n true 2>/dev/null ||
        { [ -t 0 ] && echo "setup.sh: sudo installs them:" >&2 && sudo -v; }; }; then
        echo "setup.sh: installing them needs root rights; ask an administrator to run:" >&2
        echo "  apt-get update && ${install[*]}" >&2
        exit 1
    fi
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive "${install[@]}"
