#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the system.
set -euo pipefail
PACKAGES="cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev qt6-multimedia-dev"
missing=$(dpkg-query -W -f='${Package} ${Status}\n' $PACKAGES 2>/dev/null | grep -vc 'install ok installed' || true)
count=$(dpkg-query -W -f='${Package}\n' $PACKAGES 2>/dev/null | wc -l || true)
if [ "$missing" != "0" ] || [ "$count" -lt "$(echo $PACKAGES | wc -w)" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev qt6-multimedia-dev
fi
